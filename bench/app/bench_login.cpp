// The client's windows (offscreen) against the demo server process: from the
// OK press in the login dialog to the settlements on screen, the first login
// (from the opening sequence) and later ones (the "Logowanie" button); then
// from opening a month to its month card on screen; the peak resident memory
// (VmHWM) after the first login and after the month card. Ends with 1 when
// the calls of the run needed more than one TLS handshake.
// Usage: bench_login [logins=5]

#include "bench/common/BenchFigure.h"
#include "testing/AppTestSupport.h"
#include "testing/MessageRecorder.h"
#include "testing/ServerProcess.h"

#include "account/Account.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "forms/TApplication.h"
#include "protocol/ServiceAddress.h"
#include "protocol/THTTPRIO.h"
#include "protocol/TrustedCertificates.h"
#include "views/TForm_KartMca.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// The peak resident set of this process so far, in MiB.
double PeakRssMiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Notes when a month card window is painted for the first time.
class CardPaintWatch : public QObject
{
public:
    qint64 paintedAt = -1;
    const QElapsedTimer *clock = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && paintedAt < 0 && qobject_cast<TForm_KartMca *>(watched))
            paintedAt = clock->nsecsElapsed();
        return false;
    }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    const int logins = argc > 1 ? std::max(2, atoi(argv[1])) : 5;

    QTemporaryDir data;
    ServerProcess server;
    QString error;
    if (!data.isValid() || !server.Start(data.path(), {}, &error)) {
        std::fprintf(stderr, "demo server did not start: %s\n", qPrintable(error));
        return 1;
    }
    try {
        TrustedCertificates::AddFromFile(data.filePath(u"server-cert.pem"_s));
    } catch (const AppError &problem) {
        std::fprintf(stderr, "%s\n", qPrintable(problem.message()));
        return 1;
    }
    SetServerAddressArgument(u"localhost:%1"_s.arg(server.port()));
    MessageRecorder messages;

    QElapsedTimer clock;
    clock.start();
    qint64 okPressedAt = 0;
    std::vector<double> loginMs;
    double cardMs = -1, rssAfterLogin = -1, rssAfterCard = -1;
    bool failed = false;

    Account account;
    TForm_ZOKA_WSClient_Main window(account);
    TFrame_InfoRozrZasob *panel = window.Frame_InfoRozrZasob1();
    QObject driver;
    auto driveLogin = [&] {
        WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
            TypeInto(dialog->Ed_Login(), u"kowalski"_s);
            TypeInto(dialog->Ed_Haslo(), u"Kowalski1"_s);
            okPressedAt = clock.nsecsElapsed();
            ClickButton(dialog->BtnOK());
        });
    };
    auto figuresShown = [&] {
        TFrame_InfoRozrTabela *table = panel->CurrentTable();
        return account.Session.State == ssActive && !QApplication::activeModalWidget() && table && table->Year() != 0;
    };
    auto openMonthCard = [&] {
        TFrame_InfoRozrTabela *table = panel->CurrentTable();
        CardPaintWatch watch;
        watch.clock = &clock;
        app.installEventFilter(&watch);
        for (int month = table->MonthCount(); month >= 1 && watch.paintedAt < 0; --month) {
            WhenModal<TForm_KartMca>(&driver, [&](TForm_KartMca *card) {
                // The poll may come before the first paint: paint now.
                card->repaint();
                rssAfterCard = PeakRssMiB();
                card->reject();
            });
            const qint64 start = clock.nsecsElapsed();
            table->OpenMonth(month);
            if (watch.paintedAt >= 0)
                cardMs = (watch.paintedAt - start) / 1e6;
        }
        app.removeEventFilter(&watch);
    };
    auto laterLogins = [&] {
        auto *button = window.findChild<TWSpeedButton *>(u"SButton_Login"_s);
        for (int i = 1; i < logins && button; ++i) {
            driveLogin();
            ClickButton(button);
            window.repaint();
            loginMs.push_back((clock.nsecsElapsed() - okPressedAt) / 1e6);
        }
    };

    // The first login runs from the opening sequence; a millisecond poll
    // notices when its figures are in the table.
    driveLogin();
    QTimer poll;
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (!figuresShown()) {
            if (++waited > 30000) {
                std::fprintf(stderr, "the login did not complete\n");
                failed = true;
                QCoreApplication::quit();
            }
            return;
        }
        poll.stop();
        window.repaint();
        loginMs.push_back((clock.nsecsElapsed() - okPressedAt) / 1e6);
        rssAfterLogin = PeakRssMiB();
        openMonthCard();
        laterLogins();
        QCoreApplication::quit();
    });
    poll.start(1);

    window.show();
    window.activateWindow();
    app.exec();

    for (const MessageRequest &m : messages.messages) {
        if (m.text != u"Pomyślnie zalogowano się do serwisu." && m.text != u"Brak dokumentów w miesiącu.") {
            std::fprintf(stderr, "unexpected message: %s\n", qPrintable(m.text));
            failed = true;
        }
    }
    if (failed || loginMs.size() != std::size_t(logins) || cardMs < 0) {
        std::fprintf(stderr, "incomplete run: %zu logins, month card %s\n", loginMs.size(),
                     cardMs < 0 ? "not opened" : "opened");
        return 1;
    }
    // Every call of the run (version check, logins, ledger) shares one connection.
    const int handshakes = window.HTTPRIO1()->TlsHandshakes();
    if (handshakes != 1) {
        std::fprintf(stderr, "%d TLS handshakes in one run; the connection was not kept alive\n", handshakes);
        return 1;
    }
    const std::vector<double> later(loginMs.begin() + 1, loginMs.end());
    PrintLine("login (OK pressed) to the settlements on screen, demo server on loopback\n");
    PrintLine("  first login:             %7.1f ms\n", loginMs.front());
    PrintLine("  later logins, median:    %7.1f ms  (%zu runs)\n", median(later), later.size());
    PrintLine("month opened to its month card on screen: %7.1f ms  (%d documents)\n", cardMs,
              account.KsgData.KsgNumber);
    PrintLine("TLS handshakes in the run: %d\n", handshakes);
    PrintLine("peak RSS after the first login:  %7.1f MiB\n", rssAfterLogin);
    PrintLine("peak RSS after the month card:   %7.1f MiB\n", rssAfterCard);
    PrintFigure("Login (OK pressed) to the settlements on screen, demo server: first / later (median)",
                "%.0f ms / %.0f ms", loginMs.front(), median(later));
    PrintFigure("Month opened to its month card on screen (ledger call included)", "%.0f ms", cardMs);
    PrintFigure("Peak RSS (VmHWM) after login / after opening a month card", "%.1f MiB / %.1f MiB", rssAfterLogin,
                rssAfterCard);
    return 0;
}

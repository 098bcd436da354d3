// Takes the screenshots of the windows for the documentation: the login
// dialog, the main window with the settlements panel, a month card, a charge
// detail and the update-required notice, with the demo server behind them.
// Not a test; run it under a display (for example
// `LC_ALL=pl_PL.UTF-8 xvfb-run -a -s "-screen 0 1600x1000x24" build/tests/e2e/shell_screenshots docs`).

#include "testing/ServerProcess.h"
#include "tour/ClientDriver.h"

#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_MessUpdateNecessary.h"
#include "controls/TEditNew.h"
#include "forms/TApplication.h"
#include "protocol/ServiceAddress.h"
#include "views/TForm_KartMca.h"
#include "views/TForm_NalCzynszDtl.h"
#include "views/TForm_YearChart.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every demo year has documents in March.
constexpr int kMonth = 3;

} // namespace

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!out.exists()) {
        std::fprintf(stderr, "Brak folderu %s\n", qPrintable(out.path()));
        return 1;
    }

    QTemporaryDir data;
    ServerProcess server;
    QString error;
    if (!data.isValid() || !server.Start(data.path(), {}, &error)) {
        std::fprintf(stderr, "Serwer demonstracyjny nie wystartował: %s\n", qPrintable(error));
        return 1;
    }

    int failures = 0;
    ClientDriver driver;
    const auto save = [&](QWidget &window, const QString &name) {
        const QString path = out.filePath(name);
        if (driver.Screenshot(window, path)) {
            std::printf("%s\n", qPrintable(path));
            return;
        }
        std::fprintf(stderr, "%s\n", qPrintable(driver.LastError()));
        ++failures;
    };
    const auto check = [&](bool done) {
        if (!done) {
            std::fprintf(stderr, "%s\n", qPrintable(driver.LastError()));
            ++failures;
        }
        return done;
    };

    if (!check(driver.Start(u"localhost:%1"_s.arg(server.port()), data.filePath(u"server-cert.pem"_s)))
        || !check(driver.LogIn(u"kowalski"_s, u"Kowalski1"_s, [&](TForm_LoginWEB &dialog) {
               dialog.Ed_Haslo()->setFocus();
               save(dialog, u"login-dialog.png"_s);
           })))
        return 1;
    // A complete year, with March highlighted by the walk below.
    // The strip of the current year, then the notice a minute before the end.
    save(*driver.MainWindow(), u"balance-strip.png"_s);
    if (check(driver.AdvanceSessionClock(14 * 60 + 20)))
        save(*driver.MainWindow(), u"session-notice.png"_s);
    check(driver.AdvanceSessionClock(0));

    const int year = driver.Settlements()->Year() - 1;
    if (check(driver.ChangeYear(year))) {
        check(driver.OpenMonth(kMonth, [&](TForm_KartMca &card) {
            save(card, u"month-card.png"_s);
            check(driver.OpenCharge(card, driver.FirstChargeRow(card),
                                    [&](TForm_NalCzynszDtl &detail) { save(detail, u"charge-detail.png"_s); }));
        }));
        save(*driver.MainWindow(), u"main-window.png"_s);
        check(driver.OpenChart([&](TForm_YearChart &chart) { save(chart, u"year-chart.png"_s); }));
    }

    TForm_MessUpdateNecessary notice(ServerAddress(), driver.MainWindow());
    notice.show();
    if (!QTest::qWaitForWindowExposed(&notice))
        std::fprintf(stderr, "Komunikat o aktualizacji nie pojawił się na ekranie.\n");
    save(notice, u"update-notice.png"_s);
    notice.close();
    return failures == 0 ? 0 : 1;
}

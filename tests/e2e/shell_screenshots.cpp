// Takes the screenshots of the application shell for the documentation: the
// login dialog, the main window after a login and the update-required notice,
// with the demo server behind them. Not a test; run it under a display (for
// example `LC_ALL=pl_PL.UTF-8 xvfb-run -a build/tests/e2e/shell_screenshots docs`).

#include "tests/app/AppTestSupport.h"
#include "tests/server/ServerProcess.h"

#include "app/TApplication.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_MessUpdateNecessary.h"
#include "common/Messages.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "service/ServiceAddress.h"
#include "service/TU_WEBServiceSession.h"
#include "service/TrustedCertificates.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

// Answers every message with its default button, without a box in the picture.
class QuietSink final : public MessageSink
{
public:
    MessageButton show(const MessageRequest &request) override { return request.defaultButton; }
};

bool Save(QWidget *window, const QDir &dir, const QString &name)
{
    QCoreApplication::processEvents();
    const QString path = dir.filePath(name);
    if (!window->grab().save(path, "PNG")) {
        std::fprintf(stderr, "Nie można zapisać %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    app.setApplicationDisplayName(ApplicationTitle());
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
    const QString problem = TrustedCertificates::AddFromFile(data.filePath(u"server-cert.pem"_s));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    SetServerAddressArgument(u"localhost:%1"_s.arg(server.port()));
    QuietSink sink;
    SetMessageSink(&sink);

    int failures = 0;
    TForm_ZOKA_WSClient_Main window;
    QObject driver;
    WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
        TypeInto(dialog->Ed_Login(), u"kowalski"_s);
        TypeInto(dialog->Ed_Haslo(), u"Kowalski1"_s);
        dialog->Ed_Haslo()->setFocus();
        failures += Save(dialog, out, u"login-dialog.png"_s) ? 0 : 1;
        ClickButton(dialog->BtnOK());
    });

    // Once the login is through: the main window, then the notice.
    QTimer poll;
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        const bool loggedIn = gU_WEBServiceSession.State == ssActive && !QApplication::activeModalWidget();
        if (!loggedIn && ++waited < 300)
            return;
        poll.stop();
        if (!loggedIn) {
            std::fprintf(stderr, "Logowanie do serwera demonstracyjnego nie powiodło się.\n");
            ++failures;
        }
        failures += Save(&window, out, u"main-window.png"_s) ? 0 : 1;
        TForm_MessUpdateNecessary notice(ServerAddress(), &window);
        notice.show();
        if (!QTest::qWaitForWindowExposed(&notice))
            std::fprintf(stderr, "Komunikat o aktualizacji nie pojawił się na ekranie.\n");
        failures += Save(&notice, out, u"update-notice.png"_s) ? 0 : 1;
        notice.close();
        QCoreApplication::quit();
    });
    poll.start(100);

    // Without a window manager nobody activates the window; its first
    // activation starts the version check and the login.
    window.show();
    window.activateWindow();
    app.exec();
    SetMessageSink(nullptr);
    return failures == 0 ? 0 : 1;
}

#include "app/StartUp.h"

#include "app/InstalledFiles.h"
#include "app/ProgramAccount.h"
#include "app/ProgramOptions.h"
#include "app/SingleInstanceGuard.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/U_modules.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "common/Cursors.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "forms/MessageBoxSink.h"
#include "forms/TApplication.h"
#include "protocol/ServiceAddress.h"
#include "protocol/TrustedCertificates.h"
#include "reports/TPrn_Preview.h"

#include <QApplication>
#include <QEvent>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <future>
#include <memory>
#include <optional>

namespace {

// Polish texts for the toolkit's own buttons ("Tak", "Nie", "Anuluj").
void installToolkitTranslation(QCoreApplication &app)
{
    static QTranslator translator;
    if (translator.load(QLocale(QLocale::Polish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

// For start-up measurements (DOMVEL_QUIT_AFTER_SHOW=login): ends the program
// once the first login dialog has been painted. It only watches; what the
// user sees is unchanged.
class QuitAfterLoginPainted : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<TForm_LoginWEB *>(watched) && !m_done) {
            m_done = true;
            // Tells the measuring program that the dialog was reached.
            std::fputs("login dialog painted\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_done = false;
};

// The CA files' certificates, and what made a file unusable, in file order.
struct TrustFiles
{
    QList<QSslCertificate> certificates;
    QStringList problems;
};

TrustFiles ReadTrustFiles(const QStringList &files)
{
    TrustFiles read;
    for (const QString &file : files) {
        try {
            read.certificates += TrustedCertificates::ReadFile(file);
        } catch (const AppError &problem) {
            read.problems << problem.message();
        }
    }
    return read;
}

std::function<void(QWidget *)> &WindowsCreatedHook()
{
    static std::function<void(QWidget *)> hook;
    return hook;
}

} // namespace

void SetWindowsCreatedHook(std::function<void(QWidget *mainWindow)> hook)
{
    WindowsCreatedHook() = std::move(hook);
}

std::optional<int> AnswerBeforeStart(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (CommandLineAnswersItself(arguments)) {
        // The help text and the executable's version need an application
        // object, but not a window system.
        QCoreApplication app(argc, argv);
        app.setApplicationName(QStringLiteral("domvel-e-vadiv"));
        installToolkitTranslation(app);
        return ParseProgramOptions(app.arguments()).exitCode;
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a display the toolkit would abort; say why instead.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("Brak ekranu: program potrzebuje środowiska graficznego (nie ustawiono zmiennej DISPLAY ani "
                   "WAYLAND_DISPLAY).\n",
                   stderr);
        return kExitStartUpFailed;
    }
#endif
    return std::nullopt;
}

int RunProgram(QApplication &app)
{
    return RunProgram(app, app.arguments());
}

int RunProgram(QApplication &app, const QStringList &arguments)
{
    app.setApplicationName(QStringLiteral("domvel-e-vadiv"));
    const ProgramOptions options = ParseProgramOptions(arguments);
    if (options.exitRequested)
        return options.exitCode;

    SetServerAddressArgument(options.serverAddress);
    installToolkitTranslation(app);
    InstallProgramMessageSink();

    SingleInstanceGuard guard(ModuleMutexName(MODULE_SM_WEB));
    if (guard.AlreadyRunning()) {
        ShowAlreadyRunningMessage();
        return 0;
    }
    guard.HoldUntilExit();
    // The cooperative's own authority, when the package was built with one,
    // and the one the command line names. Without them the connection cannot
    // be trusted; the version check then tells the user that the service is
    // unavailable, with the TLS reason. The first certificate read loads the
    // TLS library, which takes about as long as building the main window:
    // the files are read on a worker meanwhile.
    QStringList caFiles{InstalledFiles::CooperativeCaFile(QCoreApplication::applicationDirPath()), options.caCertFile};
    caFiles.removeAll(QString());
    std::future<TrustFiles> trust = std::async(std::launch::async, ReadTrustFiles, caFiles);

    std::unique_ptr<TForm_ZOKA_WSClient_Main> mainWindow;
    std::unique_ptr<TPrn_Preview> preview;
    // An error of the start-up, thrown here or shown by the outer error
    // display while the windows are built and shown, ends the program with
    // kExitStartUpFailed; the message loop's own status otherwise.
    auto *application = dynamic_cast<TApplication *>(&app);
    const int errorsBefore = application ? application->ErrorsShown() : 0;
    int status = kExitStartUpFailed;
    try {
        {
            // The hourglass while the windows are built.
            const TWaitCursor wait;
            // The application title (ApplicationTitle()) captions the message
            // boxes. It is deliberately not the toolkit's display name: the
            // platform would append that to every window caption.
            mainWindow = std::make_unique<TForm_ZOKA_WSClient_Main>(ProgramAccount());
            SetPrn_PreviewSource([&preview] {
                preview = std::make_unique<TPrn_Preview>();
                return preview.get();
            });
        }
        const TrustFiles trusted = trust.get();
        for (const QString &problem : trusted.problems)
            ShowErrorBox(problem);
        TrustedCertificates::Add(trusted.certificates);
        // Its handshake runs on the network thread while the window shows.
        mainWindow->OpenServiceConnection();
        {
            const TWaitCursor wait;
            mainWindow->show();
            // Its first activation opens the session; ask for it also where
            // no window manager gives it (a bare X server).
            mainWindow->activateWindow();
            if (WindowsCreatedHook())
                WindowsCreatedHook()(mainWindow.get());
        }
        // For start-up measurements: end as soon as the main window is up, or
        // with "login" once the login dialog is on screen.
        std::unique_ptr<QuitAfterLoginPainted> quitAfterLogin;
        if (qEnvironmentVariable("DOMVEL_QUIT_AFTER_SHOW") == u"login") {
            quitAfterLogin = std::make_unique<QuitAfterLoginPainted>();
            app.installEventFilter(quitAfterLogin.get());
        } else if (qEnvironmentVariableIsSet("DOMVEL_QUIT_AFTER_SHOW")) {
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        }
        if (!application || application->ErrorsShown() == errorsBefore)
            status = app.exec();
    } catch (...) {
        ShowErrorDisplay(std::current_exception());
        status = kExitStartUpFailed;
    }
    SetPrn_PreviewSource({});
    SetPrn_Preview(nullptr);
    return status;
}

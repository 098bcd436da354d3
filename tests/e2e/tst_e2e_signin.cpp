#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/AppTestSupport.h"
#include "testing/CountingService.h"
#include "testing/ServerProcess.h"
#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceSession.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_MessUpdateNecessary.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "forms/TApplication.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/PasswordRule.h"
#include "protocol/ServiceAddress.h"
#include "protocol/THTTPRIO.h"
#include "protocol/TrustedCertificates.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"

#include <QLabel>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kLoginRefused = u"Błąd logowania."_s;
const QString kLoggedIn = u"Pomyślnie zalogowano się do serwisu."_s;
const QString kMismatch
    = u"Dane logowania niezgodne z podanymi podczas pierwotnego logowania.\nWykonanie funkcji nie jest możliwe."_s;

// What a driven dialog ended with.
struct DialogRun
{
    bool shown = false;
    bool result = false;
};

// Types the identifier and the passwords into the dialog's visible fields and
// presses OK, as the user does.
void FillAndPressOk(TForm_LoginWEB *dialog, const QString &identifier, const QString &password,
                    const QString &newPassword = {}, const QString &repeated = {})
{
    TypeInto(dialog->Ed_Login(), identifier);
    TypeInto(dialog->Ed_Haslo(), password);
    if (dialog->Mode() == lmChangePassword) {
        TypeInto(dialog->Ed_HasloNew_1(), newPassword);
        TypeInto(dialog->Ed_HasloNew_2(), repeated);
    }
    ClickButton(dialog->BtnOK());
}

} // namespace

// The sign-in flows of the client against the demo server executable: the
// real connection, the server's own credential check, token and password
// store. Every test talks to a server on 127.0.0.1; tests that change what the
// server keeps get a server of their own.
class tst_E2eSignIn : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void fiveRefusalsAtStartEndTheProgram();
    void loginAfterRefusals_data();
    void loginAfterRefusals();
    void renewalInAnotherLetterCaseIsRefusedUnsent();
    void passwordChangeRefusesInput_data();
    void passwordChangeRefusesInput();
    void passwordChangeAfterSixteenMinutes();
    void renewalAfterChangeNeedsTheNewPassword();
    void logoutWithServerDown();
    void refusedVersionShowsTheUpdateNotice();

private:
    // Points the client at `server` (data in `dataDir`): its certificate
    // trusted, its address the service address, a main window (not shown)
    // owning the connection, and every call counted.
    void connectTo(const ServerProcess &server, const QString &dataDir);
    // Starts a server of the test's own; false with the reason in `error`.
    bool startOwnServer(ServerProcess &server, QTemporaryDir &dir, const QStringList &extra, QString &error);
    // Shows the dialog in `mode` over the main window and runs `drive` on it.
    DialogRun runDialog(TLoginMode mode, const std::function<void(TForm_LoginWEB *)> &drive);
    bool logIn(const QString &identifier, const QString &password);
    // The program's message loop until the application is asked to end (or
    // 30 seconds have passed: then the exit code is 99).
    int runMessageLoop();

    QTemporaryDir m_sharedData;
    ServerProcess m_sharedServer;
    std::unique_ptr<TForm_ZOKA_WSClient_Main> m_window;
    std::unique_ptr<CountingService> m_calls;
    std::unique_ptr<MessageRecorder> m_messages;
};

void tst_E2eSignIn::initTestCase()
{
    QVERIFY(m_sharedData.isValid());
    QString error;
    QVERIFY2(m_sharedServer.Start(m_sharedData.path(), {}, &error), qPrintable(error));
}

void tst_E2eSignIn::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_account = Account{};
}

void tst_E2eSignIn::cleanup()
{
    SetTerminateHandler({});
    m_calls.reset();
    m_window.reset();
    m_messages.reset();
    TrustedCertificates::Clear();
    SetServerAddressArgument({});
}

void tst_E2eSignIn::connectTo(const ServerProcess &server, const QString &dataDir)
{
    TrustedCertificates::Clear();
    QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(dataDir + u"/server-cert.pem"_s));
    SetServerAddressArgument(u"localhost:%1"_s.arg(server.port()));
    m_window = std::make_unique<TForm_ZOKA_WSClient_Main>(m_account);
    IZOKA_E_BOK *connection = m_window->HTTPRIO1()->GetIZOKA_E_BOK();
    QVERIFY(connection);
    QCOMPARE(m_window->Service().Service(), connection);
    m_calls = std::make_unique<CountingService>(*connection);
    m_window->Service().SetService(m_calls.get());
}

bool tst_E2eSignIn::startOwnServer(ServerProcess &server, QTemporaryDir &dir, const QStringList &extra, QString &error)
{
    return dir.isValid() && server.Start(dir.path(), extra, &error);
}

DialogRun tst_E2eSignIn::runDialog(TLoginMode mode, const std::function<void(TForm_LoginWEB *)> &drive)
{
    DialogRun run;
    QObject driver; // ends the polling with this run
    WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
        run.shown = dialog->Mode() == mode;
        drive(dialog);
    });
    run.result = ShowLoginDialog(m_window.get(), mode, m_window->Service());
    return run;
}

bool tst_E2eSignIn::logIn(const QString &identifier, const QString &password)
{
    const DialogRun run = runDialog(lmLogin, [&](TForm_LoginWEB *d) {
        FillAndPressOk(d, identifier, password);
        if (d->isVisible())
            ClickButton(d->BtnCancel());
    });
    m_messages->messages.clear();
    m_calls->operations.clear();
    return run.result && m_account.Session.State == ssActive;
}

int tst_E2eSignIn::runMessageLoop()
{
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    safety.start(30000);
    return QApplication::exec();
}

void tst_E2eSignIn::fiveRefusalsAtStartEndTheProgram()
{
    connectTo(m_sharedServer, m_sharedData.path());
    int attempts = 0;
    QObject driver;
    WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
        for (int i = 0; i < TForm_LoginWEB::kMaxAttempts && dialog->isVisible(); ++i) {
            FillAndPressOk(dialog, u"zielinski"_s, u"Ogrod7Gd"_s);
            ++attempts;
        }
    });
    m_window->show();
    const int exitCode = runMessageLoop();

    QCOMPARE(exitCode, 0);
    QCOMPARE(attempts, 5);
    QCOMPARE(m_messages->texts(), QStringList(5, kLoginRefused));
    QCOMPARE(m_calls->operations, QStringList{u"ZOKA_WS_InitialCheck"_s} + QStringList(5, u"ZOKA_WS_CzSessionBegin"_s));
    QCOMPARE(m_account.Session.State, ssNone);
    QVERIFY2(!m_window->isVisible(), "the program has ended");
}

void tst_E2eSignIn::loginAfterRefusals_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("refusals");
    QTest::addColumn<QString>("holder");
    QTest::newRow("spaces around the identifier") << u"  kowalski \t"_s << u" Kowalski1 "_s << 0 << u"Kowalski"_s;
    QTest::newRow("four refusals, then right") << u"wisniewska"_s << u"Wisnia2016"_s << 4 << u"Wiśniewska"_s;
}

void tst_E2eSignIn::loginAfterRefusals()
{
    QFETCH(QString, identifier);
    QFETCH(QString, password);
    QFETCH(int, refusals);
    QFETCH(QString, holder);
    connectTo(m_sharedServer, m_sharedData.path());
    int refusalsShown = -1;
    const DialogRun run = runDialog(lmLogin, [&](TForm_LoginWEB *dialog) {
        for (int i = 0; i < refusals; ++i)
            FillAndPressOk(dialog, identifier, password + u"x"_s);
        refusalsShown = m_messages->texts().count(kLoginRefused);
        if (dialog->isVisible())
            FillAndPressOk(dialog, identifier, password);
    });

    QVERIFY(run.shown);
    QVERIFY(run.result);
    QCOMPARE(refusalsShown, refusals);
    QCOMPARE(m_messages->texts(), QStringList(refusals, kLoginRefused) << kLoggedIn);
    QCOMPARE(m_account.Session.State, ssActive);
    QCOMPARE(DecodeCredential(m_account.Session.LoginE), identifier.trimmed());
    QVERIFY2(m_account.Session.U_Nazwisko1.startsWith(holder), qPrintable(m_account.Session.U_Nazwisko1));
    QCOMPARE(m_account.Data.ObrotyCZMain_WN.size(), 13);

    // The main window shows what the login brought.
    m_window->ShowHeader();
    QCOMPARE(m_window->findChild<QLabel *>(u"Lab_User1Name"_s)->text(),
             m_account.Session.U_Nazwisko1 + u' ' + m_account.Session.U_Imie1);
}

void tst_E2eSignIn::renewalInAnotherLetterCaseIsRefusedUnsent()
{
    connectTo(m_sharedServer, m_sharedData.path());
    QVERIFY(logIn(u"kowalski"_s, u"Kowalski1"_s));
    const QString token = m_account.Session.SessionToken;

    const DialogRun refused
        = runDialog(lmRelogin, [](TForm_LoginWEB *d) { FillAndPressOk(d, u"Kowalski"_s, u"Kowalski1"_s); });
    QVERIFY(refused.shown);
    QVERIFY(!refused.result);
    QCOMPARE(m_messages->texts(), QStringList{kMismatch});
    QVERIFY2(m_calls->operations.isEmpty(), qPrintable(m_calls->operations.join(u' ')));

    m_messages->messages.clear();
    const DialogRun renewed
        = runDialog(lmRelogin, [](TForm_LoginWEB *d) { FillAndPressOk(d, u"kowalski"_s, u"Kowalski1"_s); });
    QVERIFY(renewed.result);
    QCOMPARE(m_messages->texts(), QStringList{u"Pomyślnie odnowiono sesję serwisu."_s});
    QCOMPARE(m_calls->operations, QStringList{u"ZOKA_WS_SessionRenew"_s});
    QVERIFY(m_account.Session.SessionToken != token);
    QCOMPARE(m_account.Session.State, ssActive);
}

void tst_E2eSignIn::passwordChangeRefusesInput_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("newPassword");
    QTest::addColumn<QString>("repeated");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focused");
    QTest::newRow("no password") << QString() << u"Nowe12345"_s << u"Nowe12345"_s
                                 << u" Pole «Hasło» musi być wypełnione.\n\n Proszę uzupełnić wprowadzone dane."_s
                                 << int(LoginField::Haslo);
    QTest::newRow("no new password")
        << u"Kowalski1"_s << QString() << u"Nowe12345"_s
        << u" Pole «Nowe hasło» musi być wypełnione.\n\n Proszę uzupełnić wprowadzone dane."_s
        << int(LoginField::HasloNew_1);
    QTest::newRow("no repetition")
        << u"Kowalski1"_s << u"Nowe12345"_s << QString()
        << u" Pole «Powtórz nowe hasło» musi być wypełnione.\n\n Proszę uzupełnić wprowadzone dane."_s
        << int(LoginField::HasloNew_2);
    QTest::newRow("repetition differs") << u"Kowalski1"_s << u"Nowe12345"_s << u"Nowe12346"_s
                                        << u"Podane hasła nie są identyczne."_s << int(LoginField::HasloNew_1);
    QTest::newRow("new equals current") << u"Kowalski1"_s << u"Kowalski1"_s << u"Kowalski1 "_s
                                        << u"Hasło podane jako nowe jest identyczne z dotychczasowym."_s
                                        << int(LoginField::HasloNew_1);
    QTest::newRow("weak repetition, on leaving")
        << u"Kowalski1"_s << u"Nowe12345"_s << u"nowe12345"_s << WeakPasswordMessage() << int(LoginField::HasloNew_2);
}

void tst_E2eSignIn::passwordChangeRefusesInput()
{
    QFETCH(QString, password);
    QFETCH(QString, newPassword);
    QFETCH(QString, repeated);
    QFETCH(QString, message);
    QFETCH(int, focused);
    connectTo(m_sharedServer, m_sharedData.path());
    QVERIFY(logIn(u"kowalski"_s, u"Kowalski1"_s));
    bool stayedOpen = false;
    bool fieldFocused = false;
    const DialogRun run = runDialog(lmChangePassword, [&](TForm_LoginWEB *dialog) {
        FillAndPressOk(dialog, u"kowalski"_s, password, newPassword, repeated);
        stayedOpen = dialog->isVisible();
        fieldFocused = dialog->focusWidget() == dialog->Field(LoginField(focused));
        // The window's close button: a click on "Anuluj" would first leave
        // the refusing field and be refused again.
        dialog->close();
    });
    QVERIFY(run.shown);
    QVERIFY(!run.result);
    QVERIFY2(stayedOpen, "a refused input leaves the dialog open");
    QVERIFY2(fieldFocused, "the refused field has the focus");
    QCOMPARE(m_messages->texts(), QStringList{message});
    QVERIFY(m_calls->operations.isEmpty());
    QCOMPARE(m_account.Session.State, ssActive);
}

void tst_E2eSignIn::passwordChangeAfterSixteenMinutes()
{
    connectTo(m_sharedServer, m_sharedData.path());
    ManualClock clock(Now());
    QVERIFY(logIn(u"kowalski"_s, u"Kowalski1"_s));
    clock.advanceSeconds(16 * 60);
    const DialogRun run = runDialog(lmChangePassword, [](TForm_LoginWEB *d) {
        FillAndPressOk(d, u"kowalski"_s, u"Kowalski1"_s, u"Nowe12345"_s, u"Nowe12345"_s);
    });
    QVERIFY(!run.result);
    QCOMPARE(m_messages->texts(),
             QStringList{u"Upłynął czas aktywności sesji serwisu.\nWykonanie funkcji nie jest możliwe."_s});
    QVERIFY(m_calls->operations.isEmpty());
    QCOMPARE(m_account.Session.State, ssExpired);
}

void tst_E2eSignIn::renewalAfterChangeNeedsTheNewPassword()
{
    QTemporaryDir dir;
    ServerProcess server;
    QString error;
    QVERIFY2(startOwnServer(server, dir, {}, error), qPrintable(error));
    connectTo(server, dir.path());
    QVERIFY(logIn(u"nowak"_s, u"NowakP2015"_s));
    const QString token = m_account.Session.SessionToken;

    const DialogRun change = runDialog(lmChangePassword, [](TForm_LoginWEB *d) {
        FillAndPressOk(d, u"nowak"_s, u"NowakP2015"_s, u"Jesien2024"_s, u"Jesien2024"_s);
    });
    QVERIFY(change.result);
    QCOMPARE(m_messages->texts(), QStringList{u"Hasło zostało zmienione."_s});
    QCOMPARE(m_account.Session.PasswordE, EncodeCredential(u"Jesien2024"_s));
    QVERIFY(m_account.Session.SessionToken != token);

    m_messages->messages.clear();
    m_calls->operations.clear();
    const DialogRun oldPassword
        = runDialog(lmRelogin, [](TForm_LoginWEB *d) { FillAndPressOk(d, u"nowak"_s, u"NowakP2015"_s); });
    QVERIFY(!oldPassword.result);
    QCOMPARE(m_messages->texts(), QStringList{kMismatch});
    QVERIFY(m_calls->operations.isEmpty());

    m_messages->messages.clear();
    const DialogRun newPassword
        = runDialog(lmRelogin, [](TForm_LoginWEB *d) { FillAndPressOk(d, u"nowak"_s, u"Jesien2024"_s); });
    QVERIFY2(newPassword.result, qPrintable(m_messages->texts().join(u'|')));
    QCOMPARE(m_calls->operations, QStringList{u"ZOKA_WS_SessionRenew"_s});

    // The server kept it: a new login takes only the new password.
    QVERIFY(!logIn(u"nowak"_s, u"NowakP2015"_s));
    QVERIFY(logIn(u"nowak"_s, u"Jesien2024"_s));
}

void tst_E2eSignIn::logoutWithServerDown()
{
    QTemporaryDir dir;
    ServerProcess server;
    QString error;
    QVERIFY2(startOwnServer(server, dir, {}, error), qPrintable(error));
    connectTo(server, dir.path());
    QVERIFY(logIn(u"kowalski"_s, u"Kowalski1"_s));
    server.Stop();

    m_window->Service().Logout();

    QCOMPARE(m_messages->texts(), QStringList{ServiceUnavailableMessage()});
    QVERIFY2(!m_messages->messages.first().detail.isEmpty(), "the reason goes into the box's detail");
    QCOMPARE(m_calls->operations, QStringList{u"ZOKA_WS_Logout"_s});
    QCOMPARE(m_account.Session.State, ssLoggedOut);
}

void tst_E2eSignIn::refusedVersionShowsTheUpdateNotice()
{
    QTemporaryDir dir;
    ServerProcess server;
    QString error;
    QVERIFY2(startOwnServer(server, dir, {u"--min-version"_s, u"1.4.0.0"_s}, error), qPrintable(error));
    connectTo(server, dir.path());
    QString caption;
    QString address;
    bool loginShown = false;
    QObject driver;
    WhenModal<TForm_MessUpdateNecessary>(&driver, [&](TForm_MessUpdateNecessary *notice) {
        caption = notice->windowTitle();
        address = notice->Lab_FTP_IP()->text();
        ClickButton(notice->ButtonOk());
    });
    WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
        loginShown = true;
        dialog->close();
    });
    m_window->show();
    const int exitCode = runMessageLoop();

    QCOMPARE(exitCode, 0);
    QCOMPARE(caption, u"Domvel-E-Vadiv"_s);
    QCOMPARE(address, u"ftp://localhost:%1"_s.arg(server.port()));
    QVERIFY(!loginShown);
    QCOMPARE(m_calls->operations, QStringList{u"ZOKA_WS_InitialCheck"_s});
    QVERIFY(m_messages->texts().isEmpty());
    QVERIFY(!m_window->isVisible());
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    tst_E2eSignIn test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_e2e_signin.moc"

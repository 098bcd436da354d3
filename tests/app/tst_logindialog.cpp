#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/AppTestSupport.h"
#include "testing/FakeService.h"
#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceSession.h"
#include "app/dialogs/LoginInput.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "forms/TApplication.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/PasswordRule.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"

#include <QLabel>

#include <memory>

using namespace Qt::Literals::StringLiterals;

// The sign-in dialog against a fake service: the outcomes the demo server
// cannot be made to give (no interface, a token that does not decode, a
// refused renewal or change with the service's reason) and the new-password
// fields' own check. The flows against the real server are in tests/e2e.
class tst_LoginDialog : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void fieldRequiredMessage_data();
    void fieldRequiredMessage();
    void init();
    void cleanup();

    void layoutOfTheModes_data();
    void layoutOfTheModes();
    void enterMovesToOkAndPressesIt();
    void loginWithoutServiceInterfaceStaysOpen();
    void loginCallFailureCountsAsRefusal();
    void loginSendsEncodedTrimmedCredentials();
    void unusableTokenEndsTheProgram();
    void stopsBeforeTheCall_data();
    void stopsBeforeTheCall();
    void renewalOutcomes_data();
    void renewalOutcomes();
    void changeRefusedShowsTheServiceReason_data();
    void changeRefusedShowsTheServiceReason();
    void weakNewPasswordKeepsTheFocus_data();
    void weakNewPasswordKeepsTheFocus();
    void logout_data();
    void logout();

private:
    std::unique_ptr<TForm_LoginWEB> openDialog(TLoginMode mode);
    void beginSession(const QString &identifier, const QString &password);

    std::unique_ptr<FakeService> m_service;
    std::unique_ptr<MessageRecorder> m_messages;
    int m_terminateRequests = 0;
};

void tst_LoginDialog::fieldRequiredMessage_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("login label") << "Identyfikator użytkownika: "
                                 << "Identyfikator użytkownika";
    QTest::newRow("password label") << "Hasło: "
                                    << "Hasło";
    QTest::newRow("accelerator") << "Nowe &hasło: "
                                 << "Nowe hasło";
    QTest::newRow("accelerators, colons and spaces mixed") << "  &Powtórz : nowe hasło :: : "
                                                           << "Powtórz : nowe hasło";
    QTest::newRow("double ampersand") << "A&&B:"
                                      << "AB";
    QTest::newRow("nothing but colons") << " :: "
                                        << "";
}

void tst_LoginDialog::fieldRequiredMessage()
{
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QCOMPARE(FieldRequiredMessage(caption),
             QStringLiteral(" Pole «") + name
                 + QStringLiteral("» musi być wypełnione.\n\n Proszę uzupełnić wprowadzone dane."));
}

void tst_LoginDialog::init()
{
    m_service = std::make_unique<FakeService>();
    m_service->sessionBegin = SampleSessionBegin();
    m_access.SetService(m_service.get());
    m_messages = std::make_unique<MessageRecorder>();
    m_terminateRequests = 0;
    SetTerminateHandler([this] { ++m_terminateRequests; });
    m_account = Account{};
}

void tst_LoginDialog::cleanup()
{
    SetTerminateHandler({});
    m_access.SetService(nullptr);
    m_messages.reset();
    m_service.reset();
    m_account = Account{};
}

std::unique_ptr<TForm_LoginWEB> tst_LoginDialog::openDialog(TLoginMode mode)
{
    auto dialog = std::make_unique<TForm_LoginWEB>(nullptr, mode, m_access);
    dialog->show();
    if (!QTest::qWaitForWindowActive(dialog.get()))
        qWarning("the dialog did not become active");
    return dialog;
}

void tst_LoginDialog::beginSession(const QString &identifier, const QString &password)
{
    m_account.Session.BeginSession(SampleSessionBegin(), EncodeCredential(identifier), EncodeCredential(password));
}

void tst_LoginDialog::layoutOfTheModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("newPasswordRows");
    QTest::addColumn<int>("height");
    QTest::newRow("login") << int(lmLogin) << u"Logowania użytkownika do serwisu Domvel-E-Vadiv"_s << false << 233;
    QTest::newRow("renewal") << int(lmRelogin) << u"Odnowienie sesji serwisu"_s << false << 233;
    QTest::newRow("change") << int(lmChangePassword) << u"Zmiana hasła dostępu do serwisu"_s << true << 257;
}

void tst_LoginDialog::layoutOfTheModes()
{
    QFETCH(int, mode);
    QFETCH(QString, caption);
    QFETCH(bool, newPasswordRows);
    QFETCH(int, height);
    const auto dialog = openDialog(TLoginMode(mode));
    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(dialog->height(), height);
    QCOMPARE(dialog->Ed_HasloNew_1()->isVisible(), newPasswordRows);
    QCOMPARE(dialog->Ed_HasloNew_2()->isEnabled(), newPasswordRows);
    QCOMPARE(dialog->FieldLabel(LoginField::HasloNew_2)->isVisible(), newPasswordRows);
    QCOMPARE(dialog->focusWidget(), dialog->Ed_Login());
    QCOMPARE(dialog->Ed_Haslo()->PasswordChar(), QChar(u'x'));
    QCOMPARE(dialog->FieldLabel(LoginField::Login)->text(), u"Identyfikator użytkownika: "_s);
    QVERIFY(dialog->width() >= 533);
    for (LoginField field : {LoginField::Login, LoginField::Haslo, LoginField::HasloNew_1, LoginField::HasloNew_2}) {
        const QLabel *label = dialog->FieldLabel(field);
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text() + u" is cut off"_s));
        QVERIFY(label->geometry().right() < dialog->Field(field)->x());
        QVERIFY(dialog->Field(field)->geometry().right() < dialog->width());
    }
    QCOMPARE(dialog->Attempts(), 1);
}

void tst_LoginDialog::enterMovesToOkAndPressesIt()
{
    const auto dialog = openDialog(lmLogin);
    QTest::keyClicks(dialog->Ed_Login(), u"jan"_s);
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    QCOMPARE(dialog->focusWidget(), dialog->Ed_Haslo());
    QTest::keyClicks(dialog->Ed_Haslo(), u"Haslo123"_s);
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    QCOMPARE(dialog->focusWidget(), dialog->BtnOK());
    QVERIFY(m_service->calls.isEmpty());
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void tst_LoginDialog::loginWithoutServiceInterfaceStaysOpen()
{
    m_access.SetService(nullptr);
    const auto dialog = openDialog(lmLogin);
    TypeInto(dialog->Ed_Login(), u"jan"_s);
    TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
    ClickButton(dialog->BtnOK());
    QCOMPARE(m_messages->texts(), QStringList{ServiceUnavailableMessage()});
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->Attempts(), 1);
}

void tst_LoginDialog::loginCallFailureCountsAsRefusal()
{
    m_service->failure = ServiceFailure{ServiceFailure::Kind::Transport, u"Connection refused"_s};
    const auto dialog = openDialog(lmLogin);
    TypeInto(dialog->Ed_Login(), u"jan"_s);
    TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
    ClickButton(dialog->BtnOK());
    QCOMPARE(m_messages->texts(), (QStringList{ServiceUnavailableMessage(), u"Błąd logowania."_s}));
    QCOMPARE(m_messages->messages.at(1).icon, MessageIcon::Error);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->Attempts(), 2);
    QCOMPARE(dialog->focusWidget(), dialog->Ed_Login());
    QCOMPARE(m_account.Session.State, ssNone);
}

void tst_LoginDialog::loginSendsEncodedTrimmedCredentials()
{
    const auto dialog = openDialog(lmLogin);
    TypeInto(dialog->Ed_Login(), u"  jan\t"_s);
    TypeInto(dialog->Ed_Haslo(), u" Haslo123 "_s);
    ClickButton(dialog->BtnOK());
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(m_service->calls.first().arguments,
             (QStringList{EncodeCredential(u"jan"_s), EncodeCredential(u"Haslo123"_s)}));
    QCOMPARE(m_service->calls.first().cursor, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(m_messages->texts(), QStringList{u"Pomyślnie zalogowano się do serwisu."_s});
    QCOMPARE(m_account.Session.State, ssActive);
    QCOMPARE(m_account.Session.LoginE, EncodeCredential(u"jan"_s));
    QCOMPARE(m_account.Session.PasswordE, EncodeCredential(u"Haslo123"_s));
    QCOMPARE(m_account.Data.ObrotyCZMain_WN.size(), 13);
    QVERIFY(m_terminateRequests == 0);
}

void tst_LoginDialog::unusableTokenEndsTheProgram()
{
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.SessionToken = EncodeSessionToken(u"x;2020"_s);
    m_service->sessionBegin = answer;
    const auto dialog = openDialog(lmLogin);
    TypeInto(dialog->Ed_Login(), u"jan"_s);
    TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
    ClickButton(dialog->BtnOK());
    QCOMPARE(m_messages->texts(), QStringList{IntrusionMessage()});
    QCOMPARE(m_messages->messages.first().icon, MessageIcon::Error);
    QCOMPARE(m_terminateRequests, 1);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
}

void tst_LoginDialog::stopsBeforeTheCall_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("password"); // typed as the current one; the login's was "Haslo123"
    QTest::addColumn<bool>("serviceInterface");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("staysOpen");
    const QString mismatch = u"Dane logowania niezgodne z podanymi podczas pierwotnego logowania.\n"
                             u"Wykonanie funkcji nie jest możliwe."_s;
    QTest::newRow("renewal without a service interface")
        << int(lmRelogin) << u"Haslo123"_s << false << ServiceUnavailableMessage() << true;
    QTest::newRow("change without a service interface")
        << int(lmChangePassword) << u"Haslo123"_s << false << ServiceUnavailableMessage() << true;
    QTest::newRow("change with other credentials")
        << int(lmChangePassword) << u"Haslo124"_s << true << mismatch << false;
}

// Renewal and password change stop before calling the service: without a
// service interface the dialog stays open for another try; typed credentials
// that differ from the login's close it with Cancel and change nothing.
void tst_LoginDialog::stopsBeforeTheCall()
{
    QFETCH(int, mode);
    QFETCH(QString, password);
    QFETCH(bool, serviceInterface);
    QFETCH(QString, message);
    QFETCH(bool, staysOpen);
    beginSession(u"jan"_s, u"Haslo123"_s);
    const QString tokenBefore = m_account.Session.SessionToken;
    const QString passwordBefore = m_account.Session.PasswordE;
    if (!serviceInterface)
        m_access.SetService(nullptr);

    const auto dialog = openDialog(TLoginMode(mode));
    TypeInto(dialog->Ed_Login(), u"jan"_s);
    TypeInto(dialog->Ed_Haslo(), password);
    if (mode == lmChangePassword) {
        TypeInto(dialog->Ed_HasloNew_1(), u"NoweHaslo45"_s);
        TypeInto(dialog->Ed_HasloNew_2(), u"NoweHaslo45"_s);
    }
    ClickButton(dialog->BtnOK());

    QCOMPARE(m_messages->texts(), QStringList{message});
    QCOMPARE(m_messages->messages.first().icon, MessageIcon::Information);
    QCOMPARE(dialog->isVisible(), staysOpen);
    if (!staysOpen)
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(m_service->calls.isEmpty());
    QCOMPARE(m_account.Session.State, ssActive);
    QCOMPARE(m_account.Session.SessionToken, tokenBefore);
    QCOMPARE(m_account.Session.PasswordE, passwordBefore);
}

void tst_LoginDialog::renewalOutcomes_data()
{
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("result");
    QTest::newRow("new token") << false << u"NOWY-TOKEN"_s << QStringList{u"Pomyślnie odnowiono sesję serwisu."_s}
                               << int(QDialog::Accepted);
    QTest::newRow("refused: empty text") << false << QString() << QStringList{u"Odnowienie sesji nie powiodło się."_s}
                                         << int(QDialog::Rejected);
    QTest::newRow("call failed") << true << QString()
                                 << QStringList{ServiceUnavailableMessage(), u"Odnowienie sesji nie powiodło się."_s}
                                 << int(QDialog::Rejected);
}

void tst_LoginDialog::renewalOutcomes()
{
    QFETCH(bool, fails);
    QFETCH(QString, token);
    QFETCH(QStringList, messages);
    QFETCH(int, result);
    ManualClock clock(DateToValue(QDate(2020, 6, 15)) + 0.5);
    beginSession(u"jan"_s, u"Haslo123"_s);
    const QString tokenBefore = m_account.Session.SessionToken;
    clock.advanceSeconds(20 * 60);
    QVERIFY(m_account.Session.IsExpired());
    m_service->renew = token;
    if (fails)
        m_service->failure = ServiceFailure{ServiceFailure::Kind::Timeout, u"no answer"_s};

    const auto dialog = openDialog(lmRelogin);
    TypeInto(dialog->Ed_Login(), u"jan"_s);
    TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
    ClickButton(dialog->BtnOK());

    QCOMPARE(m_messages->texts(), messages);
    QCOMPARE(dialog->result(), result);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(m_service->calls.first().arguments.at(2), tokenBefore);
    if (result == QDialog::Accepted) {
        QCOMPARE(m_account.Session.SessionToken, token);
        QCOMPARE(m_account.Session.State, ssActive);
        QCOMPARE(m_account.Session.LastActivity, Now());
    } else {
        QCOMPARE(m_account.Session.SessionToken, tokenBefore);
        QCOMPARE(m_account.Session.State, ssExpired);
    }
}

void tst_LoginDialog::changeRefusedShowsTheServiceReason_data()
{
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("refused") << false << QStringList{u"Zmiana hasła nie powiodła się.\nHasło było już używane."_s};
    QTest::newRow("call failed") << true
                                 << QStringList{ServiceUnavailableMessage(), u"Zmiana hasła nie powiodła się.\n"_s};
}

void tst_LoginDialog::changeRefusedShowsTheServiceReason()
{
    QFETCH(bool, fails);
    QFETCH(QStringList, messages);
    beginSession(u"jan"_s, u"Haslo123"_s);
    const QString passwordBefore = m_account.Session.PasswordE;
    m_service->changePassword = TRemChangePasswordData{7, u"Hasło było już używane."_s, u"T"_s};
    if (fails)
        m_service->failure = ServiceFailure{ServiceFailure::Kind::Http, u"HTTP 502"_s};

    const auto dialog = openDialog(lmChangePassword);
    TypeInto(dialog->Ed_Login(), u"jan"_s);
    TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
    TypeInto(dialog->Ed_HasloNew_1(), u"Nowe4567"_s);
    TypeInto(dialog->Ed_HasloNew_2(), u"Nowe4567"_s);
    ClickButton(dialog->BtnOK());

    QCOMPARE(m_messages->texts(), messages);
    QCOMPARE(m_messages->messages.last().icon, MessageIcon::Error);
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(m_account.Session.PasswordE, passwordBefore);
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(m_service->calls.first().arguments.at(3), EncodeCredential(u"Nowe4567"_s));
}

void tst_LoginDialog::weakNewPasswordKeepsTheFocus_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::newRow("new, weak") << int(LoginField::HasloNew_1) << u"abc12"_s << true;
    QTest::newRow("repeat, no digit") << int(LoginField::HasloNew_2) << u"Abcdefgh"_s << true;
    QTest::newRow("new, strong") << int(LoginField::HasloNew_1) << u"Abcdef12"_s << false;
    QTest::newRow("repeat, blank") << int(LoginField::HasloNew_2) << u"   "_s << false;
}

void tst_LoginDialog::weakNewPasswordKeepsTheFocus()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    const auto dialog = openDialog(lmChangePassword);
    TEditNew *edit = dialog->Field(LoginField(field));
    TypeInto(edit, typed);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(m_messages->texts(), refused ? QStringList{WeakPasswordMessage()} : QStringList{});
    QCOMPARE(dialog->focusWidget() == edit, refused);
    QVERIFY(m_service->calls.isEmpty());
}

void tst_LoginDialog::logout_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("serviceInterface");
    QTest::addColumn<bool>("callFails");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("stateAfter");
    QTest::newRow("active") << int(ssActive) << true << false << QStringList{} << 1 << int(ssLoggedOut);
    QTest::newRow("service unreachable") << int(ssActive) << true << true << QStringList{ServiceUnavailableMessage()}
                                         << 1 << int(ssLoggedOut);
    QTest::newRow("no interface") << int(ssActive) << false << false << QStringList{ServiceUnavailableMessage()} << 0
                                  << int(ssActive);
    QTest::newRow("logged out already")
        << int(ssLoggedOut) << true << false
        << QStringList{u"Użytkownik wylogował się już z serwisu.\nWykonanie funkcji nie jest możliwe."_s} << 0
        << int(ssLoggedOut);
}

void tst_LoginDialog::logout()
{
    QFETCH(int, state);
    QFETCH(bool, serviceInterface);
    QFETCH(bool, callFails);
    QFETCH(QStringList, messages);
    QFETCH(int, calls);
    QFETCH(int, stateAfter);
    beginSession(u"jan"_s, u"Haslo123"_s);
    m_account.Session.State = TSessionState(state);
    if (!serviceInterface)
        m_access.SetService(nullptr);
    if (callFails)
        m_service->failure = ServiceFailure{ServiceFailure::Kind::Transport, u"Connection refused"_s};

    m_access.Logout();

    QCOMPARE(m_messages->texts(), messages);
    QCOMPARE(m_service->calls.size(), calls);
    if (calls > 0) {
        QCOMPARE(m_service->calls.first().operation, u"ZOKA_WS_Logout"_s);
        QCOMPARE(m_service->calls.first().arguments,
                 (QStringList{m_account.Session.LoginE, m_account.Session.PasswordE, m_account.Session.SessionToken}));
    }
    QCOMPARE(int(m_account.Session.State), stateAfter);
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    tst_LoginDialog test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_logindialog.moc"

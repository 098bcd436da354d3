#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/AppTestSupport.h"
#include "testing/FakeService.h"
#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceSession.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_YearForShowChange.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "forms/TApplication.h"
#include "protocol/CredentialEncoding.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Counts the keys that reach a control.
class KeyCounter : public QObject
{
public:
    QList<int> keys;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys << static_cast<QKeyEvent *>(event)->key();
        return false;
    }
};

const QString kNotPossible = u"\nWykonanie funkcji nie jest możliwe."_s;

} // namespace

// The main window and the year dialog against a fake service.
class tst_MainWindow : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void init();
    void cleanup();

    void captionAndHeaderBeforeLogin();
    void header_data();
    void header();
    void otherSettlementsNotice_data();
    void otherSettlementsNotice();
    void sessionChecksBeforeQuestions_data();
    void sessionChecksBeforeQuestions();
    void yesAnswers_data();
    void yesAnswers();
    void exitAsksAndEnds_data();
    void exitAsksAndEnds();
    void loginLaterMayBeCancelled();
    void yearChangeWithOneYearOnly();
    void navigationKeysGoToThePanel();
    void navigationKeysMoveAndOpen();
    void openingSequence_data();
    void openingSequence();

    void yearList_data();
    void yearList();
    void choosingAYear_data();
    void choosingAYear();
    void escapeLeavesTheYear();

private:
    std::unique_ptr<TForm_ZOKA_WSClient_Main> openMainWindow(bool runOpening = false);
    void beginSession(const TRemSessionBeginData &answer);
    QLabel *label(const QString &name) const;
    TWSpeedButton *button(const QString &name) const;

    std::unique_ptr<FakeService> m_service;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<TForm_ZOKA_WSClient_Main> m_window;
    int m_terminateRequests = 0;
};

void tst_MainWindow::init()
{
    m_service = std::make_unique<FakeService>();
    m_service->sessionBegin = SampleSessionBegin();
    m_messages = std::make_unique<MessageRecorder>();
    m_terminateRequests = 0;
    SetTerminateHandler([this] { ++m_terminateRequests; });
    m_account = Account{};
}

void tst_MainWindow::cleanup()
{
    m_window.reset();
    SetTerminateHandler({});
    m_access.SetService(nullptr);
    m_messages.reset();
    m_service.reset();
    m_account = Account{};
}

// The main window over the fake service. Unless `runOpening`, it is shown and
// its opening sequence is over: the version was refused (the request to end
// is ignored here), so that no login dialog waits for the test.
std::unique_ptr<TForm_ZOKA_WSClient_Main> tst_MainWindow::openMainWindow(bool runOpening)
{
    auto window = std::make_unique<TForm_ZOKA_WSClient_Main>(m_account);
    window->Service().SetService(m_service.get());
    if (runOpening)
        return window;
    const ServiceResult<TRemInitialCheck> accepted = m_service->initialCheck;
    m_service->initialCheck = TRemInitialCheck{102, u"Wersja nieobsługiwana."_s};
    if (!ShowActive(window.get()) || !QTest::qWaitFor([this] { return !m_service->calls.isEmpty(); }, 5000))
        qWarning("the opening sequence did not run");
    m_service->initialCheck = accepted;
    m_service->calls.clear();
    m_messages->messages.clear();
    m_terminateRequests = 0;
    return window;
}

void tst_MainWindow::beginSession(const TRemSessionBeginData &answer)
{
    m_account.Session.BeginSession(answer, EncodeCredential(u"jan"_s), EncodeCredential(u"Haslo123"_s));
    m_account.Data.LoadFrom(answer);
}

QLabel *tst_MainWindow::label(const QString &name) const
{
    return m_window->findChild<QLabel *>(name);
}

TWSpeedButton *tst_MainWindow::button(const QString &name) const
{
    return m_window->findChild<TWSpeedButton *>(name);
}

void tst_MainWindow::captionAndHeaderBeforeLogin()
{
    m_window = std::make_unique<TForm_ZOKA_WSClient_Main>(m_account);
    QCOMPARE(m_window->windowTitle(), u"Internetowy serwis użytkownika Domvel-E-Vadiv"_s);
    QCOMPARE(label(u"Lab_Firma"_s)->text(), u"Lab_Firma"_s);
    for (const QString &name : {u"Lab_FirmaName"_s, u"Lab_ZasobUlicaNr"_s, u"Lab_User2Name"_s})
        QCOMPARE(label(name)->text(), u"xx"_s);
    const QStringList captions{u"&Odnowienie sesji"_s, u"Zmiana &hasła"_s, u"&Wylogowanie"_s,
                               u"&Logowanie"_s,        u"&Koniec"_s,       u"Zmiana &roku"_s};
    QStringList shown;
    for (const QString &name : {u"SButton_Relogin"_s, u"SButton_ChangePasword"_s, u"SButton_Logout"_s,
                                u"SButton_Login"_s, u"SButton_Exit"_s, u"SButton_Year"_s})
        shown << button(name)->text();
    QCOMPARE(shown, captions);
    const auto *functions = m_window->findChild<QWidget *>(u"PanelFunkcji"_s);
    QCOMPARE(functions->palette().color(functions->backgroundRole()), QColor(0x00, 0xFF, 0xFF));
    for (const QString &name : {u"WBitBtn1"_s, u"WBitBtn2"_s, u"WBitBtn3"_s}) {
        const auto *hidden = m_window->findChild<TWBitBtn *>(name);
        QVERIFY(hidden && !hidden->isVisibleTo(m_window.get()) && !hidden->isEnabled());
    }

    // The window constructor starts a new session record.
    beginSession(SampleSessionBegin());
    TForm_ZOKA_WSClient_Main second(m_account);
    QCOMPARE(m_account.Session.State, ssNone);
}

void tst_MainWindow::header_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("secondSurname");
    QTest::addColumn<QString>("firma");
    QTest::addColumn<QString>("user2");
    QTest::newRow("cooperative") << 1 << int(ssActive) << u"Śliwiński"_s << u"Spółdzielnia Mieszkaniowa:"_s
                                 << u"Śliwiński Adam"_s;
    QTest::newRow("community") << 2 << int(ssActive) << QString() << u"Wspólnota Mieszkaniowa:"_s << u" "_s;
    QTest::newRow("kind 0, expired") << 0 << int(ssExpired) << QString() << u"Wspólnota Mieszkaniowa:"_s << u" "_s;
    QTest::newRow("logged out: unchanged") << 1 << int(ssLoggedOut) << QString() << u"Lab_Firma"_s << u"xx"_s;
}

void tst_MainWindow::header()
{
    QFETCH(int, kind);
    QFETCH(int, state);
    QFETCH(QString, secondSurname);
    QFETCH(QString, firma);
    QFETCH(QString, user2);
    m_window = openMainWindow();
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.F_Kind = kind;
    answer.F_Nazwa = u"Spółdzielnia Mieszkaniowa „Zorza” imienia bardzo długiej nazwy, która się nie mieści"_s;
    if (!secondSurname.isEmpty()) {
        answer.U_Nazwisko2 = secondSurname;
        answer.U_Imie2 = u"Adam"_s;
    }
    beginSession(answer);
    m_account.Session.State = TSessionState(state);
    m_window->ShowHeader();

    QCOMPARE(label(u"Lab_Firma"_s)->text(), firma);
    QCOMPARE(label(u"Lab_User2Name"_s)->text(), user2);
    if (state == ssLoggedOut)
        return;
    QCOMPARE(label(u"Lab_FirmaName"_s)->text(), answer.F_Nazwa);
    QCOMPARE(label(u"Lab_FirmaAdress"_s)->text(), u"ul. Żeromskiego 5, Łódź"_s);
    QCOMPARE(label(u"Lab_ZasobUlicaNr"_s)->text(), u"ul. Piotrkowska 12 m. 3"_s);
    QCOMPARE(label(u"Lab_ZasobMiejsc"_s)->text(), u"Łódź"_s);
    QCOMPARE(label(u"Lab_User1Name"_s)->text(), u"Śliwińska Jadwiga"_s);
    // A name on two lines pushes the address down.
    const QRect name = label(u"Lab_FirmaName"_s)->geometry();
    QCOMPARE(label(u"Lab_FirmaAdress"_s)->y(), name.bottom() + 1 + 4);
    QVERIFY2(name.height() > 25, "the long name wraps");
}

void tst_MainWindow::otherSettlementsNotice_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("obligations");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("colour");
    const QString warning = u"Istnieją jeszcze inne niezapłacone zobowiązania nieuwzględnione w serwisie.\n"
                            u"Szczegóły - prosimy o kontakt ze Spółdzielnią."_s;
    const QString note = u"Informacje na temat innych rozrachunków, niż pokazywane w serwisie,\n"
                         u"można uzyskać w biurze Spółdzielni."_s;
    QTest::newRow("1, obligations") << 1 << true << true << warning << QColor(Qt::red);
    QTest::newRow("1, none") << 1 << false << false << warning << QColor(Qt::red);
    QTest::newRow("2") << 2 << false << true << note << QColor(Qt::black);
    QTest::newRow("3") << 3 << true << true << note << QColor(Qt::black);
    QTest::newRow("0: hidden, label unchanged") << 0 << true << false << u"bez zmian"_s << QColor(Qt::blue);
}

void tst_MainWindow::otherSettlementsNotice()
{
    QFETCH(int, kind);
    QFETCH(bool, obligations);
    QFETCH(bool, visible);
    QFETCH(QString, text);
    QFETCH(QColor, colour);
    m_window = openMainWindow();
    QLabel *info = m_window->LabSaldaInfo();
    info->setText(u"bez zmian"_s);
    QPalette palette = info->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    info->setPalette(palette);
    m_account.Data.SaldaOtherKnt_InfoHandlingKind = kind;
    m_account.Data.SaldaWNOtherKnt_ShowF = obligations;

    m_window->ShowOtherSettlementsInfo();

    QCOMPARE(m_window->PanelSaldaInfo()->isVisible(), visible);
    QCOMPARE(info->text(), text);
    QCOMPARE(info->palette().color(info->foregroundRole()), colour);
}

void tst_MainWindow::sessionChecksBeforeQuestions_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("message");
    const QString question = u"Czy rzeczywiście chcesz "_s;
    QTest::newRow("renew when expired: asked")
        << u"SButton_Relogin"_s << int(ssExpired) << question + u"odnowić sesję serwisu?"_s;
    QTest::newRow("renew after logout") << u"SButton_Relogin"_s << int(ssLoggedOut)
                                        << u"Użytkownik wylogował się już z serwisu."_s + kNotPossible;
    QTest::newRow("change password when active: asked")
        << u"SButton_ChangePasword"_s << int(ssActive) << question + u"zmienić hasło dostępu do serwisu?"_s;
    QTest::newRow("change password when expired")
        << u"SButton_ChangePasword"_s << int(ssExpired) << u"Upłynął czas aktywności sesji serwisu."_s + kNotPossible;
    QTest::newRow("logout when active: asked")
        << u"SButton_Logout"_s << int(ssActive) << question + u"wylogować się z serwisu?"_s;
    QTest::newRow("logout before login") << u"SButton_Logout"_s << int(ssNone)
                                         << u"Użytkownik nie zalogował się do tej pory do serwisu."_s + kNotPossible;
    QTest::newRow("year after logout") << u"SButton_Year"_s << int(ssLoggedOut)
                                       << u"Użytkownik wylogował się już z serwisu."_s + kNotPossible;
}

void tst_MainWindow::sessionChecksBeforeQuestions()
{
    QFETCH(QString, buttonName);
    QFETCH(int, state);
    QFETCH(QString, message);
    m_window = openMainWindow();
    beginSession(SampleSessionBegin());
    m_account.Session.State = TSessionState(state);

    ClickButton(button(buttonName)); // a question is answered No

    QCOMPARE(m_messages->texts(), QStringList{message});
    const bool question = message.startsWith(u"Czy"_s);
    QCOMPARE(m_messages->messages.first().caption, question ? u"Potwierdzenie"_s : u"Domvel-E-Vadiv"_s);
    QCOMPARE(m_messages->messages.first().defaultButton, question ? MessageButton::No : MessageButton::Ok);
    QVERIFY(m_service->calls.isEmpty());
    QCOMPARE(int(m_account.Session.State), state);
}

void tst_MainWindow::yesAnswers_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("mode"); // the login dialog's mode; 0: none opens
    QTest::addColumn<QString>("operation"); // the service call the answer leads to
    QTest::addColumn<int>("stateAfter");
    QTest::addColumn<bool>("headerShown");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("renewal") << u"SButton_Relogin"_s << int(ssExpired) << int(lmRelogin) << u"ZOKA_WS_SessionRenew"_s
                             << int(ssActive) << true << u"Pomyślnie odnowiono sesję serwisu."_s;
    QTest::newRow("password change") << u"SButton_ChangePasword"_s << int(ssActive) << int(lmChangePassword)
                                     << u"ZOKA_WS_ChangePassword"_s << int(ssActive) << true
                                     << u"Hasło zostało zmienione."_s;
    QTest::newRow("logout") << u"SButton_Logout"_s << int(ssActive) << 0 << u"ZOKA_WS_Logout"_s << int(ssLoggedOut)
                            << false << QString();
}

// Yes to a question does what it asks, and the header is shown again from the
// session (a logged-out session shows none).
void tst_MainWindow::yesAnswers()
{
    QFETCH(QString, buttonName);
    QFETCH(int, state);
    QFETCH(int, mode);
    QFETCH(QString, operation);
    QFETCH(int, stateAfter);
    QFETCH(bool, headerShown);
    QFETCH(QString, outcome);
    m_window = openMainWindow();
    beginSession(SampleSessionBegin());
    m_account.Session.State = TSessionState(state);
    m_service->renew = u"TOKEN-ODNOWIONY"_s;
    TRemChangePasswordData changed;
    changed.SessionToken = u"TOKEN-PO-ZMIANIE"_s;
    m_service->changePassword = changed;
    for (const QString &name : {u"Lab_User1Name"_s, u"Lab_Firma"_s})
        label(name)->setText(u"stare"_s);

    int dialogMode = 0;
    QObject driver; // ends the polling with the test
    WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
        dialogMode = dialog->Mode();
        TypeInto(dialog->Ed_Login(), u"jan"_s);
        TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
        if (dialog->Mode() == lmChangePassword) {
            TypeInto(dialog->Ed_HasloNew_1(), u"NoweHaslo45"_s);
            TypeInto(dialog->Ed_HasloNew_2(), u"NoweHaslo45"_s);
        }
        ClickButton(dialog->BtnOK());
    });
    m_messages->answers << MessageButton::Yes;
    ClickButton(button(buttonName));

    QCOMPARE(dialogMode, mode);
    QCOMPARE(m_messages->texts().value(0).left(17), u"Czy rzeczywiście "_s);
    QCOMPARE(m_messages->texts().value(1), outcome);
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(m_service->calls.first().operation, operation);
    QCOMPARE(int(m_account.Session.State), stateAfter);
    QCOMPARE(label(u"Lab_User1Name"_s)->text(), headerShown ? u"Śliwińska Jadwiga"_s : u"stare"_s);
    QCOMPARE(label(u"Lab_Firma"_s)->text(), headerShown ? u"Spółdzielnia Mieszkaniowa:"_s : u"stare"_s);
}

void tst_MainWindow::exitAsksAndEnds_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("terminateRequests");
    QTest::newRow("yes") << int(MessageButton::Yes) << 1;
    QTest::newRow("no") << int(MessageButton::No) << 0;
}

void tst_MainWindow::exitAsksAndEnds()
{
    QFETCH(int, answer);
    QFETCH(int, terminateRequests);
    m_window = openMainWindow();
    beginSession(SampleSessionBegin());
    m_messages->answers << MessageButton(answer);
    ClickButton(button(u"SButton_Exit"_s));
    QCOMPARE(m_messages->texts(), QStringList{u"Czy rzeczywiście chcesz zakończyć program?"_s});
    QCOMPARE(m_terminateRequests, terminateRequests);
    // Ending the program does not log out.
    QVERIFY(m_service->calls.isEmpty());
    QCOMPARE(m_account.Session.State, ssActive);
}

void tst_MainWindow::loginLaterMayBeCancelled()
{
    m_window = openMainWindow();
    beginSession(SampleSessionBegin());
    bool dialogSeen = false;
    QObject driver; // ends the polling with the test
    WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
        dialogSeen = dialog->Mode() == lmLogin;
        ClickButton(dialog->BtnCancel());
    });
    ClickButton(button(u"SButton_Login"_s));
    QVERIFY(dialogSeen);
    QCOMPARE(m_terminateRequests, 0);
    QCOMPARE(m_account.Session.State, ssActive);
    QVERIFY(m_messages->texts().isEmpty());
}

void tst_MainWindow::yearChangeWithOneYearOnly()
{
    m_window = openMainWindow();
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.SysCZPeriodStart = DateText(2020, 1, 1);
    beginSession(answer);
    QCOMPARE(m_account.Data.FirstYearToShow(), m_account.Data.SysCZYearEwidActive);
    ClickButton(button(u"SButton_Year"_s));
    QCOMPARE(m_messages->texts(), QStringList{u"Dostępne są dane jedynie roku bieżącego.\nNie można zmienić roku."_s});
    QVERIFY(m_service->calls.isEmpty());
}

void tst_MainWindow::navigationKeysGoToThePanel()
{
    m_window = openMainWindow();
    QWidget *focused = m_window->focusWidget();
    QVERIFY(focused);
    QVERIFY(m_window->Frame_InfoRozrZasob1()->isAncestorOf(focused));
    KeyCounter counter;
    focused->installEventFilter(&counter);
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(focused, Qt::Key(key));
    QCOMPARE(counter.keys, QList<int>{});
    for (int key : {Qt::Key_Right, Qt::Key_PageDown, Qt::Key_A})
        QTest::keyClick(focused, Qt::Key(key));
    QCOMPARE(counter.keys, (QList<int>{Qt::Key_Right, Qt::Key_PageDown, Qt::Key_A}));
}

// The keys move the highlighted month of the panel's current table, and Enter
// opens the highlighted month.
void tst_MainWindow::navigationKeysMoveAndOpen()
{
    m_window = openMainWindow();
    beginSession(SampleSessionBegin());
    m_window->ShowYearData();
    TRemKartotekaMcaGetData noDocuments;
    noDocuments.KsgNumber = 0;
    m_service->ledger = noDocuments;
    TFrame_InfoRozrZasob *panel = m_window->Frame_InfoRozrZasob1();
    const int monthCount = m_account.Data.MonthsToShow();
    QVERIFY(monthCount > 3);
    QCOMPARE(panel->CurrentTable()->SelectedMonth(), 0);
    QWidget *focused = m_window->focusWidget();
    QVERIFY(focused);

    const QList<std::pair<Qt::Key, int>> moves{
        {Qt::Key_Home, 1},         {Qt::Key_Down, 2},          {Qt::Key_Down, 3},           {Qt::Key_Up, 2},
        {Qt::Key_End, monthCount}, {Qt::Key_Down, monthCount}, {Qt::Key_Up, monthCount - 1}};
    for (const auto &[key, month] : moves) {
        QTest::keyClick(focused, key);
        QCOMPARE(panel->CurrentTable()->SelectedMonth(), month);
    }
    QVERIFY(m_service->calls.isEmpty());

    QTest::keyClick(focused, Qt::Key_Return);
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(m_service->calls.first().operation, u"ZOKA_WS_KartotekaMcaGet"_s);
    QCOMPARE(m_service->calls.first().arguments.last(), QString::number(monthCount - 1));
    QCOMPARE(m_messages->texts(), QStringList{u"Brak dokumentów w miesiącu."_s});
}

void tst_MainWindow::openingSequence_data()
{
    QTest::addColumn<int>("versionAnswer");
    QTest::addColumn<bool>("cancelLogin");
    QTest::addColumn<bool>("loginShown");
    QTest::addColumn<int>("terminateRequests");
    QTest::addColumn<QString>("firma");
    QTest::newRow("login") << 100 << false << true << 0 << u"Spółdzielnia Mieszkaniowa:"_s;
    QTest::newRow("login cancelled") << 100 << true << true << 1 << u"Lab_Firma"_s;
    QTest::newRow("version refused") << 102 << false << false << 1 << u"Lab_Firma"_s;
}

void tst_MainWindow::openingSequence()
{
    QFETCH(int, versionAnswer);
    QFETCH(bool, cancelLogin);
    QFETCH(bool, loginShown);
    QFETCH(int, terminateRequests);
    QFETCH(QString, firma);
    m_service->initialCheck = TRemInitialCheck{versionAnswer, u"Wersja nieobsługiwana."_s};
    m_window = openMainWindow(true);
    QVERIFY(m_window->FirstActivation());
    bool loginSeen = false;
    QObject driver; // ends the polling with the test
    WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
        loginSeen = true;
        if (cancelLogin) {
            ClickButton(dialog->BtnCancel());
            return;
        }
        TypeInto(dialog->Ed_Login(), u"jan"_s);
        TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
        ClickButton(dialog->BtnOK());
    });
    QVERIFY(ShowActive(m_window.get()));
    QVERIFY(!m_window->FirstActivation());
    // The sequence is over once the version was refused or the dialog has gone.
    QTRY_VERIFY_WITH_TIMEOUT(!m_service->calls.isEmpty() && !QApplication::activeModalWidget(), 10000);
    QTest::qWait(50);
    QCOMPARE(loginSeen, loginShown);
    QCOMPARE(m_terminateRequests, terminateRequests);
    QCOMPARE(label(u"Lab_Firma"_s)->text(), firma);
    QCOMPARE(m_service->calls.first().operation, u"ZOKA_WS_InitialCheck"_s);
    QCOMPARE(m_service->calls.first().arguments, QStringList{u"1.3.0.0"_s});
    if (versionAnswer != 100)
        QCOMPARE(m_messages->texts(), QStringList{u"Wersja nieobsługiwana."_s});

    // A later activation changes nothing.
    const qsizetype calls = m_service->calls.size();
    QWidget other;
    QVERIFY(ShowActive(&other));
    QVERIFY(ShowActive(m_window.get()));
    QTest::qWait(50);
    QCOMPARE(m_service->calls.size(), calls);
}

void tst_MainWindow::yearList_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("selected");
    QTest::newRow("2010-2020") << 2010 << 2020 << 2020
                               << QStringList{u" rok 2017"_s, u" rok 2018"_s, u" rok 2019"_s, u" rok 2020"_s} << 3;
    QTest::newRow("2016-2020") << 2016 << 2020 << 2018
                               << QStringList{u" rok 2017"_s, u" rok 2018"_s, u" rok 2019"_s, u" rok 2020"_s} << 1;
    QTest::newRow("2018-2020") << 2018 << 2020 << 2020 << QStringList{u" rok 2018"_s, u" rok 2019"_s, u" rok 2020"_s}
                               << 2;
    QTest::newRow("shown year not offered")
        << 2010 << 2020 << 2012 << QStringList{u" rok 2017"_s, u" rok 2018"_s, u" rok 2019"_s, u" rok 2020"_s} << 0;
}

void tst_MainWindow::yearList()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, shown);
    QFETCH(QStringList, items);
    QFETCH(int, selected);
    int shownYear = shown;
    TForm_YearForShowChange dialog(nullptr, m_access, shownYear, last, first, {});
    QVERIFY(ShowActive(&dialog));
    QStringList listed;
    for (int i = 0; i < dialog.ListBoxSelect()->count(); ++i)
        listed << dialog.ListBoxSelect()->item(i)->text();
    QCOMPARE(listed, items);
    QCOMPARE(dialog.ListBoxSelect()->currentRow(), selected);
    QCOMPARE(dialog.focusWidget(), dialog.ListBoxSelect());
    QCOMPARE(dialog.windowTitle(), u"Zmiana roku rozrachunków"_s);
    QVERIFY(!dialog.EnterAsTab());

    // Each item is drawn at the top left of its 40-pixel row.
    QListWidget *list = dialog.ListBoxSelect();
    const int unselected = selected == 0 ? 1 : 0;
    const QRect itemRect = list->visualItemRect(list->item(unselected));
    QCOMPARE(itemRect.height(), 40);
    const QImage image = list->viewport()->grab().toImage();
    const QRect inside = itemRect.adjusted(1, 1, -1, -1);
    const QColor background = image.pixelColor(inside.bottomRight());
    QRect text;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (image.pixelColor(x, y) != background)
                text |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY2(!text.isEmpty(), "the item's text is drawn");
    QVERIFY2(text.top() - itemRect.top() < 8,
             qPrintable(u"text starts %1 px below the row's top"_s.arg(text.top() - itemRect.top())));
    QVERIFY2(text.bottom() < itemRect.center().y(), "the text stays in the upper half of the row");
    // The style's item margin and the first glyph's bearing differ by font
    // (12 px with Liberation Sans); centred text would start past 100 px.
    QVERIFY2(text.left() - itemRect.left() < 24,
             qPrintable(u"the text starts %1 px from the row's left"_s.arg(text.left() - itemRect.left())));
}

void tst_MainWindow::choosingAYear_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("retCode");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("yearAfter");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("double click") << u"double click"_s << 0 << int(ssActive) << true << 2018 << QStringList{};
    QTest::newRow("OK") << u"ok"_s << 0 << int(ssActive) << true << 2018 << QStringList{};
    QTest::newRow("Enter") << u"enter"_s << 0 << int(ssActive) << true << 2018 << QStringList{};
    QTest::newRow("refused by the service") << u"ok"_s << 5 << int(ssActive) << false << 2020 << QStringList{};
    QTest::newRow("session expired meanwhile")
        << u"enter"_s << 0 << int(ssExpired) << false << 2020
        << QStringList{u"Upłynął czas aktywności sesji serwisu."_s + kNotPossible};
}

void tst_MainWindow::choosingAYear()
{
    QFETCH(QString, how);
    QFETCH(int, retCode);
    QFETCH(int, state);
    QFETCH(bool, changed);
    QFETCH(int, yearAfter);
    QFETCH(QStringList, messages);
    m_access.SetService(m_service.get());
    beginSession(SampleSessionBegin());
    m_account.Data.ShowYear = 2020;
    TRemYearRozrachGetData answer;
    answer.RetCode = retCode;
    answer.ObrotyCZMain_WN = QList<double>(13, 7.0);
    m_service->year = answer;
    int refreshes = 0;

    QObject driver; // ends the polling with the test
    WhenModal<TForm_YearForShowChange>(&driver, [&](TForm_YearForShowChange *dialog) {
        m_account.Session.State = TSessionState(state);
        QListWidget *list = dialog->ListBoxSelect();
        list->setCurrentRow(1); // 2018 of 2017-2020
        if (how == u"double click"_s) {
            const QRect row = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        } else if (how == u"ok"_s) {
            ClickButton(dialog->ButtonOK());
        } else {
            QTest::keyClick(list, Qt::Key_Return);
        }
    });
    const bool result = ShowYearDialog(nullptr, m_access, 2010, 2020, m_account.Data.ShowYear, [&] { ++refreshes; });

    QCOMPARE(result, changed);
    QCOMPARE(m_account.Data.ShowYear, yearAfter);
    QCOMPARE(refreshes, changed ? 1 : 0);
    QCOMPARE(m_messages->texts(), messages);
    if (state == ssActive) {
        QCOMPARE(m_service->calls.size(), 1);
        QCOMPARE(m_service->calls.first().arguments.last(), u"2018"_s);
    }
    if (changed)
        QCOMPARE(m_account.Data.ObrotyCZMain_WN.value(0), 7.0);
}

void tst_MainWindow::escapeLeavesTheYear()
{
    m_access.SetService(m_service.get());
    beginSession(SampleSessionBegin());
    m_account.Data.ShowYear = 2019;
    QObject driver; // ends the polling with the test
    WhenModal<TForm_YearForShowChange>(&driver, [&](TForm_YearForShowChange *dialog) {
        dialog->ListBoxSelect()->setCurrentRow(0);
        QTest::keyClick(dialog->ListBoxSelect(), Qt::Key_Escape);
    });
    QVERIFY(!ShowYearDialog(nullptr, m_access, 2010, 2020, m_account.Data.ShowYear, {}));
    QCOMPARE(m_account.Data.ShowYear, 2019);
    QVERIFY(m_service->calls.isEmpty());
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    tst_MainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"

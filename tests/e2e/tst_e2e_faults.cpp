#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/AppTestSupport.h"
#include "testing/HostileResponder.h"
#include "testing/ViewsTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_YearForShowChange.h"
#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "protocol/ServiceAddress.h"
#include "protocol/THTTPRIO.h"
#include "protocol/TrustedCertificates.h"
#include "server/DemoData.h"
#include "server/DemoService.h"
#include "server/ServerDatabase.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTcpServer>

#include <algorithm>
#include <chrono>
#include <memory>

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;
using Fault = HostileResponder::Fault;

namespace {

const QString kTls = QStringLiteral(DOMVEL_FIXTURES "/tls/");
const QString kLogin = u"kowalski"_s;
const QString kPassword = u"Kowalski1"_s;
const QString kLoginRefused = u"Błąd logowania."_s;

// The call timeout of the case without an answer, short for a quick run; the
// other calls get a generous one, so that a busy machine makes no good answer late.
constexpr auto kTimeout = 1500ms;
constexpr auto kGenerousTimeout = 20s;
// The answer-size cap of the runs: every good answer of the demo account fits.
constexpr qint64 kAnswerCap = 256 * 1024;
constexpr int kTickMs = 20;

// Where the user is when the fault strikes.
enum class Stage { Login, Year, Month, Details };

// The faults the connection itself makes, besides those of the responder.
enum class Connection { Good, Refused, UnknownHost, Untrusted, WrongHost };

struct Case
{
    const char *name;
    Connection connection;
    Fault fault;
    bool indexError; // the answer is read, its window then finds an array too short
    const char *detail; // part of the box's technical detail; "" for the toolkit's own texts
};

const Case kCases[] = {
    {"connection refused", Connection::Refused, Fault::None, false, ""},
    {"unknown host", Connection::UnknownHost, Fault::None, false, ""},
    {"certificate not trusted", Connection::Untrusted, Fault::None, false, ""},
    {"host name mismatch", Connection::WrongHost, Fault::None, false, ""},
    {"no answer (timeout)", Connection::Good, Fault::Silent, false, "nie odpowiedział w ciągu 1500 ms"},
    {"closed halfway", Connection::Good, Fault::CloseHalfway, false, ""},
    {"HTTP 404", Connection::Good, Fault::Http404, false, "HTTP 404"},
    {"HTTP 500", Connection::Good, Fault::Http500, false, "HTTP 500"},
    {"SOAP fault", Connection::Good, Fault::SoapFault, false, "Baza danych jest niedostępna."},
    {"malformed XML", Connection::Good, Fault::Malformed, false, "Nieczytelny komunikat SOAP"},
    {"entity bomb", Connection::Good, Fault::EntityBomb, false, "deklaracja DTD jest niedozwolona"},
    {"text for a number or date", Connection::Good, Fault::WrongType, false, "niepoprawna liczba"},
    {"array shorter than its type", Connection::Good, Fault::ArrayShorterThanType, false, "liczba elementów tablicy"},
    {"count beyond the arrays", Connection::Good, Fault::CountBeyondArrays, true, ""},
    {"count 2147483647", Connection::Good, Fault::HugeCount, true, ""},
    {"over the cap, announced", Connection::Good, Fault::OverCapAnnounced, false, "przekracza 262144 bajtów"},
    {"over the cap, streamed", Connection::Good, Fault::OverCapStreamed, false, "przekracza 262144 bajtów"},
};

const char *StageName(Stage stage)
{
    switch (stage) {
    case Stage::Login: return "login";
    case Stage::Year: return "another year";
    case Stage::Month: return "month ledger";
    case Stage::Details: return "document details";
    }
    return "";
}

QString StageOperation(Stage stage)
{
    switch (stage) {
    case Stage::Login: return u"ZOKA_WS_CzSessionBegin"_s;
    case Stage::Year: return u"ZOKA_WS_YearRozrachGet"_s;
    case Stage::Month: return u"ZOKA_WS_KartotekaMcaGet"_s;
    case Stage::Details: return u"ZOKA_WS_DokDetailsGet"_s;
    }
    return {};
}

// A message as "icon|text": the icon tells an information box from an error.
QString Line(const MessageRequest &m)
{
    return QString::number(int(m.icon)) + u'|' + m.text;
}

QString InformationLine(const QString &text)
{
    return QString::number(int(MessageIcon::Information)) + u'|' + text;
}

QString ErrorLine(const QString &text)
{
    return QString::number(int(MessageIcon::Error)) + u'|' + text;
}

// Types the credentials into the login dialog and presses OK, as the user does.
void SignInWith(TForm_LoginWEB *dialog)
{
    TypeInto(dialog->Ed_Login(), kLogin);
    TypeInto(dialog->Ed_Haslo(), kPassword);
    ClickButton(dialog->BtnOK());
}

// True while the hourglass is shown (a modal window shows the arrow over it).
bool WaitCursorShown()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

// A port on 127.0.0.1 where nothing listens.
quint16 ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// What the user met at the faulty action.
struct Outcome
{
    bool reached = false; // the action was carried out
    QStringList messages; // "icon|text", in order
    QString detail; // the first message's technical detail
    int ticks = 0; // timer ticks while the action ran
    qint64 waitedMs = 0; // how long the action took
    bool stateKept = false; // the stage's state as before the action
    int windowsOpened = 0; // windows the action opened (should be none)
    bool cursorLeft = false; // a wait cursor outlived the action
};

} // namespace

Q_DECLARE_METATYPE(Stage)

// The fault matrix end to end: the client's real windows, offscreen, against
// a responder that answers well from the demo service in this process except
// for the one operation under test, which misbehaves in one way per case. Each
// case checks the exact message, that no window opens half filled (or the
// previous state stays), that timers keep firing while a call waits, and that
// the same action then succeeds against a good answer.
class tst_E2eFaults : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void faults_data();
    void faults();
    void damagedSessionAnswerEndsTheProgram_data();
    void damagedSessionAnswerEndsTheProgram();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arm(Connection connection, Fault fault, const QString &operation);
    void disarm();
    // Shows the main window and signs in through its opening sequence; the
    // login dialog is driven by `drive` (by default: the good credentials).
    bool openSignedIn(const std::function<void(TForm_LoginWEB *)> &drive = SignInWith);
    QStringList panelTexts() const;
    QStringList messageLines() const;
    QString firstDetail() const;

    Outcome failLogin(const Case &c, bool &goodOpened);
    Outcome failYear(const Case &c, int &goodYear);
    Outcome failMonth(const Case &c, bool &goodOpened);
    Outcome failDetails(const Case &c, bool &goodOpened);

    std::unique_ptr<ServerDatabase> m_database;
    std::unique_ptr<DemoService> m_service;
    std::unique_ptr<HostileResponder> m_responder;
    std::unique_ptr<TestHttpsServer> m_wrongHost;
    QString m_goodUrl;

    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<TForm_ZOKA_WSClient_Main> m_window;
    QTimer m_ticker;
    int m_ticks = 0;
    int m_paints = 0;
    // Ticks an idle event loop delivered in one kTimeout on this machine, now.
    int m_idleTicks = 0;
    bool m_terminateRequested = false;
    bool m_untrusted = false;
};

void tst_E2eFaults::initTestCase()
{
    // One fixed moment for the demo data and the session clock alike.
    const double now = DateTimeToValue(QDateTime(QDate(2026, 6, 15), QTime(12, 0)));
    SetClock([now] { return now; });
    m_database = std::make_unique<ServerDatabase>(u":memory:"_s);
    DemoData::Populate(*m_database, now);
    m_service = std::make_unique<DemoService>(*m_database, DemoService::Settings{});
    m_responder = std::make_unique<HostileResponder>(*m_service, kTls + u"server.pem"_s, kTls + u"server.key"_s);
    QVERIFY(m_responder->start());
    m_responder->setAnswerCap(kAnswerCap);
    m_goodUrl = m_responder->serviceUrl();
    m_wrongHost = std::make_unique<TestHttpsServer>(kTls + u"wronghost.pem"_s, kTls + u"wronghost.key"_s);
    QVERIFY(m_wrongHost->start());

    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, [this] {
        ++m_ticks;
        if (m_window)
            m_window->update();
    });
    // What "keeps painting" means here: a share of what the loop delivers
    // when nothing waits, measured in the same run.
    m_ticks = 0;
    m_ticker.start();
    QTest::qWait(int(kTimeout.count()));
    m_ticker.stop();
    m_idleTicks = m_ticks;
    qInfo("an idle event loop: %d ticks of %d ms in %lld ms", m_idleTicks, kTickMs, qint64(kTimeout.count()));
}

void tst_E2eFaults::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_account = Account{};
    TrustedCertificates::Clear();
    QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(kTls + u"ca.pem"_s));
    m_terminateRequested = false;
    m_untrusted = false;
    SetTerminateHandler([this] { m_terminateRequested = true; });
    m_responder->disarm();

    SetServerAddressArgument(u"127.0.0.1:%1"_s.arg(QUrl(m_goodUrl).port()));
    m_window = std::make_unique<TForm_ZOKA_WSClient_Main>(m_account);
    m_window->HTTPRIO1()->SetTimeout(kGenerousTimeout);
    m_window->HTTPRIO1()->SetMaxAnswerSize(kAnswerCap);
    m_window->installEventFilter(this);
    m_ticks = 0;
    m_paints = 0;
    m_ticker.start();
}

void tst_E2eFaults::cleanup()
{
    m_ticker.stop();
    m_responder->disarm();
    m_window.reset();
    SetTerminateHandler({});
    SetServerAddressArgument({});
    m_messages.reset();
}

void tst_E2eFaults::cleanupTestCase()
{
    TrustedCertificates::Clear();
    m_responder.reset();
    m_service.reset();
    m_database.reset();
    SetClock({});
}

bool tst_E2eFaults::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window.get() && event->type() == QEvent::Paint)
        ++m_paints;
    return QObject::eventFilter(watched, event);
}

void tst_E2eFaults::arm(Connection connection, Fault fault, const QString &operation)
{
    THTTPRIO *rio = m_window->HTTPRIO1();
    const QString path = QUrl(m_goodUrl).path();
    switch (connection) {
    case Connection::Good: break;
    case Connection::Refused: rio->SetURL(u"https://127.0.0.1:%1%2"_s.arg(ClosedPort()).arg(path)); break;
    // .invalid never resolves (RFC 2606).
    case Connection::UnknownHost: rio->SetURL(u"https://serwer-spoldzielni.invalid%1"_s.arg(path)); break;
    case Connection::Untrusted:
        TrustedCertificates::Clear();
        m_untrusted = true;
        break;
    case Connection::WrongHost: rio->SetURL(m_wrongHost->serviceUrl()); break;
    }
    if (fault == Fault::Silent)
        rio->SetTimeout(kTimeout);
    m_responder->arm(fault, operation);
}

void tst_E2eFaults::disarm()
{
    m_responder->disarm();
    m_window->HTTPRIO1()->SetURL(m_goodUrl);
    m_window->HTTPRIO1()->SetTimeout(kGenerousTimeout);
    if (m_untrusted)
        TrustedCertificates::AddFromFile(kTls + u"ca.pem"_s);
    m_untrusted = false;
}

bool tst_E2eFaults::openSignedIn(const std::function<void(TForm_LoginWEB *)> &drive)
{
    DriveModals(
        [&] {
            m_window->show();
            (void)QTest::qWaitFor(
                [&] {
                    return !m_window->FirstActivation() && !QApplication::activeModalWidget()
                        && (m_account.Session.State == ssActive || m_terminateRequested);
                },
                15000);
        },
        [&](QWidget *modal, int) {
            if (auto *dialog = qobject_cast<TForm_LoginWEB *>(modal))
                drive(dialog);
        });
    return m_account.Session.State == ssActive && m_window->Frame_InfoRozrZasob1()->Year() != 0;
}

QStringList tst_E2eFaults::panelTexts() const
{
    QStringList texts;
    const TFrame_InfoRozrZasob *panel = m_window->Frame_InfoRozrZasob1();
    // Every category's table, also those not viewed yet.
    for (int i = 0; i < TFrame_InfoRozrZasob::kTabCount; ++i)
        panel->Table(i);
    for (const QLabel *label : panel->findChildren<QLabel *>())
        texts << label->objectName() + u'=' + label->text();
    return texts;
}

QString tst_E2eFaults::firstDetail() const
{
    return m_messages->messages.isEmpty() ? QString() : m_messages->messages.first().detail;
}

QStringList tst_E2eFaults::messageLines() const
{
    QStringList lines;
    for (const MessageRequest &m : m_messages->messages)
        lines << Line(m);
    return lines;
}

Outcome tst_E2eFaults::failLogin(const Case &c, bool &goodOpened)
{
    Outcome out;
    const bool signedIn = openSignedIn([&](TForm_LoginWEB *dialog) {
        out.reached = true;
        m_messages->messages.clear();
        arm(c.connection, c.fault, StageOperation(Stage::Login));
        const int ticks = m_ticks;
        QElapsedTimer waited;
        waited.start();
        SignInWith(dialog);
        out.ticks = m_ticks - ticks;
        out.waitedMs = waited.elapsed();
        out.cursorLeft = WaitCursorShown();
        out.messages = messageLines();
        out.detail = firstDetail();
        // Another try is offered; nothing of an account is shown.
        out.stateKept = dialog->isVisible() && m_account.Session.State == ssNone && m_account.Data.ShowYear == 0
            && m_window->Frame_InfoRozrZasob1()->Year() == 0;
        disarm();
        m_messages->messages.clear();
        SignInWith(dialog);
    });
    goodOpened = signedIn && messageLines() == QStringList{InformationLine(u"Pomyślnie zalogowano się do serwisu."_s)};
    return out;
}

Outcome tst_E2eFaults::failYear(const Case &c, int &goodYear)
{
    Outcome out;
    QWidget *button = m_window->findChild<QWidget *>(u"SButton_Year"_s);
    TFrame_InfoRozrZasob *panel = m_window->Frame_InfoRozrZasob1();
    const int yearBefore = m_account.Data.ShowYear;
    const QStringList before = panelTexts();
    // Chooses the first year offered (one before the shown year).
    auto chooseFirstYear = [&](bool faulty) {
        return DriveModals([&] { ClickButton(button); },
                           [&](QWidget *modal, int) {
                               auto *dialog = qobject_cast<TForm_YearForShowChange *>(modal);
                               if (!dialog)
                                   return;
                               dialog->ListBoxSelect()->setCurrentRow(0);
                               goodYear = dialog->YearFrom();
                               if (faulty) {
                                   out.reached = true;
                                   arm(c.connection, c.fault, StageOperation(Stage::Year));
                               }
                               const int ticks = m_ticks;
                               QElapsedTimer waited;
                               waited.start();
                               ClickButton(dialog->ButtonOK());
                               if (faulty) {
                                   out.ticks = m_ticks - ticks;
                                   out.waitedMs = waited.elapsed();
                                   out.cursorLeft = WaitCursorShown();
                               }
                           });
    };
    const QStringList seen = chooseFirstYear(true);
    out.messages = messageLines();
    out.detail = firstDetail();
    out.windowsOpened = int(seen.size()) - 1;
    out.stateKept = seen == QStringList{u"Form_YearForShowChange"_s} && m_account.Data.ShowYear == yearBefore
        && panel->Year() == yearBefore && panelTexts() == before;
    disarm();
    m_messages->messages.clear();
    chooseFirstYear(false);
    goodYear = m_messages->messages.isEmpty() && m_account.Data.ShowYear == goodYear && panel->Year() == goodYear
        ? goodYear
        : -goodYear;
    return out;
}

Outcome tst_E2eFaults::failMonth(const Case &c, bool &goodOpened)
{
    Outcome out;
    TFrame_InfoRozrTabela *table = m_window->Frame_InfoRozrZasob1()->CurrentTable();
    QWidget *january = table->findChild<QLabel *>(u"Lab_Opis_01"_s);
    const QStringList before = panelTexts();
    int rows = -1;
    auto doubleClickJanuary = [&](bool faulty) {
        return DriveModals(
            [&] {
                if (faulty) {
                    out.reached = true;
                    arm(c.connection, c.fault, StageOperation(Stage::Month));
                }
                const int ticks = m_ticks;
                QElapsedTimer waited;
                waited.start();
                QTest::mouseClick(january, Qt::LeftButton);
                QTest::mouseDClick(january, Qt::LeftButton);
                if (faulty) {
                    out.ticks = m_ticks - ticks;
                    out.waitedMs = waited.elapsed();
                    out.cursorLeft = WaitCursorShown();
                }
            },
            [&](QWidget *modal, int) {
                if (auto *grid = modal->findChild<QTableWidget *>(u"SG_Dok"_s))
                    rows = grid->rowCount();
                modal->close();
            });
    };
    const QStringList seen = doubleClickJanuary(true);
    out.messages = messageLines();
    out.detail = firstDetail();
    out.windowsOpened = int(seen.size());
    out.stateKept = table->SelectedMonth() == 1 && panelTexts() == before;
    disarm();
    m_messages->messages.clear();
    const QStringList good = doubleClickJanuary(false);
    goodOpened = good == QStringList{u"Form_KartMca"_s} && m_messages->messages.isEmpty()
        && rows == m_account.KsgData.KsgNumber && rows > 0;
    return out;
}

Outcome tst_E2eFaults::failDetails(const Case &c, bool &goodOpened)
{
    Outcome out;
    TFrame_InfoRozrTabela *table = m_window->Frame_InfoRozrZasob1()->CurrentTable();
    QWidget *january = table->findChild<QLabel *>(u"Lab_Opis_01"_s);
    int detailsOpened = 0;
    int components = -1;
    bool cardKept = false;
    QStringList goodMessages{u"not reached"_s};
    const QStringList seen = DriveModals(
        [&] {
            QTest::mouseClick(january, Qt::LeftButton);
            QTest::mouseDClick(january, Qt::LeftButton);
        },
        [&](QWidget *modal, int depth) {
            if (depth > 0) {
                ++detailsOpened;
                if (auto *grid = modal->findChild<QTableWidget *>(u"SG_Skl"_s))
                    components = grid->rowCount();
                QTest::keyClick(modal, Qt::Key_Escape);
                return;
            }
            auto *grid = modal->findChild<QTableWidget *>(u"SG_Dok"_s);
            int charge = -1;
            for (int r = 0; grid && r < grid->rowCount() && charge < 0; ++r) {
                if (grid->item(r, 3) && grid->item(r, 3)->text() == u"naliczenie opłaty")
                    charge = r;
            }
            if (charge < 0) {
                modal->close();
                return;
            }
            grid->setCurrentCell(charge, 0);
            const QString cardTitle = modal->findChild<QLabel *>(u"Lab_OpisOkres"_s)->text();
            const int cardRows = grid->rowCount();
            out.reached = true;
            m_messages->messages.clear();
            arm(c.connection, c.fault, StageOperation(Stage::Details));
            const int ticks = m_ticks;
            QElapsedTimer waited;
            waited.start();
            QTest::keyClick(grid, Qt::Key_Return);
            out.ticks = m_ticks - ticks;
            out.waitedMs = waited.elapsed();
            out.cursorLeft = WaitCursorShown();
            out.messages = messageLines();
            out.detail = firstDetail();
            out.windowsOpened = detailsOpened;
            // The card stays as it was, on the same charge.
            cardKept = modal->isVisible() && grid->rowCount() == cardRows && grid->currentRow() == charge
                && modal->findChild<QLabel *>(u"Lab_OpisOkres"_s)->text() == cardTitle;
            disarm();
            m_messages->messages.clear();
            QTest::keyClick(grid, Qt::Key_Return);
            goodMessages = messageLines();
            QTest::keyClick(grid, Qt::Key_Escape);
        });
    out.stateKept = cardKept;
    goodOpened = seen == (QStringList{u"Form_KartMca"_s, u"Form_NalCzynszDtl"_s}) && detailsOpened == 1
        && goodMessages.isEmpty() && components == m_account.DokData.SklNumber && components > 0;
    return out;
}

void tst_E2eFaults::faults_data()
{
    QTest::addColumn<Stage>("stage");
    QTest::addColumn<int>("caseIndex");
    for (const Stage stage : {Stage::Login, Stage::Year, Stage::Month, Stage::Details}) {
        for (int i = 0; i < int(std::size(kCases)); ++i) {
            // Only the month ledger and the document details carry entry counts.
            const bool hasCount = stage == Stage::Month || stage == Stage::Details;
            if (kCases[i].indexError && !hasCount)
                continue;
            QTest::addRow("%s: %s", StageName(stage), kCases[i].name) << stage << i;
        }
    }
}

void tst_E2eFaults::faults()
{
    QFETCH(Stage, stage);
    QFETCH(int, caseIndex);
    const Case &c = kCases[caseIndex];
    if (stage != Stage::Login) {
        QVERIFY2(openSignedIn(), qPrintable(messageLines().join(u" / ")));
        m_messages->messages.clear();
    }
    const int servedBefore = m_responder->faultsServed();

    Outcome out;
    int goodYear = 0;
    bool goodOpened = false;
    switch (stage) {
    case Stage::Login: out = failLogin(c, goodOpened); break;
    case Stage::Year: out = failYear(c, goodYear); break;
    case Stage::Month: out = failMonth(c, goodOpened); break;
    case Stage::Details: out = failDetails(c, goodOpened); break;
    }
    QVERIFY2(out.reached, "the stage was reached");
    if (c.fault != Fault::None)
        QVERIFY2(m_responder->faultsServed() > servedBefore, "the responder served the fault");

    QStringList expected;
    if (c.indexError) {
        const qint32 length = m_responder->deliveredLength();
        expected << ErrorLine(IndexError(length, length).message());
    } else {
        expected << InformationLine(ServiceUnavailableMessage());
        if (stage == Stage::Login)
            expected << ErrorLine(kLoginRefused);
    }
    QCOMPARE(out.messages, expected);
    // The box's detail names the reason (the index error has none).
    if (!c.indexError)
        QVERIFY2(!out.detail.isEmpty() && out.detail.contains(QString::fromUtf8(c.detail)), qPrintable(out.detail));
    QCOMPARE(out.windowsOpened, 0);
    QVERIFY2(!out.cursorLeft, "no wait cursor is left behind");
    QVERIFY2(out.stateKept, "the state before the action is kept");
    QVERIFY(!m_terminateRequested);
    if (c.fault == Fault::Silent) {
        // The call waited for its timeout without freezing the windows: a
        // blocked loop would deliver one tick at most; a live one a good part
        // of what it delivered idle, less on a busy machine or in a sanitized
        // build.
        const int expectedTicks = std::max(3, m_idleTicks / 6);
        QVERIFY2(out.ticks >= expectedTicks,
                 qPrintable(u"%1 ticks while waiting, expected at least %2"_s.arg(out.ticks).arg(expectedTicks)));
        QVERIFY2(m_paints >= 2, "the main window repainted");
        // It ended by its own timeout, not by the generous one of the other calls.
        const qint64 generousMs = std::chrono::milliseconds(kGenerousTimeout).count();
        QVERIFY2(out.waitedMs >= kTimeout.count() - 100 && out.waitedMs < generousMs / 2,
                 qPrintable(u"the call ended after %1 ms"_s.arg(out.waitedMs)));
    }

    // Then the same action against a good answer succeeds.
    switch (stage) {
    case Stage::Login: QVERIFY2(goodOpened, "the second try signs in and shows the year"); break;
    case Stage::Year: QVERIFY2(goodYear > 0, "the year is loaded on the next try"); break;
    case Stage::Month: QVERIFY2(goodOpened, "the month card opens on the next try"); break;
    case Stage::Details: QVERIFY2(goodOpened, "the charge detail opens on the next try"); break;
    }
    QVERIFY2(!QGuiApplication::overrideCursor(), "every cursor scope has ended");
}

// A session-begin answer that reads well but cannot be used: the login shows
// why and ends the program, with nothing of the account shown.
void tst_E2eFaults::damagedSessionAnswerEndsTheProgram_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("date text that is no number")
        << u"SysCZPeriodEwidActive"_s << u"15 czerwca 2026"_s
        << u"Serwis przesłał niepoprawną datę w polu SysCZPeriodEwidActive: „15 czerwca 2026” nie jest liczbą."_s;
    QTest::newRow("token that does not decode")
        << u"SessionToken"_s << u"ABC"_s << u"Wykryto próbę włamania do systemu."_s;
}

void tst_E2eFaults::damagedSessionAnswerEndsTheProgram()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    bool dialogClosed = false;
    openSignedIn([&](TForm_LoginWEB *dialog) {
        m_messages->messages.clear();
        m_responder->armText(StageOperation(Stage::Login), field, text);
        SignInWith(dialog);
        dialogClosed = !dialog->isVisible();
    });
    QCOMPARE(m_responder->faultsServed() > 0, true);
    QCOMPARE(messageLines(), QStringList{ErrorLine(message)});
    QVERIFY2(dialogClosed, "the login dialog closed");
    QVERIFY2(m_terminateRequested, "the program is asked to end");
    QCOMPARE(m_account.Data.ShowYear, 0);
    QCOMPARE(m_window->Frame_InfoRozrZasob1()->Year(), 0);
}

DOMVEL_VIEWS_TEST_MAIN(tst_E2eFaults)
#include "tst_e2e_faults.moc"

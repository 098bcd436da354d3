#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/FakeService.h"
#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "common/Errors.h"
#include "common/VersionInfo.h"
#include "protocol/CredentialEncoding.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"
#include "service/ServiceCall.h"

#include <QGuiApplication>
#include <QTest>

#include <memory>

namespace {

constexpr double kLoginTime = 43983.5;
const QString kUnavailable = QStringLiteral("Serwis, niestety, nie jest dostępny.\n"
                                            "Proszę sprawdzić połączenie z internetem\n"
                                            " i spróbować później.");
const QString kNotPossible = QStringLiteral("\nWykonanie funkcji nie jest możliwe.");

enum class Query { Year, Ledger, Details };

bool runQuery(AccountService &m_access, Query query)
{
    switch (query) {
    case Query::Year: return m_access.QueryYearSettlements(2018);
    case Query::Ledger: return m_access.QueryMonthLedger(2, 2020, 5);
    case Query::Details: return m_access.QueryDocumentDetails(5001, 2, 2020);
    }
    return false;
}

// A fingerprint of the store the query fills, to see whether it changed.
QString storeState(const Account &m_account, Query query)
{
    switch (query) {
    case Query::Year:
        return QStringLiteral("%1/%2").arg(m_account.Data.ShowYear).arg(m_account.Data.ObrotyCZMain_WN.value(0));
    case Query::Ledger:
        return QStringLiteral("%1/%2").arg(m_account.KsgData.Month).arg(m_account.KsgData.KsgValue.value(0));
    case Query::Details:
        return QStringLiteral("%1/%2").arg(m_account.DokData.TrescOper).arg(m_account.DokData.Cena.value(0));
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Query)

class tst_SessionQueries : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void init();
    void cleanup();

    void querySucceeds_data() { queries(); }
    void querySucceeds();
    void queryRefusedByRetCode_data() { queries(); }
    void queryRefusedByRetCode();
    void queryTransportFailure_data() { queries(); }
    void queryTransportFailure();
    void queryThrowingCall();
    void sessionNotActive_data();
    void sessionNotActive();
    void noServiceInterface();
    void storeErrorShownWithItsMessage();
    void clientVersion_data();
    void clientVersion();

private:
    // The three data queries, with what each sends and what its store holds
    // before and after a successful answer.
    static void queries();

    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<FakeService> m_service;
    std::unique_ptr<MessageRecorder> m_sink;
    int m_terminateRequests = 0;
    int m_updateNotices = 0;
};

void tst_SessionQueries::init()
{
    m_account = Account{};
    m_clock = std::make_unique<ManualClock>(kLoginTime);
    m_account.Session.BeginSession(SampleSessionBegin(), EncodeCredential(QStringLiteral("jan.nowak")),
                                   EncodeCredential(QStringLiteral("Tajne123")));
    m_account.Data.LoadFrom(SampleSessionBegin());

    TRemKartotekaMcaGetData previousLedger;
    previousLedger.Month = 3;
    previousLedger.KsgValue = {33.0};
    m_account.KsgData.LoadFrom(previousLedger);
    TRemDokDetailsGetData previousDocument;
    previousDocument.TrescOper = QStringLiteral("Poprzedni");
    previousDocument.Cena = {1.5};
    m_account.DokData.LoadFrom(previousDocument);

    m_service = std::make_unique<FakeService>();
    TRemYearRozrachGetData year;
    year.ObrotyCZMain_WN = {1800.0};
    m_service->year = year;
    TRemKartotekaMcaGetData ledger;
    ledger.Month = 5;
    ledger.KsgValue = {55.0};
    m_service->ledger = ledger;
    TRemDokDetailsGetData details;
    details.TrescOper = QStringLiteral("Nowy");
    details.Cena = {9.5};
    m_service->details = details;
    m_access.SetService(m_service.get());

    m_terminateRequests = 0;
    m_updateNotices = 0;
    SetTerminateHandler([this] { ++m_terminateRequests; });
    SetUpdateNoticeHandler([this] { ++m_updateNotices; });
    m_sink = std::make_unique<MessageRecorder>();
}

void tst_SessionQueries::cleanup()
{
    m_sink.reset();
    m_access.SetService(nullptr);
    SetTerminateHandler({});
    SetUpdateNoticeHandler({});
    m_service.reset();
    m_clock.reset();
    m_account = Account{};
}

void tst_SessionQueries::queries()
{
    QTest::addColumn<Query>("query");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("arguments"); // after the credentials and the token
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("year settlements") << Query::Year << "ZOKA_WS_YearRozrachGet" << QStringList{"2018"} << "2020/100"
                                      << "2018/1800";
    QTest::newRow("month ledger") << Query::Ledger << "ZOKA_WS_KartotekaMcaGet" << QStringList{"2", "2020", "5"}
                                  << "3/33"
                                  << "5/55";
    QTest::newRow("document details") << Query::Details << "ZOKA_WS_DokDetailsGet" << QStringList{"5001", "2", "2020"}
                                      << "Poprzedni/1.5"
                                      << "Nowy/9.5";
}

void tst_SessionQueries::querySucceeds()
{
    QFETCH(Query, query);
    QFETCH(QString, operation);
    QFETCH(QStringList, arguments);
    QFETCH(QString, after);

    QVERIFY(runQuery(m_access, query));
    QCOMPARE(m_sink->texts(), QStringList());
    QCOMPARE(storeState(m_account, query), after);
    QCOMPARE(m_service->calls.size(), 1);
    const FakeService::Call &call = m_service->calls.first();
    QCOMPARE(call.operation, operation);
    const TU_WEBServiceSession &s = m_account.Session;
    QCOMPARE(call.arguments, QStringList({s.LoginE, s.PasswordE, s.SessionToken}) + arguments);
    QCOMPARE(call.cursor, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_SessionQueries::queryRefusedByRetCode()
{
    QFETCH(Query, query);
    QFETCH(QString, before);
    m_service->year.value().RetCode = 5;
    m_service->ledger.value().RetCode = 5;
    m_service->details.value().RetCode = 5;

    QVERIFY(!runQuery(m_access, query));
    QCOMPARE(m_service->calls.size(), 1);
    QCOMPARE(m_sink->texts(), QStringList());
    QCOMPARE(storeState(m_account, query), before);
}

void tst_SessionQueries::queryTransportFailure()
{
    QFETCH(Query, query);
    QFETCH(QString, before);
    m_service->failure = ServiceFailure{ServiceFailure::Kind::Tls, QStringLiteral("The certificate has expired")};

    QVERIFY(!runQuery(m_access, query));
    QCOMPARE(m_sink->texts(), QStringList{kUnavailable});
    const MessageRequest &box = m_sink->messages.first();
    QCOMPARE(box.icon, MessageIcon::Information);
    QCOMPARE(box.caption, ApplicationTitle());
    QCOMPARE(box.detail, QStringLiteral("The certificate has expired"));
    QCOMPARE(storeState(m_account, query), before);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_SessionQueries::queryThrowingCall()
{
    m_service->thrown = [] { throw AppError(QStringLiteral("Nieczytelna odpowiedź")); };
    QVERIFY(!m_access.QueryYearSettlements(2018));
    QCOMPARE(m_sink->texts(), QStringList{kUnavailable});
    QCOMPARE(m_sink->messages.first().detail, QStringLiteral("Nieczytelna odpowiedź"));
    QCOMPARE(storeState(m_account, Query::Year), QStringLiteral("2020/100"));
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_SessionQueries::sessionNotActive_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<QString>("message");
    QTest::newRow("16 minutes after login")
        << 0 << QStringLiteral("Upłynął czas aktywności sesji serwisu.\nWykonanie funkcji nie jest możliwe.");
    QTest::newRow("never logged in") << 1
                                     << QStringLiteral("Użytkownik nie zalogował się do tej pory do serwisu.")
            + kNotPossible;
    QTest::newRow("logged out") << 2 << QStringLiteral("Użytkownik wylogował się już z serwisu.") + kNotPossible;
}

void tst_SessionQueries::sessionNotActive()
{
    QFETCH(int, situation);
    QFETCH(QString, message);
    switch (situation) {
    case 0: m_clock->advanceSeconds(16 * 60); break;
    case 1: m_account.Session.Clear(); break;
    case 2: m_account.Session.LoggedOut(); break;
    }
    for (Query query : {Query::Year, Query::Ledger, Query::Details}) {
        m_sink->messages.clear();
        QVERIFY(!runQuery(m_access, query));
        QCOMPARE(m_sink->texts(), QStringList{message});
    }
    QCOMPARE(m_service->calls.size(), 0);
    if (situation == 0)
        QCOMPARE(m_account.Session.State, ssExpired);
}

void tst_SessionQueries::noServiceInterface()
{
    m_access.SetService(nullptr);
    QVERIFY(!m_access.QueryMonthLedger(0, 2020, 1));
    QCOMPARE(m_sink->texts(), QStringList{kUnavailable});
}

void tst_SessionQueries::storeErrorShownWithItsMessage()
{
    const bool ok = RunDataQuery<TRemYearRozrachGetData>(
        *m_service, m_account.Session,
        [](IZOKA_E_BOK &service, const QString &l, const QString &p, const QString &t) {
            return service.ZOKA_WS_YearRozrachGet(l, p, t, 2018);
        },
        [](const TRemYearRozrachGetData &) { throw IndexError(13, 4); });
    QVERIFY(!ok);
    QCOMPARE(m_sink->texts(), QStringList{IndexError(13, 4).message()});
    QCOMPARE(m_sink->messages.first().icon, MessageIcon::Error);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void tst_SessionQueries::clientVersion_data()
{
    QTest::addColumn<int>("retCode");
    QTest::addColumn<bool>("failure");
    QTest::addColumn<bool>("proxy");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("notices");

    QTest::newRow("accepted") << 100 << false << true << true << QString() << 0;
    QTest::newRow("update required") << 101 << false << true << false << QString() << 1;
    QTest::newRow("refused") << 7 << false << true << false << QStringLiteral("Wersja programu jest zablokowana.") << 0;
    QTest::newRow("zero is no acceptance") << 0 << false << true << false << QString() << 0;
    QTest::newRow("unreachable") << 100 << true << true << false << kUnavailable << 0;
    QTest::newRow("no interface") << 100 << false << false << false << kUnavailable << 0;
}

void tst_SessionQueries::clientVersion()
{
    QFETCH(int, retCode);
    QFETCH(bool, failure);
    QFETCH(bool, proxy);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    QFETCH(int, notices);

    m_account.Session.Clear(); // the check needs no session
    m_service->initialCheck = TRemInitialCheck{retCode, message};
    if (failure)
        m_service->failure = ServiceFailure{ServiceFailure::Kind::Transport, {}};
    if (!proxy)
        m_access.SetService(nullptr);

    QCOMPARE(m_access.CheckClientVersion(), accepted);
    QCOMPARE(m_terminateRequests, accepted ? 0 : 1);
    QCOMPARE(m_updateNotices, notices);
    QCOMPARE(m_sink->texts(), message.isEmpty() && (accepted || notices) ? QStringList() : QStringList{message});
    if (!message.isEmpty() && message != kUnavailable)
        QCOMPARE(m_sink->messages.first().icon, MessageIcon::Error);
    if (proxy) {
        QCOMPARE(m_service->calls.size(), 1);
        QCOMPARE(m_service->calls.first().arguments, QStringList{ProgramProductVersion()});
        QCOMPARE(m_service->calls.first().cursor, std::optional<Qt::CursorShape>(Qt::WaitCursor));
    }
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(tst_SessionQueries)
#include "tst_session_queries.moc"

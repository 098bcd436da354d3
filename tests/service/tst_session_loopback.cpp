// The call wrappers over a real HTTPS connection to a canned responder on
// 127.0.0.1: what they send, what reaches the stores, and what the user sees
// when the server faults, answers nonsense or presents an untrusted certificate.

#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "common/VersionInfo.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/SoapCodec.h"
#include "protocol/THTTPRIO.h"
#include "protocol/TrustedCertificates.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"
#include "testing/TestHttpsServer.h"

#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr double kLoginTime = 43983.5;
const QString kTls = QStringLiteral(DOMVEL_FIXTURES "/tls/");
const QString kUnavailable = QStringLiteral("Serwis, niestety, nie jest dostępny.\n"
                                            "Proszę sprawdzić połączenie z internetem\n"
                                            " i spróbować później.");

TRemYearRozrachGetData yearRecord()
{
    TRemYearRozrachGetData r;
    r.SaldaOtherKnt_InfoHandlingKind = 3;
    for (int slot = 0; slot < 13; ++slot) {
        r.ObrotyCZMain_WN << 200.25 + slot;
        r.ObrotyCZMain_MA << 150.5 + slot;
        r.ObrotyOdpady_WN << 30.0;
        r.ObrotyOdpady_MA << 31.0;
    }
    return r;
}

TRemKartotekaMcaGetData ledgerRecord()
{
    TRemKartotekaMcaGetData r;
    r.KontoKsg = 2;
    r.Year = 2020;
    r.Month = 5;
    r.KsgNumber = 2;
    r.KsgStrona = {0, 1};
    r.KsgTypDok = {1, 3};
    r.KsgID_Dok_Master = {7001, 7002};
    r.KsgDataOperacji = {43952, 43960};
    r.KsgDataOperRozrach = {43966, 43960};
    r.KsgValue = {84.37, 84.37};
    r.KsgTrescOper = {QStringLiteral("Naliczenie za wodę – maj"), QStringLiteral("Wpłata «przelew»")};
    r.KsgNrDokMaster = {QStringLiteral("NW/05/2020"), QStringLiteral("WB/113")};
    return r;
}

TRemDokDetailsGetData detailsRecord()
{
    TRemDokDetailsGetData r;
    r.DataOperacji = 43952;
    r.TrescOper = QStringLiteral("Naliczenie za wodę – maj");
    r.DokKind = 1;
    r.KontoKsg = 2;
    r.SklNumber = 1;
    r.NazwaSkl = {QStringLiteral("Woda zimna")};
    r.IloscAsStr = {QStringLiteral("4,500")};
    r.Cena = {12.13};
    r.WspolczAsStr = {QStringLiteral("1,00")};
    r.UwzglCzescMca = {false};
    r.ValueNetto = {54.59};
    r.ValueVAT = {4.37};
    r.StVAT = {QStringLiteral("8%")};
    return r;
}

} // namespace

class tst_SessionLoopback : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void init();
    void cleanup();

    void dataQueriesOverHttps();
    void refusedQueryChangesNothing();
    void serverFaultShowsUnavailable();
    void unreadableAnswerShowsUnavailable();
    void untrustedCertificateShowsReason();
    void expiredSessionSendsNothing();
    void versionCheckOverHttps();

private:
    // Answers each request with the record for its operation; the ledger in
    // multi-reference form, the rest inline.
    TestHttpsServer::Reply answer(const TestHttpsServer::Request &httpRequest);

    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<TestHttpsServer> m_server;
    std::unique_ptr<THTTPRIO> m_rio;
    std::unique_ptr<MessageRecorder> m_messages;
    qint32 m_retCode = 0;
    int m_terminateRequests = 0;
};

TestHttpsServer::Reply tst_SessionLoopback::answer(const TestHttpsServer::Request &httpRequest)
{
    const ServiceResult<SoapRequest> request = SoapCodec::ReadRequest(httpRequest.body);
    if (!request.ok())
        return {500, SoapCodec::WriteFault(QStringLiteral("Client"), request.failure().detail)};
    const std::string_view operation = request.value().operation->name;
    auto reply = [](const ServiceResult<QByteArray> &body) { return TestHttpsServer::Reply{200, body.value()}; };
    if (operation == "ZOKA_WS_InitialCheck")
        return reply(SoapCodec::WriteAnswer(operation, TRemInitialCheck{m_retCode, QStringLiteral("Wersja")}));
    if (operation == "ZOKA_WS_YearRozrachGet") {
        TRemYearRozrachGetData r = yearRecord();
        r.RetCode = m_retCode;
        return reply(SoapCodec::WriteAnswer(operation, r));
    }
    if (operation == "ZOKA_WS_KartotekaMcaGet") {
        TRemKartotekaMcaGetData r = ledgerRecord();
        r.RetCode = m_retCode;
        return reply(SoapCodec::WriteAnswer(operation, r, SoapWriter::RecordForm::MultiReference));
    }
    if (operation == "ZOKA_WS_DokDetailsGet") {
        TRemDokDetailsGetData r = detailsRecord();
        r.RetCode = m_retCode;
        return reply(SoapCodec::WriteAnswer(operation, r));
    }
    return {500, SoapCodec::WriteFault(QStringLiteral("Client"), QStringLiteral("unexpected operation"))};
}

void tst_SessionLoopback::init()
{
    m_account = Account{};
    TrustedCertificates::Clear();
    QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(kTls + QStringLiteral("ca.pem")));
    m_server
        = std::make_unique<TestHttpsServer>(kTls + QStringLiteral("server.pem"), kTls + QStringLiteral("server.key"));
    QVERIFY(m_server->start());
    m_server->setHandler([this](const TestHttpsServer::Request &r) { return answer(r); });
    m_rio = std::make_unique<THTTPRIO>();
    m_rio->SetTimeout(10s);
    m_rio->SetURL(m_server->serviceUrl());
    m_access.SetService(m_rio->GetIZOKA_E_BOK());
    m_retCode = 0;

    m_clock = std::make_unique<ManualClock>(kLoginTime);
    m_account.Session.BeginSession(SampleSessionBegin(), EncodeCredential(QStringLiteral("anna.zielińska")),
                                   EncodeCredential(QStringLiteral("Wiosna2020")));
    m_account.Data.LoadFrom(SampleSessionBegin());
    m_terminateRequests = 0;
    SetTerminateHandler([this] { ++m_terminateRequests; });
    m_messages = std::make_unique<MessageRecorder>();
}

void tst_SessionLoopback::cleanup()
{
    m_messages.reset();
    SetTerminateHandler({});
    m_access.SetService(nullptr);
    m_rio.reset();
    m_server.reset();
    m_clock.reset();
    m_account = Account{};
    TrustedCertificates::Clear();
}

void tst_SessionLoopback::dataQueriesOverHttps()
{
    QVERIFY(m_access.QueryYearSettlements(2018));
    QVERIFY(m_access.QueryMonthLedger(2, 2020, 5));
    QVERIFY(m_access.QueryDocumentDetails(7001, 2, 2020));
    QCOMPARE(m_messages->texts(), QStringList());

    // What went out: the session's encoded credentials and token, unchanged.
    QCOMPARE(m_server->requests().size(), 3);
    const TU_WEBServiceSession &session = m_account.Session;
    for (const TestHttpsServer::Request &httpRequest : m_server->requests()) {
        const ServiceResult<SoapRequest> sent = SoapCodec::ReadRequest(httpRequest.body);
        QVERIFY2(sent.ok(), qPrintable(sent.failure().detail));
        QCOMPARE(sent.value().text("aLoginE"), session.LoginE);
        QCOMPARE(sent.value().text("aPasswordE"), session.PasswordE);
        QCOMPARE(sent.value().text("aSessionToken"), session.SessionToken);
    }
    const SoapRequest year = SoapCodec::ReadRequest(m_server->requests()[0].body).value();
    QCOMPARE(year.integer("aYearEwid"), 2018);
    const SoapRequest month = SoapCodec::ReadRequest(m_server->requests()[1].body).value();
    QCOMPARE(month.integer("aKontoKsg"), 2);
    QCOMPARE(month.integer("aMonth"), 5);
    const SoapRequest details = SoapCodec::ReadRequest(m_server->requests()[2].body).value();
    QCOMPARE(details.integer("aID_Dok_Master"), 7001);

    // What came back reached the stores.
    QCOMPARE(m_account.Data.ShowYear, 2018);
    QCOMPARE(m_account.Data.ObrotyCZMain_WN, yearRecord().ObrotyCZMain_WN);
    QCOMPARE(m_account.Data.SaldaOtherKnt_InfoHandlingKind, 3);
    QCOMPARE(m_account.KsgData.KsgNumber, 2);
    QCOMPARE(m_account.KsgData.Entry(1).TrescOper, QStringLiteral("Wpłata «przelew»"));
    QCOMPARE(m_account.KsgData.KsgValue, ledgerRecord().KsgValue);
    QCOMPARE(m_account.DokData.TrescOper, QStringLiteral("Naliczenie za wodę – maj"));
    QCOMPARE(m_account.DokData.Component(0).Cena, 12.13);
}

void tst_SessionLoopback::refusedQueryChangesNothing()
{
    m_retCode = 5;
    QVERIFY(!m_access.QueryYearSettlements(2018));
    QVERIFY(!m_access.QueryMonthLedger(2, 2020, 5));
    QCOMPARE(m_messages->texts(), QStringList());
    QCOMPARE(m_account.Data.ShowYear, 2020);
    QCOMPARE(m_account.KsgData.KsgNumber, 0);
}

void tst_SessionLoopback::serverFaultShowsUnavailable()
{
    m_server->setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{
            500, SoapCodec::WriteFault(QStringLiteral("Server"), QStringLiteral("Baza danych niedostępna"))};
    });
    QVERIFY(!m_access.QueryYearSettlements(2018));
    QCOMPARE(m_messages->texts(), QStringList{kUnavailable});
    QVERIFY2(m_messages->messages.first().detail.contains(QStringLiteral("Baza danych niedostępna")),
             qPrintable(m_messages->messages.first().detail));
    QCOMPARE(m_account.Data.ShowYear, 2020);
}

void tst_SessionLoopback::unreadableAnswerShowsUnavailable()
{
    m_server->setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{200, QByteArray("<html><body>Przerwa techniczna</body></html>")};
    });
    QVERIFY(!m_access.QueryMonthLedger(2, 2020, 5));
    QCOMPARE(m_messages->texts(), QStringList{kUnavailable});
    QCOMPARE(m_account.KsgData.KsgNumber, 0);
}

void tst_SessionLoopback::untrustedCertificateShowsReason()
{
    TrustedCertificates::Clear();
    QVERIFY(!m_access.QueryDocumentDetails(7001, 2, 2020));
    QCOMPARE(m_messages->texts(), QStringList{kUnavailable});
    QVERIFY2(!m_messages->messages.first().detail.isEmpty(), "the TLS reason belongs in the detail");
    QCOMPARE(m_account.DokData.SklNumber, 0);
}

void tst_SessionLoopback::expiredSessionSendsNothing()
{
    m_clock->advanceSeconds(16 * 60);
    QVERIFY(!m_access.QueryYearSettlements(2018));
    QCOMPARE(
        m_messages->texts(),
        QStringList{QStringLiteral("Upłynął czas aktywności sesji serwisu.\nWykonanie funkcji nie jest możliwe.")});
    QCOMPARE(m_server->requests().size(), 0);
    QCOMPARE(m_server->connections(), 0);
}

void tst_SessionLoopback::versionCheckOverHttps()
{
    m_retCode = 100;
    QVERIFY(m_access.CheckClientVersion());
    QCOMPARE(m_messages->texts(), QStringList());
    QCOMPARE(m_terminateRequests, 0);
    QCOMPARE(m_server->requests().size(), 1);
    const SoapRequest sent = SoapCodec::ReadRequest(m_server->requests().first().body).value();
    QCOMPARE(sent.text("aVersion"), ProgramProductVersion());
}

QTEST_MAIN(tst_SessionLoopback)
#include "tst_session_loopback.moc"

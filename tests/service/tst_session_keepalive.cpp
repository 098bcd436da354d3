// A signed-in session holds one kept-alive HTTPS connection: the version
// check, the sign-in and every data query after it pay one TLS handshake
// between them, against the demo server executable in both answer forms.

#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/MessageRecorder.h"
#include "testing/ServerProcess.h"
#include "testing/TestHttpsServer.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/SoapCodec.h"
#include "protocol/THTTPRIO.h"
#include "protocol/TrustedCertificates.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The test certificates: a CA and a server certificate it signed.
QString tlsFixture(const QString &name)
{
    return QStringLiteral(DOMVEL_FIXTURES "/tls/") + name;
}

QByteArray initialCheckAnswer()
{
    return SoapCodec::WriteAnswer("ZOKA_WS_InitialCheck", TRemInitialCheck{100, u"OK"_s}).value();
}

} // namespace

class tst_SessionKeepAlive : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void init();
    void cleanup();
    void wholeSessionOverOneConnection_data();
    void wholeSessionOverOneConnection();
    void closedConnectionCountsAsNewHandshake();
    void preconnectedConnectionServesTheFirstCall_data();
    void preconnectedConnectionServesTheFirstCall();

private:
    // The first month of the shown year with documents on the rent account,
    // loaded into the ledger store; 0 when there is none.
    int loadFirstMonthWithDocuments();
};

void tst_SessionKeepAlive::init()
{
    m_account = Account{};
}

void tst_SessionKeepAlive::cleanup()
{
    m_access.SetService(nullptr);
    SetTerminateHandler({});
    TrustedCertificates::Clear();
}

int tst_SessionKeepAlive::loadFirstMonthWithDocuments()
{
    for (int month = 1; month <= 12; ++month) {
        if (m_access.QueryMonthLedger(0, m_account.Data.ShowYear, month) && m_account.KsgData.KsgNumber > 0)
            return month;
    }
    return 0;
}

void tst_SessionKeepAlive::wholeSessionOverOneConnection_data()
{
    QTest::addColumn<QStringList>("serverArguments");
    QTest::newRow("inline records") << QStringList{};
    QTest::newRow("multi-reference records") << QStringList{u"--multiref"_s};
}

void tst_SessionKeepAlive::wholeSessionOverOneConnection()
{
    QFETCH(QStringList, serverArguments);
    QTemporaryDir data;
    ServerProcess server;
    QString error;
    QVERIFY2(data.isValid() && server.Start(data.path(), serverArguments, &error), qPrintable(error));
    QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(data.filePath(u"server-cert.pem"_s)));
    MessageRecorder messages;
    int terminateRequests = 0;
    SetTerminateHandler([&] { ++terminateRequests; });

    THTTPRIO rio;
    rio.SetURL(server.Url());
    IZOKA_E_BOK *service = rio.GetIZOKA_E_BOK();
    QVERIFY(service);
    m_access.SetService(service);

    QVERIFY2(m_access.CheckClientVersion(), qPrintable(messages.texts().join(u" | "_s)));
    // A refused sign-in is an answer like any other: the connection stays.
    QCOMPARE(
        service->ZOKA_WS_CzSessionBegin(EncodeCredential(u"kowalski"_s), EncodeCredential(u"zle"_s)).value().RetCode
            != 0,
        true);
    const QString loginE = EncodeCredential(u"kowalski"_s), passwordE = EncodeCredential(u"Kowalski1"_s);
    const ServiceResult<TRemSessionBeginData> begun = service->ZOKA_WS_CzSessionBegin(loginE, passwordE);
    QVERIFY2(begun.ok() && begun.value().RetCode == 0, "the demo tenant signs in");
    m_account.Session.BeginSession(begun.value(), loginE, passwordE);
    m_account.Data.LoadFrom(begun.value());

    QVERIFY(m_access.QueryYearSettlements(m_account.Data.ShowYear));
    const int month = loadFirstMonthWithDocuments();
    QVERIFY2(month > 0, "the demo tenant has a month with documents");
    const int charge = int(m_account.KsgData.KsgTypDok.indexOf(1));
    QVERIFY2(charge >= 0, "the month holds a charge");
    QVERIFY(m_access.QueryDocumentDetails(m_account.KsgData.KsgID_Dok_Master.at(charge), 0, m_account.Data.ShowYear));
    QVERIFY(m_account.DokData.SklNumber > 0);

    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(terminateRequests, 0);
    QCOMPARE(rio.TlsHandshakes(), 1);
}

// The handshake count follows the server's: a connection the server closed
// is opened again, with a handshake of its own.
void tst_SessionKeepAlive::closedConnectionCountsAsNewHandshake()
{
    QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(tlsFixture(u"ca.pem"_s)));
    TestHttpsServer server(tlsFixture(u"server.pem"_s), tlsFixture(u"server.key"_s));
    QVERIFY(server.start());
    const QByteArray answer = initialCheckAnswer();
    int served = 0;
    server.setHandler([&](const TestHttpsServer::Request &) {
        // The second answer ends its connection.
        const auto behaviour
            = ++served == 2 ? TestHttpsServer::Behaviour::CloseWithoutLength : TestHttpsServer::Behaviour::Answer;
        return TestHttpsServer::Reply{200, answer, behaviour};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    for (int call = 0; call < 4; ++call)
        QVERIFY(rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(u"1.3.0.0"_s).ok());
    QCOMPARE(server.handshakes(), 2);
    QCOMPARE(rio.TlsHandshakes(), server.handshakes());
}

void tst_SessionKeepAlive::preconnectedConnectionServesTheFirstCall_data()
{
    QTest::addColumn<bool>("trusted");
    QTest::newRow("trusted server") << true;
    QTest::newRow("untrusted server") << false;
}

// A connection opened ahead serves the first call without a handshake of its
// own, also when the call comes before it is ready; a server that cannot be
// trusted is reported by that call, as without.
void tst_SessionKeepAlive::preconnectedConnectionServesTheFirstCall()
{
    QFETCH(bool, trusted);
    if (trusted)
        QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(tlsFixture(u"ca.pem"_s)));
    TestHttpsServer server(tlsFixture(u"server.pem"_s), tlsFixture(u"server.key"_s));
    QVERIFY(server.start());
    int served = 0;
    server.setHandler([&](const TestHttpsServer::Request &) {
        ++served;
        return TestHttpsServer::Reply{200, initialCheckAnswer()};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    rio.Preconnect();
    // The call comes at once, while the connection may still be opening.

    const ServiceResult<TRemInitialCheck> checked = rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(u"1.3.0.0"_s);
    if (trusted) {
        QVERIFY(checked.ok());
        QCOMPARE(server.connections(), 1);
        QCOMPARE(server.handshakes(), 1);
        QCOMPARE(rio.TlsHandshakes(), 1);
        QCOMPARE(served, 1);
    } else {
        QVERIFY(!checked.ok());
        QCOMPARE(checked.failure().kind, ServiceFailure::Kind::Tls);
        QCOMPARE(served, 0);
    }
}

QTEST_GUILESS_MAIN(tst_SessionKeepAlive)
#include "tst_session_keepalive.moc"

#include "testing/ServiceTestRecords.h"
#include "testing/TestHttpsServer.h"

#include "common/Errors.h"
#include "protocol/SoapCodec.h"
#include "protocol/THTTPRIO.h"
#include "protocol/TrustedCertificates.h"
#include "protocol/ZOKA_E_BOK_Proxy.h"

#include <QScopeGuard>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

const QString kFixtures = QStringLiteral(DOMVEL_FIXTURES "/tls/");

QString kindName(ServiceFailure::Kind kind)
{
    static const char *const names[] = {"Transport", "Tls", "Timeout", "Http", "TooLarge", "Fault", "Read", "Request"};
    return QString::fromLatin1(names[int(kind)]);
}

void trustTestCa()
{
    QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(kFixtures + QStringLiteral("ca.pem")));
}

QByteArray initialCheckAnswer()
{
    return SoapCodec::WriteAnswer("ZOKA_WS_InitialCheck", ServiceTestRecords::initialCheck()).value();
}

// A demo service in miniature: reads each request with the server-side
// reader and answers from the test records, every other answer in
// multi-reference form.
TestHttpsServer::Reply serviceAnswer(const TestHttpsServer::Request &httpRequest)
{
    static int calls = 0;
    const auto form = ++calls % 2 ? SoapWriter::RecordForm::Inline : SoapWriter::RecordForm::MultiReference;
    const ServiceResult<SoapRequest> request = SoapCodec::ReadRequest(httpRequest.body);
    if (!request.ok())
        return {500, SoapCodec::WriteFault(QStringLiteral("Client"), request.failure().detail)};
    const std::string_view operation = request.value().operation->name;
    auto ok = [](const ServiceResult<QByteArray> &answer) { return TestHttpsServer::Reply{200, answer.value()}; };
    using namespace ServiceTestRecords;
    if (operation == "ZOKA_WS_Logout")
        return ok(SoapCodec::WriteBooleanAnswer(operation, true));
    if (operation == "ZOKA_WS_SessionRenew")
        return ok(SoapCodec::WriteTextAnswer(operation, request.value().text("aSessionToken") + QStringLiteral("+1")));
    if (operation == "ZOKA_WS_ChangePassword")
        return ok(SoapCodec::WriteAnswer(operation, changePassword(), form));
    if (operation == "ZOKA_WS_CzSessionBegin")
        return ok(SoapCodec::WriteAnswer(operation, sessionBegin(), form));
    if (operation == "ZOKA_WS_DokDetailsGet")
        return ok(SoapCodec::WriteAnswer(operation, dokDetails(), form));
    if (operation == "ZOKA_WS_InitialCheck")
        return ok(SoapCodec::WriteAnswer(operation, initialCheck(), form));
    if (operation == "ZOKA_WS_KartotekaMcaGet")
        return ok(SoapCodec::WriteAnswer(operation, kartotekaMca(), form));
    if (operation == "ZOKA_WS_WymiarOplatGet")
        return ok(SoapCodec::WriteAnswer(operation, wymiarOplat(), form));
    return ok(SoapCodec::WriteAnswer(operation, yearRozrach(), form));
}

template<typename Record>
void verifyRecord(const ServiceResult<Record> &result, const Record &expected)
{
    QVERIFY2(result.ok(), qPrintable(result.failure().detail));
    const QString difference = ServiceTestRecords::firstDifference(result.value(), expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

} // namespace

Q_DECLARE_METATYPE(TestHttpsServer::Behaviour)

class tst_Connection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void callSendsSoapRequest();
    void keptAliveCallNeedsNoNewHandshake();
    void allOperationsThroughTheProxy();
    void failures_data();
    void failures();
    void connectionRefused();
    void trustChangeStartsFreshConnection();
    void addedCertificatesFirstThenTheSystemStore_data();
    void addedCertificatesFirstThenTheSystemStore();
    void eventsKeepFlowingDuringCall();
    void noInterfaceWithoutUsableUrl();
    void caFileErrors();
    void valueOfFailureThrows_data();
    void valueOfFailureThrows();
    void unknownOperationIsFailureAndSendsNothing();
};

void tst_Connection::init()
{
    TrustedCertificates::Clear();
}

void tst_Connection::callSendsSoapRequest()
{
    trustTestCa();
    TestHttpsServer server(kFixtures + QStringLiteral("server.pem"), kFixtures + QStringLiteral("server.key"));
    QVERIFY(server.start());
    server.setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{200, initialCheckAnswer()};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());

    verifyRecord(rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")),
                 ServiceTestRecords::initialCheck());

    QCOMPARE(server.requests().size(), 1);
    const TestHttpsServer::Request &request = server.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, QByteArray(kServicePath.data(), qsizetype(kServicePath.size())));
    QCOMPARE(request.headers.value("soapaction"), QByteArray("\"urn:ZOKA_E_BOK-IZOKA_E_BOK#ZOKA_WS_InitialCheck\""));
    QCOMPARE(request.headers.value("content-type"), QByteArray("text/xml; charset=\"utf-8\""));
    QVERIFY(!request.headers.contains("authorization"));
    const ServiceResult<SoapRequest> sent = SoapCodec::ReadRequest(request.body);
    QVERIFY2(sent.ok(), qPrintable(sent.failure().detail));
    QCOMPARE(sent.value().text("aVersion"), QStringLiteral("1.3.0.0"));
}

void tst_Connection::keptAliveCallNeedsNoNewHandshake()
{
    trustTestCa();
    TestHttpsServer server(kFixtures + QStringLiteral("server.pem"), kFixtures + QStringLiteral("server.key"));
    QVERIFY(server.start());
    server.setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{200, initialCheckAnswer()};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    for (int call = 0; call < 3; ++call)
        QVERIFY(rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok());
    QCOMPARE(server.requests().size(), 3);
    QCOMPARE(server.connections(), 1);
    QCOMPARE(server.handshakes(), 1);
}

void tst_Connection::allOperationsThroughTheProxy()
{
    using namespace ServiceTestRecords;
    trustTestCa();
    TestHttpsServer server(kFixtures + QStringLiteral("server.pem"), kFixtures + QStringLiteral("server.key"));
    QVERIFY(server.start());
    server.setHandler(serviceAnswer);
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    IZOKA_E_BOK *service = rio.GetIZOKA_E_BOK();
    QVERIFY(service);
    const QString l = QStringLiteral("Ólek"), p = QStringLiteral("hasło"), t = QStringLiteral("żeton");

    verifyRecord(service->ZOKA_WS_ChangePassword(l, p, t, QStringLiteral("nowe")), changePassword());
    verifyRecord(service->ZOKA_WS_CzSessionBegin(l, p), sessionBegin());
    verifyRecord(service->ZOKA_WS_DokDetailsGet(l, p, t, 1001, 0, 2020), dokDetails());
    verifyRecord(service->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")), initialCheck());
    verifyRecord(service->ZOKA_WS_KartotekaMcaGet(l, p, t, 2, 2020, 3), kartotekaMca());
    const ServiceResult<bool> logout = service->ZOKA_WS_Logout(l, p, t);
    QVERIFY(logout.ok() && logout.value());
    const ServiceResult<QString> renew = service->ZOKA_WS_SessionRenew(l, p, t);
    QVERIFY(renew.ok());
    QCOMPARE(renew.value(), QStringLiteral("żeton+1"));
    verifyRecord(service->ZOKA_WS_WymiarOplatGet(l, p, t, 4, 2021, 12), wymiarOplat());
    verifyRecord(service->ZOKA_WS_YearRozrachGet(l, p, t, 2019), yearRozrach());

    QCOMPARE(server.requests().size(), 9);
    QCOMPARE(server.requests().at(4).headers.value("soapaction"),
             QByteArray("\"urn:ZOKA_E_BOK-IZOKA_E_BOK#ZOKA_WS_KartotekaMcaGet\""));
    const SoapRequest ledger = SoapCodec::ReadRequest(server.requests().at(4).body).value();
    QCOMPARE(ledger.text("aLoginE"), l);
    QCOMPARE(ledger.integer("aKontoKsg"), 2);
    QCOMPARE(ledger.integer("aMonth"), 3);
}

void tst_Connection::failures_data()
{
    using B = TestHttpsServer::Behaviour;
    using K = ServiceFailure::Kind;
    QTest::addColumn<QString>("certificate");
    QTest::addColumn<bool>("trustCa");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<B>("behaviour");
    QTest::addColumn<int>("expectedKind");
    QTest::addColumn<QString>("detailContains");

    const QByteArray answer = initialCheckAnswer();
    const QByteArray big(5000, 'x');
    const QByteArray fault = SoapCodec::WriteFault(QStringLiteral("Server"), QStringLiteral("Błąd serwera testowego"));
    QTest::newRow("certificate not trusted") << "server" << false << 200 << answer << B::Answer << int(K::Tls) << "";
    QTest::newRow("host name mismatch") << "wronghost" << true << 200 << answer << B::Answer << int(K::Tls)
                                        << "host name";
    QTest::newRow("server silent") << "server" << true << 200 << answer << B::Silent << int(K::Timeout) << "";
    QTest::newRow("oversized, length announced")
        << "server" << true << 200 << big << B::Answer << int(K::TooLarge) << "";
    QTest::newRow("oversized, no length")
        << "server" << true << 200 << big << B::CloseWithoutLength << int(K::TooLarge) << "";
    QTest::newRow("closed halfway") << "server" << true << 200 << answer << B::CloseHalfway << int(K::Transport) << "";
    QTest::newRow("HTTP 500 without fault")
        << "server" << true << 500 << QByteArray("oops") << B::Answer << int(K::Http) << "500";
    QTest::newRow("HTTP 404") << "server" << true << 404 << QByteArray() << B::Answer << int(K::Http) << "404";
    QTest::newRow("redirect") << "server" << true << 302 << QByteArray() << B::Answer << int(K::Http) << "302";
    QTest::newRow("SOAP fault, HTTP 500")
        << "server" << true << 500 << fault << B::Answer << int(K::Fault) << "Błąd serwera testowego";
    QTest::newRow("SOAP fault, HTTP 200")
        << "server" << true << 200 << fault << B::Answer << int(K::Fault) << "Błąd serwera testowego";
    QTest::newRow("unreadable answer") << "server" << true << 200 << QByteArray("<html/>") << B::Answer << int(K::Read)
                                       << "";
}

void tst_Connection::failures()
{
    QFETCH(QString, certificate);
    QFETCH(bool, trustCa);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(TestHttpsServer::Behaviour, behaviour);
    QFETCH(int, expectedKind);
    QFETCH(QString, detailContains);

    if (trustCa)
        trustTestCa();
    TestHttpsServer server(kFixtures + certificate + QStringLiteral(".pem"),
                           kFixtures + certificate + QStringLiteral(".key"));
    QVERIFY(server.start());
    // Where the server stays silent, a good call first, on a connection of its
    // own: what this machine takes for a call, to bound the silent one by.
    const bool silent = behaviour == TestHttpsServer::Behaviour::Silent;
    qint64 goodCallMs = 0;
    if (silent) {
        server.setHandler([&](const TestHttpsServer::Request &) {
            return TestHttpsServer::Reply{200, body, TestHttpsServer::Behaviour::Answer};
        });
        THTTPRIO good;
        good.SetURL(server.serviceUrl());
        QElapsedTimer goodClock;
        goodClock.start();
        QVERIFY(good.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok());
        goodCallMs = goodClock.elapsed();
    }
    server.setHandler([&](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{status, body, behaviour};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    // Short only where the server stays silent: a busy machine must not turn
    // a slow handshake into a timeout.
    constexpr auto kSilentTimeout = 300ms;
    rio.SetTimeout(silent ? kSilentTimeout : 20s);
    rio.SetMaxAnswerSize(1000);

    QElapsedTimer clock;
    clock.start();
    const auto result = rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0"));
    QVERIFY2(!result.ok(), "a failed call reported success");
    QCOMPARE(kindName(result.failure().kind), kindName(ServiceFailure::Kind(expectedKind)));
    QVERIFY2(result.failure().detail.contains(detailContains),
             qPrintable(QStringLiteral("detail: ") + result.failure().detail));
    QVERIFY(!result.failure().detail.isEmpty());
    if (silent) {
        // The timeout, plus three times a whole good call (handshake included),
        // plus a fixed allowance.
        const qint64 boundMs = std::chrono::milliseconds(kSilentTimeout).count() + 3 * goodCallMs + 500;
        QVERIFY2(clock.elapsed() < boundMs,
                 qPrintable(QStringLiteral("the call outlived its timeout: %1 ms, a good call %2 ms")
                                .arg(clock.elapsed())
                                .arg(goodCallMs)));
    }
}

void tst_Connection::connectionRefused()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    THTTPRIO rio;
    rio.SetURL(QStringLiteral("https://127.0.0.1:%1/soap").arg(port));
    const auto result = rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0"));
    QVERIFY(!result.ok());
    QCOMPARE(kindName(result.failure().kind), kindName(ServiceFailure::Kind::Transport));
}

// A kept-alive connection must not carry a call past a trust decision that
// has changed since it was opened.
void tst_Connection::trustChangeStartsFreshConnection()
{
    trustTestCa();
    TestHttpsServer server(kFixtures + QStringLiteral("server.pem"), kFixtures + QStringLiteral("server.key"));
    QVERIFY(server.start());
    server.setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{200, initialCheckAnswer()};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    QVERIFY(rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok());

    TrustedCertificates::Clear();
    const auto refused = rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0"));
    QVERIFY2(!refused.ok(), "the old connection was reused without the certificate check");
    QCOMPARE(kindName(refused.failure().kind), kindName(ServiceFailure::Kind::Tls));
}

void tst_Connection::addedCertificatesFirstThenTheSystemStore_data()
{
    QTest::addColumn<bool>("systemTrustsServer");
    QTest::addColumn<bool>("addedTrustServer");
    QTest::addColumn<int>("connectionsForFirstCall");
    QTest::newRow("added certificate vouches") << false << true << 1;
    QTest::newRow("only the system store vouches") << true << false << 2;
    QTest::newRow("nobody vouches") << false << false << 2;
}

// A connection checks the server against the added certificates first (no
// reading of the system store); a server only the system store vouches for
// is accepted on a second handshake, and the connection then stays with the
// whole set.
void tst_Connection::addedCertificatesFirstThenTheSystemStore()
{
    QFETCH(bool, systemTrustsServer);
    QFETCH(bool, addedTrustServer);
    QFETCH(int, connectionsForFirstCall);
    const QList<QSslCertificate> testCa = QSslCertificate::fromPath(kFixtures + QStringLiteral("ca.pem"));
    // Not an authority of the server's chain.
    const QList<QSslCertificate> unrelated = QSslCertificate::fromPath(kFixtures + QStringLiteral("wronghost.pem"));
    QVERIFY(!testCa.isEmpty() && !unrelated.isEmpty());
    TrustedCertificates::UseSystemStore(systemTrustsServer ? testCa : QList<QSslCertificate>{});
    const auto restore = qScopeGuard([] { TrustedCertificates::UseSystemStore(std::nullopt); });
    TrustedCertificates::Add(addedTrustServer ? testCa : unrelated);

    TestHttpsServer server(kFixtures + QStringLiteral("server.pem"), kFixtures + QStringLiteral("server.key"));
    QVERIFY(server.start());
    server.setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{200, initialCheckAnswer()};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    const auto first = rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0"));
    QCOMPARE(server.connections(), connectionsForFirstCall);
    if (!systemTrustsServer && !addedTrustServer) {
        QVERIFY(!first.ok());
        QCOMPARE(kindName(first.failure().kind), kindName(ServiceFailure::Kind::Tls));
        QCOMPARE(server.requests().size(), 0);
        return;
    }
    QVERIFY2(first.ok(), qPrintable(first.failure().detail));
    QVERIFY(rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok());
    QCOMPARE(server.connections(), connectionsForFirstCall);
    QCOMPARE(server.handshakes(), 1);
    QCOMPARE(server.requests().size(), 2);
}

// The call blocks the caller but not the event loop: timers (and painting)
// go on while it waits.
void tst_Connection::eventsKeepFlowingDuringCall()
{
    trustTestCa();
    TestHttpsServer server(kFixtures + QStringLiteral("server.pem"), kFixtures + QStringLiteral("server.key"));
    QVERIFY(server.start());
    server.setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{200, initialCheckAnswer(), TestHttpsServer::Behaviour::Answer, 300};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&]() { ++ticks; });
    ticker.start(10);
    QVERIFY(rio.GetIZOKA_E_BOK()->ZOKA_WS_InitialCheck(QStringLiteral("1.3.0.0")).ok());
    QVERIFY2(ticks >= 5, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
}

void tst_Connection::noInterfaceWithoutUsableUrl()
{
    THTTPRIO rio;
    QVERIFY(!rio.GetIZOKA_E_BOK());
    rio.SetURL(QStringLiteral("no url at all"));
    QVERIFY(!rio.GetIZOKA_E_BOK());
    rio.SetURL(QStringLiteral("https://:8443/soap"));
    QVERIFY(!rio.GetIZOKA_E_BOK());
    rio.SetURL(QStringLiteral("https://localhost:8443")
               + QLatin1StringView(kServicePath.data(), qsizetype(kServicePath.size())));
    QVERIFY(rio.GetIZOKA_E_BOK());
}

void tst_Connection::caFileErrors()
{
    const int generation = TrustedCertificates::Generation();
    QVERIFY_THROWS_EXCEPTION(AppError, TrustedCertificates::AddFromFile(kFixtures + QStringLiteral("missing.pem")));
    QVERIFY_THROWS_EXCEPTION(AppError, TrustedCertificates::AddFromFile(kFixtures + QStringLiteral("README.md")));
    QCOMPARE(TrustedCertificates::Generation(), generation); // a refused file adds nothing
    QVERIFY_THROWS_NO_EXCEPTION(TrustedCertificates::AddFromFile(kFixtures + QStringLiteral("ca.pem")));
}

void tst_Connection::valueOfFailureThrows_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("detail");
    QTest::newRow("timeout") << int(ServiceFailure::Kind::Timeout) << QStringLiteral("po 30 s");
    QTest::newRow("fault") << int(ServiceFailure::Kind::Fault) << QStringLiteral("Server: brak sesji");
    QTest::newRow("read, no detail") << int(ServiceFailure::Kind::Read) << QString();
}

void tst_Connection::valueOfFailureThrows()
{
    QFETCH(int, kind);
    QFETCH(QString, detail);
    const ServiceFailure failure{ServiceFailure::Kind(kind), detail};
    auto expectThrow = [&](auto &&read) {
        try {
            read();
        } catch (const ServiceResultError &error) {
            QCOMPARE(int(error.failure().kind), kind);
            QCOMPARE(error.failure().detail, detail);
            QVERIFY(QByteArray(error.what()).contains(detail.toUtf8()));
            return;
        }
        QFAIL("value() of a failure gave an answer instead of throwing");
    };
    ServiceResult<TRemInitialCheck> record = failure;
    const ServiceResult<QString> text = failure;
    ServiceResult<bool> flag = failure;
    QVERIFY(!record.ok() && !text.ok() && !flag.ok());
    expectThrow([&] { return record.value().RetCode; });
    expectThrow([&] { return text.value().size(); });
    expectThrow([&] { return std::as_const(flag).value(); });
    expectThrow([&] { return flag.value() = true; });

    // A success still reads as before, and its value can be taken.
    ServiceResult<QString> answer = QStringLiteral("żeton");
    QVERIFY(answer.ok());
    QCOMPARE(std::move(answer.value()), QStringLiteral("żeton"));
}

void tst_Connection::unknownOperationIsFailureAndSendsNothing()
{
    trustTestCa();
    TestHttpsServer server(kFixtures + QStringLiteral("server.pem"), kFixtures + QStringLiteral("server.key"));
    QVERIFY(server.start());
    server.setHandler([](const TestHttpsServer::Request &) {
        return TestHttpsServer::Reply{200, initialCheckAnswer()};
    });
    THTTPRIO rio;
    rio.SetURL(server.serviceUrl());
    ZOKA_E_BOK_Proxy proxy(rio);

    const ServiceResult<TRemInitialCheck> unknown
        = proxy.Invoke<TRemInitialCheck>("ZOKA_WS_NoSuchOperation", {QStringLiteral("1.3.0.0")});
    QVERIFY(!unknown.ok());
    QCOMPARE(unknown.failure().kind, ServiceFailure::Kind::Request);
    QVERIFY2(unknown.failure().detail.contains(u"ZOKA_WS_NoSuchOperation"), qPrintable(unknown.failure().detail));
    const ServiceResult<bool> empty = proxy.Invoke<bool>({}, {});
    QCOMPARE(empty.failure().kind, ServiceFailure::Kind::Request);
    QCOMPARE(server.requests().size(), 0);

    // The same proxy still calls a known operation by its name.
    verifyRecord(proxy.Invoke<TRemInitialCheck>("ZOKA_WS_InitialCheck", {QStringLiteral("1.3.0.0")}),
                 ServiceTestRecords::initialCheck());
    QCOMPARE(server.requests().size(), 1);
}

QTEST_GUILESS_MAIN(tst_Connection)
#include "tst_connection.moc"

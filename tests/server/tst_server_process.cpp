// The demo server executable over HTTPS on 127.0.0.1: every operation as the
// client sends it, bad requests refused without harm, the certificate, the
// fault switches and the operator's commands.

#include "testing/ServerProcess.h"

#include "common/DateHelpers.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/SessionToken.h"
#include "server/SessionToken.h"

#include <QDir>
#include <QFile>
#include <QSslCipher>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString kLogin = u"kowalski"_s;
const QString kPassword = u"Kowalski1"_s;

QString enc(const QString &text)
{
    return EncodeCredential(text);
}

// An initial check written by hand from the wire rules, with other prefixes
// and the 1999 schema namespaces than our own writer uses.
const QByteArray kHandWrittenCheck
    = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
      " xmlns:xs=\"http://www.w3.org/1999/XMLSchema\" xmlns:xi=\"http://www.w3.org/1999/XMLSchema-instance\">"
      "<soap:Body soap:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
      "<m:ZOKA_WS_InitialCheck xmlns:m=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\">"
      "<aVersion xi:type=\"xs:string\">1.3.0.0</aVersion>"
      "</m:ZOKA_WS_InitialCheck></soap:Body></soap:Envelope>";

QByteArray envelope(const QByteArray &call)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\""
           " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
           "<SOAP-ENV:Body>"
        + call + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

} // namespace

class tst_ServerProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void allOperations();
    void multiReferenceAnswersReadAlike();
    void badRequests_data();
    void badRequests();
    void wrongCredentialsAreAnAnswer();
    void certificateIsNeeded();
    void clockOffsetAndSessionLifetime();
    void faultSwitches_data();
    void faultSwitches();
    void operatorCommands();
    void operatorOutputIsEscaped();
    void existingDataFolder_data();
    void existingDataFolder();
    void tlsSuites_data();
    void tlsSuites();

private:
    template<typename Record>
    Record call(std::string_view operation, const QList<SoapArgument> &arguments, const QString &url = {});
    TRemSessionBeginData signIn(const QString &login, const QString &password, const QString &url = {});
    void expectServing(const QString &url = {});

    QTemporaryDir m_dir;
    ServerProcess m_server;
    std::unique_ptr<TestClient> m_client;
};

void tst_ServerProcess::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString error;
    QVERIFY2(m_server.Start(m_dir.path(), {}, &error), qPrintable(error));
    QVERIFY(QFile::exists(m_dir.filePath(u"server-cert.pem"_s)));
    QVERIFY(QFile::exists(m_dir.filePath(u"demo.sqlite"_s)));
    QCOMPARE(QFile::permissions(m_dir.filePath(u"server-key.pem"_s)) & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
    // Every tenant's data and password digests: for the server's user only.
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFile::permissions(m_dir.path()) & others, QFile::Permissions());
    for (const QString &name : {u"demo.sqlite"_s, u"demo.sqlite-wal"_s, u"demo.sqlite-shm"_s}) {
        if (QFile::exists(m_dir.filePath(name)))
            QCOMPARE(QFile::permissions(m_dir.filePath(name)) & others, QFile::Permissions());
    }
    m_client = std::make_unique<TestClient>(m_dir.filePath(u"server-cert.pem"_s));
}

void tst_ServerProcess::cleanupTestCase()
{
    m_client.reset();
    m_server.Stop();
}

template<typename Record>
Record tst_ServerProcess::call(std::string_view operation, const QList<SoapArgument> &arguments, const QString &url)
{
    const TestClient::Response response = m_client->Call(url.isEmpty() ? m_server.Url() : url, operation, arguments);
    if (response.error != QNetworkReply::NoError || response.status != 200) {
        QTest::qFail(qPrintable(u"%1: HTTP %2, %3"_s.arg(QLatin1StringView(operation.data(), operation.size()))
                                    .arg(response.status)
                                    .arg(response.errorText)),
                     __FILE__, __LINE__);
        return Record{};
    }
    ServiceResult<Record> answer = SoapCodec::ReadAnswer<Record>(operation, response.body);
    if (!answer.ok()) {
        QTest::qFail(qPrintable(answer.failure().detail), __FILE__, __LINE__);
        return Record{};
    }
    return answer.value();
}

TRemSessionBeginData tst_ServerProcess::signIn(const QString &login, const QString &password, const QString &url)
{
    return call<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", {enc(login), enc(password)}, url);
}

void tst_ServerProcess::expectServing(const QString &url)
{
    const auto check = call<TRemInitialCheck>("ZOKA_WS_InitialCheck", {u"1.3.0.0"_s}, url);
    QCOMPARE(check.RetCode, 100);
}

void tst_ServerProcess::allOperations()
{
    // A request written by hand, independent of our writer.
    const TestClient::Response raw = m_client->Post(m_server.Url(), kHandWrittenCheck);
    QCOMPARE(raw.status, 200);
    QCOMPARE(SoapCodec::ReadAnswer<TRemInitialCheck>("ZOKA_WS_InitialCheck", raw.body).value().RetCode, 100);
    // The address by IP works too: the certificate names 127.0.0.1.
    expectServing(m_server.Url(u"127.0.0.1"_s));
    QCOMPARE(call<TRemInitialCheck>("ZOKA_WS_InitialCheck", {u"1.2.0.0"_s}).RetCode, 101);

    const TRemSessionBeginData begin = signIn(kLogin, kPassword);
    QCOMPARE(begin.RetCode, 0);
    QCOMPARE(begin.U_Nazwisko1, u"Kowalski"_s);
    QCOMPARE(begin.Z_UlicaNr, u"Źródłowa 12 m. 34"_s);
    QCOMPARE(begin.ObrotyCZMain_WN.size(), 13);
    QString token = begin.SessionToken;
    const int year = QDate::currentDate().year() - 1;

    const auto figures
        = call<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet", {enc(kLogin), enc(kPassword), token, year});
    QCOMPARE(figures.RetCode, 0);
    QCOMPARE(figures.ObrotyOdpady_MA.size(), 13);

    const auto ledger
        = call<TRemKartotekaMcaGetData>("ZOKA_WS_KartotekaMcaGet", {enc(kLogin), enc(kPassword), token, 0, year, 3});
    QCOMPARE(ledger.RetCode, 0);
    QVERIFY(ledger.KsgNumber > 0);
    QCOMPARE(ledger.Year, year);
    const int charge = ledger.KsgID_Dok_Master[ledger.KsgTypDok.indexOf(1)];
    const double chargeValue = ledger.KsgValue[ledger.KsgTypDok.indexOf(1)];

    const auto details
        = call<TRemDokDetailsGetData>("ZOKA_WS_DokDetailsGet", {enc(kLogin), enc(kPassword), token, charge, 0, year});
    QCOMPARE(details.RetCode, 0);
    QVERIFY(details.SklNumber > 15);
    double gross = 0;
    for (int i = 0; i < details.SklNumber; ++i)
        gross += details.ValueNetto[i] + details.ValueVAT[i];
    QCOMPARE(qRound64(gross * 100), qRound64(chargeValue * 100));

    QCOMPARE(call<TRemWymiarOplatGetData>("ZOKA_WS_WymiarOplatGet", {enc(kLogin), enc(kPassword), token, 0, year, 3})
                 .RetCode,
             9);

    const TestClient::Response renew
        = m_client->Call(m_server.Url(), "ZOKA_WS_SessionRenew", {enc(kLogin), enc(kPassword), token});
    const QString renewed = SoapCodec::ReadAnswer<QString>("ZOKA_WS_SessionRenew", renew.body).value();
    QVERIFY(!renewed.isEmpty() && renewed != token);
    token = renewed;

    const auto changed = call<TRemChangePasswordData>("ZOKA_WS_ChangePassword",
                                                      {enc(kLogin), enc(kPassword), token, enc(u"Zmienione9"_s)});
    QCOMPARE(changed.RetCode, 0);
    token = changed.SessionToken;
    QCOMPARE(signIn(kLogin, kPassword).RetCode, 1);
    QCOMPARE(call<TRemChangePasswordData>("ZOKA_WS_ChangePassword",
                                          {enc(kLogin), enc(u"Zmienione9"_s), token, enc(kPassword)})
                 .RetCode,
             0);

    const auto logoutOf = [&](const QString &t) {
        const TestClient::Response r
            = m_client->Call(m_server.Url(), "ZOKA_WS_Logout", {enc(kLogin), enc(kPassword), t});
        return SoapCodec::ReadAnswer<bool>("ZOKA_WS_Logout", r.body).value();
    };
    const QString last = signIn(kLogin, kPassword).SessionToken;
    QVERIFY(logoutOf(last));
    QVERIFY(!logoutOf(last));
}

void tst_ServerProcess::multiReferenceAnswersReadAlike()
{
    ServerProcess multi;
    QString error;
    QVERIFY2(multi.Start(m_dir.path(), {u"--multiref"_s}, &error), qPrintable(error));

    const TestClient::Response raw
        = m_client->Call(multi.Url(), "ZOKA_WS_CzSessionBegin", {enc(u"nowak"_s), enc(u"NowakP2015"_s)});
    QVERIFY(raw.body.contains("href=\"#"));
    const TRemSessionBeginData viaMulti
        = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", raw.body).value();
    const TRemSessionBeginData viaInline = signIn(u"nowak"_s, u"NowakP2015"_s);
    QCOMPARE(viaMulti.RetCode, 0);
    QCOMPARE(viaMulti.U_Nazwisko2, viaInline.U_Nazwisko2);
    QCOMPARE(viaMulti.ObrotyCZMain_WN, viaInline.ObrotyCZMain_WN);
    QCOMPARE(viaMulti.ObrotyWOMain_MA, viaInline.ObrotyWOMain_MA);
    QCOMPARE(viaMulti.WOOds_Service_F, false);

    const int year = QDate::currentDate().year() - 2;
    const auto ledger = call<TRemKartotekaMcaGetData>(
        "ZOKA_WS_KartotekaMcaGet", {enc(u"nowak"_s), enc(u"NowakP2015"_s), viaMulti.SessionToken, 0, year, 5},
        multi.Url());
    QCOMPARE(ledger.RetCode, 0);
    QCOMPARE(ledger.KsgNumber, ledger.KsgNrDokMaster.size());
    QVERIFY(ledger.KsgNumber > 0);
}

void tst_ServerProcess::badRequests_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("soapFault");

    const QByteArray xml = "text/xml; charset=\"utf-8\"";
    const QString service = QString::fromLatin1(kServicePath.data(), qsizetype(kServicePath.size()));
    QTest::newRow("malformed XML") << QByteArray("POST") << service << xml << QByteArray("<SOAP-ENV:Envelope><a") << 500
                                   << true;
    QTest::newRow("not XML at all") << QByteArray("POST") << service << xml << QByteArray("\x01\x02 hello") << 500
                                    << true;
    QTest::newRow("empty body") << QByteArray("POST") << service << xml << QByteArray() << 500 << true;
    QTest::newRow("unknown operation") << QByteArray("POST") << service << xml
                                       << envelope("<m:ZOKA_WS_Nothing xmlns:m=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\"/>") << 500
                                       << true;
    QTest::newRow("operation in another namespace")
        << QByteArray("POST") << service << xml
        << envelope("<m:ZOKA_WS_InitialCheck xmlns:m=\"urn:other\"><aVersion>1.3.0.0</aVersion>"
                    "</m:ZOKA_WS_InitialCheck>")
        << 500 << true;
    QTest::newRow("text for an int")
        << QByteArray("POST") << service << xml
        << envelope("<m:ZOKA_WS_YearRozrachGet xmlns:m=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\">"
                    "<aLoginE xsi:type=\"xsd:string\">a</aLoginE><aPasswordE xsi:type=\"xsd:string\">b</aPasswordE>"
                    "<aSessionToken xsi:type=\"xsd:string\">c</aSessionToken>"
                    "<aYearEwid xsi:type=\"xsd:int\">dwa tysiące</aYearEwid></m:ZOKA_WS_YearRozrachGet>")
        << 500 << true;
    QTest::newRow("int too large")
        << QByteArray("POST") << service << xml
        << envelope("<m:ZOKA_WS_YearRozrachGet xmlns:m=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\">"
                    "<aLoginE>a</aLoginE><aPasswordE>b</aPasswordE><aSessionToken>c</aSessionToken>"
                    "<aYearEwid xsi:type=\"xsd:int\">99999999999</aYearEwid></m:ZOKA_WS_YearRozrachGet>")
        << 500 << true;
    QTest::newRow("missing parameter") << QByteArray("POST") << service << xml
                                       << envelope(
                                              "<m:ZOKA_WS_CzSessionBegin xmlns:m=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\">"
                                              "<aLoginE xsi:type=\"xsd:string\">a</aLoginE></m:ZOKA_WS_CzSessionBegin>")
                                       << 500 << true;
    QTest::newRow("entity expansion")
        << QByteArray("POST") << service << xml
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;"
                      "&a;&a;&a;\">]><x>&b;</x>")
        << 500 << true;
    QTest::newRow("oversized body") << QByteArray("POST") << service << xml << QByteArray(2 * 1024 * 1024, 'a') << 413
                                    << false;
    QTest::newRow("GET") << QByteArray("GET") << service << QByteArray() << QByteArray() << 405 << false;
    QTest::newRow("other path") << QByteArray("POST") << u"/cgi-bin/other"_s << xml << kHandWrittenCheck << 404
                                << false;
    QTest::newRow("JSON") << QByteArray("POST") << service << QByteArray("application/json") << QByteArray("{\"a\":1}")
                          << 415 << false;
}

void tst_ServerProcess::badRequests()
{
    QFETCH(QByteArray, method);
    QFETCH(QString, path);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(bool, soapFault);

    const QString url = u"https://localhost:%1%2"_s.arg(m_server.port()).arg(path);
    const TestClient::Response response = method == "GET" ? m_client->Get(url) : m_client->Post(url, body, contentType);
    if (status == 413 && response.status == 0) {
        // The server may close the connection while the upload still runs;
        // the client then sees the closed connection instead of the status,
        // or, when the close cuts into the answer, a broken transfer.
        QVERIFY2(response.error == QNetworkReply::RemoteHostClosedError
                     || response.error == QNetworkReply::ConnectionRefusedError
                     || response.error == QNetworkReply::ProtocolFailure,
                 qPrintable(response.errorText));
    } else {
        QCOMPARE(response.status, status);
    }
    if (soapFault) {
        const auto fault = SoapCodec::ReadFault(response.body);
        QVERIFY2(fault.has_value(), response.body.constData());
        QVERIFY(!fault->detail.isEmpty());
        QVERIFY(response.body.contains("SOAP-ENV:Client"));
    }
    QVERIFY(m_server.IsRunning());
    expectServing();
}

void tst_ServerProcess::wrongCredentialsAreAnAnswer()
{
    QCOMPARE(signIn(kLogin, u"Zle"_s).RetCode, 1);
    QCOMPARE(signIn(u"nieznany"_s, kPassword).RetCode, 1);
    const auto figures
        = call<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet", {enc(kLogin), enc(kPassword), u"zmyślony"_s, 2020});
    QCOMPARE(figures.RetCode, 2);
    QVERIFY(figures.ObrotyCZMain_WN.isEmpty());
    expectServing();
}

void tst_ServerProcess::certificateIsNeeded()
{
    TestClient untrusting({});
    const TestClient::Response response = untrusting.Post(m_server.Url(), kHandWrittenCheck);
    QCOMPARE(response.error, QNetworkReply::SslHandshakeFailedError);
    expectServing();
}

// The switches for tests: the server's clock set back to January 2020, and a
// session that lasts 0.6 seconds (elapsed time counts whole seconds).
void tst_ServerProcess::clockOffsetAndSessionLifetime()
{
    const QDateTime target(QDate(2020, 1, 15), QTime(12, 0));
    const qint64 offsetMinutes = QDateTime::currentDateTime().secsTo(target) / 60;
    ServerProcess shifted;
    QString error;
    QVERIFY2(shifted.Start(m_dir.path(),
                           {u"--clock-offset"_s, QString::number(offsetMinutes), u"--session-minutes"_s, u"0.01"_s},
                           &error),
             qPrintable(error));
    const TRemSessionBeginData begin = signIn(u"nowak"_s, u"NowakP2015"_s, shifted.Url());
    QCOMPARE(begin.RetCode, 0);
    QCOMPARE(ValueToDate(begin.SysCZPeriodEwidActive.toDouble()), QDate(2020, 1, 1));
    const auto token = SessionToken::ParseEncoded(begin.SessionToken);
    QVERIFY(token);
    QVERIFY(std::abs(token->serviceDate - DateTimeToValue(target)) < 1.0 / 24);
    QCOMPARE(call<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet",
                                          {enc(u"nowak"_s), enc(u"NowakP2015"_s), begin.SessionToken, 2021},
                                          shifted.Url())
                 .RetCode,
             6);

    QTest::qWait(1500);
    QCOMPARE(call<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet",
                                          {enc(u"nowak"_s), enc(u"NowakP2015"_s), begin.SessionToken, 2019},
                                          shifted.Url())
                 .RetCode,
             3);
    const TestClient::Response renew = m_client->Call(shifted.Url(), "ZOKA_WS_SessionRenew",
                                                      {enc(u"nowak"_s), enc(u"NowakP2015"_s), begin.SessionToken});
    const QString renewed = SoapCodec::ReadAnswer<QString>("ZOKA_WS_SessionRenew", renew.body).value();
    QVERIFY(!renewed.isEmpty());
    QCOMPARE(call<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet",
                                          {enc(u"nowak"_s), enc(u"NowakP2015"_s), renewed, 2019}, shifted.Url())
                 .RetCode,
             0);
}

void tst_ServerProcess::faultSwitches_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("networkError");
    QTest::addColumn<bool>("readable");
    QTest::newRow("http500") << u"http500:ZOKA_WS_YearRozrachGet"_s << 500 << false << false;
    QTest::newRow("malformed") << u"malformed:ZOKA_WS_YearRozrachGet"_s << 200 << false << false;
    QTest::newRow("close-halfway") << u"close-halfway:ZOKA_WS_YearRozrachGet"_s << 0 << true << false;
    QTest::newRow("slow") << u"slow:ZOKA_WS_YearRozrachGet"_s << 200 << false << true;
}

void tst_ServerProcess::faultSwitches()
{
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(bool, networkError);
    QFETCH(bool, readable);

    ServerProcess faulty;
    QString error;
    QVERIFY2(faulty.Start(m_dir.path(), {u"--fault"_s, fault, u"--fault-delay-ms"_s, u"300"_s}, &error),
             qPrintable(error));
    // Only the named operation misbehaves.
    expectServing(faulty.Url());
    const QString token = signIn(u"nowak"_s, u"NowakP2015"_s, faulty.Url()).SessionToken;
    QVERIFY(!token.isEmpty());

    QElapsedTimer timer;
    timer.start();
    const TestClient::Response response
        = m_client->Call(faulty.Url(), "ZOKA_WS_YearRozrachGet", {enc(u"nowak"_s), enc(u"NowakP2015"_s), token, 2020});
    QCOMPARE(response.error != QNetworkReply::NoError && response.status != 500, networkError);
    if (!networkError)
        QCOMPARE(response.status, status);
    const auto answer = SoapCodec::ReadAnswer<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet", response.body);
    QCOMPARE(answer.ok(), readable);
    if (fault.startsWith(u"slow"))
        QVERIFY(timer.elapsed() >= 300);
    expectServing(faulty.Url());
}

void tst_ServerProcess::operatorCommands()
{
    QByteArray output;
    QByteArray errors;
    const QStringList data{u"--data"_s, m_dir.path()};

    QCOMPARE(ServerProcess::RunCommand({u"--help"_s}, {}, &output, &errors), 0);
    QVERIFY(output.contains("list-tenants"));
    for (const char *option : {"--max-unsent ", "--max-unsent-total", "--drain-timeout", "--max-queued-digests ",
                               "--max-queued-digests-per-address"})
        QVERIFY2(output.contains(option), option);
    // The bounds are options a server starts with; a bad value is refused.
    QCOMPARE(ServerProcess::RunCommand({u"--max-queued-digests"_s, u"0"_s}, {}, &output, &errors), 2);
    QCOMPARE(ServerProcess::RunCommand({u"--max-unsent"_s, u"12"_s}, {}, &output, &errors), 2);
    QCOMPARE(ServerProcess::RunCommand({u"--no-such-option"_s}, {}, &output, &errors), 2);
    QCOMPARE(ServerProcess::RunCommand({u"--fault"_s, u"sometimes"_s}, {}, &output, &errors), 2);

    QCOMPARE(ServerProcess::RunCommand(QStringList{u"list-tenants"_s} + data, {}, &output, &errors), 0);
    for (const char *login : {"kowalski", "wisniewska", "nowak", "zielinski"})
        QVERIFY2(output.contains(login), output.constData());
    QVERIFY(!output.contains("Kowalski1"));

    const QStringList create
        = QStringList{u"create-tenant"_s, u"lewandowska"_s, u"--first-name"_s,  u"Małgorzata"_s, u"--last-name"_s,
                      u"Lewandowska"_s,   u"--street"_s,    u"Łąkowa 3 m. 1"_s, u"--town"_s,     u"Łódź"_s}
        + data;
    QCOMPARE(ServerProcess::RunCommand(create, "słabe\n", &output, &errors), 2);
    QVERIFY(errors.contains("zbyt słabe"));
    // The password comes from standard input, not the command line.
    QCOMPARE(ServerProcess::RunCommand(create, "Lewa2024x\n", &output, &errors), 0);
    QCOMPARE(ServerProcess::RunCommand(create, "Lewa2024x\n", &output, &errors), 2); // exists already

    // The running server sees the new tenant at once: a header, empty figures.
    TRemSessionBeginData begin = signIn(u"lewandowska"_s, u"Lewa2024x"_s);
    QCOMPARE(begin.RetCode, 0);
    QCOMPARE(begin.U_Imie1, u"Małgorzata"_s);
    QCOMPARE(begin.Z_UlicaNr, u"Łąkowa 3 m. 1"_s);
    for (double v : begin.ObrotyCZMain_WN)
        QCOMPARE(v, 0.0);

    QCOMPARE(ServerProcess::RunCommand(QStringList{u"set-password"_s, u"lewandowska"_s} + data, "Nowe2025y\n", &output,
                                       &errors),
             0);
    QCOMPARE(signIn(u"lewandowska"_s, u"Lewa2024x"_s).RetCode, 1);
    QCOMPARE(signIn(u"lewandowska"_s, u"Nowe2025y"_s).RetCode, 0);
    QCOMPARE(
        ServerProcess::RunCommand(QStringList{u"set-password"_s, u"nikt"_s} + data, "Nowe2025y\n", &output, &errors),
        2);

    // A reset brings back exactly the demo tenants.
    QCOMPARE(ServerProcess::RunCommand(QStringList{u"list-tenants"_s, u"--reset-demo"_s} + data, {}, &output, &errors),
             0);
    QVERIFY(!output.contains("lewandowska"));
    QVERIFY(output.contains("zielinski"));
    QCOMPARE(signIn(u"lewandowska"_s, u"Nowe2025y"_s).RetCode, 1);
    QCOMPARE(signIn(kLogin, kPassword).RetCode, 0);
}

void tst_ServerProcess::operatorOutputIsEscaped()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList data{u"--data"_s, dir.path()};
    QByteArray output;
    QByteArray errors;
    // A name with a line break and a tab would forge a line of the list; an
    // escape sequence would reach the operator's terminal.
    const QStringList create
        = QStringList{u"create-tenant"_s, u"mazur"_s,    u"--first-name"_s, u"Jan\n99\tforged"_s, u"--last-name"_s,
                      u"Mazur\x1b[2J"_s,  u"--street"_s, u"Polna 1 m. 2"_s, u"--town"_s,          u"Gdańsk"_s}
        + data;
    QCOMPARE(ServerProcess::RunCommand(create, " Mazur2024x\n", &output, &errors), 0);
    // The password line lost its spaces, and the operator is told so.
    QVERIFY2(errors.contains("odstępy"), errors.constData());
    QCOMPARE(ServerProcess::RunCommand(QStringList{u"list-tenants"_s} + data, {}, &output, &errors), 0);
    const QList<QByteArray> lines = output.trimmed().split('\n');
    QCOMPARE(lines.size(), 5); // the four demo tenants and this one
    QVERIFY(!output.contains('\x1b'));
    QVERIFY2(output.contains("Jan\\u000a99\\u0009forged"), output.constData());
    for (const QByteArray &line : lines)
        QCOMPARE(line.count('\t'), 4);
}

void tst_ServerProcess::existingDataFolder_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0700") << 0700 << true;
    QTest::newRow("0750, shared to read") << 0750 << true;
    QTest::newRow("0770, group may write") << 0770 << false;
    QTest::newRow("0703, others may write") << 0703 << false;
}

void tst_ServerProcess::existingDataFolder()
{
    QFETCH(int, mode);
    QFETCH(bool, accepted);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), mode_t(mode)) == 0);
    QByteArray output;
    QByteArray errors;
    const int code = ServerProcess::RunCommand({u"list-tenants"_s, u"--data"_s, dir.path()}, {}, &output, &errors);
    QCOMPARE(code, accepted ? 0 : 1);
    QCOMPARE(QFile::exists(dir.filePath(u"demo.sqlite"_s)), accepted);
    // The folder keeps the mode it was given, whatever the outcome.
    struct stat info = {};
    QVERIFY(::stat(QFile::encodeName(dir.path()).constData(), &info) == 0);
    QCOMPARE(int(info.st_mode & 07777), mode);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
}

void tst_ServerProcess::tlsSuites_data()
{
    QTest::addColumn<QString>("cipher");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("AES-GCM") << u"ECDHE-ECDSA-AES128-GCM-SHA256"_s << true;
    QTest::newRow("ChaCha20-Poly1305") << u"ECDHE-ECDSA-CHACHA20-POLY1305"_s << true;
    QTest::newRow("CBC with SHA-1") << u"ECDHE-ECDSA-AES128-SHA"_s << false;
    QTest::newRow("CBC with SHA-256") << u"ECDHE-ECDSA-AES128-SHA256"_s << false;
}

void tst_ServerProcess::tlsSuites()
{
    QFETCH(QString, cipher);
    QFETCH(bool, accepted);
    // A TLS 1.2 client offering that suite alone.
    QSslSocket socket;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setProtocol(QSsl::TlsV1_2);
    tls.setCiphers({QSslCipher(cipher, QSsl::TlsV1_2)});
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket.setSslConfiguration(tls);
    socket.connectToHostEncrypted(u"127.0.0.1"_s, m_server.port());
    QCOMPARE(socket.waitForEncrypted(5000), accepted);
    if (accepted)
        QCOMPARE(socket.sessionCipher().name(), cipher);
    socket.abort();
    expectServing();
}

QTEST_GUILESS_MAIN(tst_ServerProcess)
#include "tst_server_process.moc"

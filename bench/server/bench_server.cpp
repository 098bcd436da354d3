// Requests per second the demo server holds for the yearly figures call, from
// concurrent clients on loopback, each with its own network manager (its own
// kept-alive TLS connection) and one request in flight.
// Usage: bench_server [clients=6] [seconds=10] [--multiref]

#include "bench/common/BenchFigure.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SessionToken.h"
#include "protocol/SoapCodec.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

struct Client
{
    std::unique_ptr<QNetworkAccessManager> manager;
    QByteArray request;
    qint64 done = 0;
    qint64 failed = 0;
    std::vector<double> latenciesMs;
};

QByteArray body(std::string_view operation, const QList<SoapArgument> &arguments)
{
    return SoapCodec::WriteRequest(*FindOperation(operation), arguments).value();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool multiRef = args.removeAll(u"--multiref"_s) > 0;
    const int clients = args.size() > 0 ? std::max(1, args[0].toInt()) : 6;
    const int seconds = args.size() > 1 ? std::max(1, args[1].toInt()) : 10;

    QTemporaryDir data;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server.start(QStringLiteral(DOMVEL_SERVER_EXE),
                 QStringList{u"--port"_s, u"0"_s, u"--data"_s, data.path()}
                     + (multiRef ? QStringList{u"--multiref"_s} : QStringList{}));
    quint16 port = 0;
    QByteArray output;
    while (port == 0 && server.waitForReadyRead(60000)) {
        output += server.readAllStandardOutput();
        for (const QByteArray &line : output.split('\n')) {
            if (line.startsWith("port: "))
                port = static_cast<quint16>(line.mid(6).toUInt());
        }
    }
    if (port == 0) {
        std::fprintf(stderr, "server did not start\n");
        return 1;
    }
    const QUrl url(u"https://localhost:%1%2"_s.arg(port).arg(
        QLatin1StringView(kServicePath.data(), qsizetype(kServicePath.size()))));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(QSslCertificate::fromPath(data.filePath(u"server-cert.pem"_s)));

    const auto post = [&](QNetworkAccessManager &manager, std::string_view operation, const QByteArray &payload) {
        QNetworkRequest request(url);
        request.setSslConfiguration(tls);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml; charset=\"utf-8\""));
        request.setRawHeader("SOAPAction", SoapCodec::SoapAction(operation));
        return manager.post(request, payload);
    };
    const auto waitFor = [](QNetworkReply *reply) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const QByteArray answer = reply->readAll();
        reply->deleteLater();
        return answer;
    };

    // Each client signs in once, as its own tenant session.
    const QString login = EncodeCredential(u"kowalski"_s);
    const QString password = EncodeCredential(u"Kowalski1"_s);
    const int year = QDate::currentDate().year() - 1;
    std::vector<Client> pool(static_cast<std::size_t>(clients));
    for (Client &client : pool) {
        client.manager = std::make_unique<QNetworkAccessManager>();
        const QByteArray answer = waitFor(
            post(*client.manager, "ZOKA_WS_CzSessionBegin", body("ZOKA_WS_CzSessionBegin", {login, password})));
        const auto begin = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", answer);
        if (!begin.ok() || begin.value().RetCode != 0) {
            std::fprintf(stderr, "sign-in failed\n");
            return 1;
        }
        client.request = body("ZOKA_WS_YearRozrachGet", {login, password, begin.value().SessionToken, year});
    }

    QElapsedTimer clock;
    bool running = true;
    std::function<void(Client &)> send = [&](Client &client) {
        const qint64 started = clock.nsecsElapsed();
        QNetworkReply *reply = post(*client.manager, "ZOKA_WS_YearRozrachGet", client.request);
        QObject::connect(reply, &QNetworkReply::finished, reply, [&, reply, started] {
            const QByteArray answer = reply->readAll();
            const bool ok = reply->error() == QNetworkReply::NoError
                && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200
                && answer.contains("<RetCode xsi:type=\"xsd:int\">0</RetCode>");
            reply->deleteLater();
            if (!running)
                return;
            ++(ok ? client.done : client.failed);
            client.latenciesMs.push_back((clock.nsecsElapsed() - started) / 1e6);
            send(client);
        });
    };
    clock.start();
    for (Client &client : pool)
        send(client);
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, [&] {
        running = false;
        app.quit();
    });
    app.exec();
    const double elapsed = clock.nsecsElapsed() / 1e9;

    qint64 done = 0;
    qint64 failed = 0;
    std::vector<double> latencies;
    for (const Client &client : pool) {
        done += client.done;
        failed += client.failed;
        latencies.insert(latencies.end(), client.latenciesMs.begin(), client.latenciesMs.end());
    }
    std::sort(latencies.begin(), latencies.end());
    const auto percentile
        = [&](double p) { return latencies.empty() ? 0.0 : latencies[std::size_t(p * double(latencies.size() - 1))]; };
    PrintLine("yearly figures (ZOKA_WS_YearRozrachGet, %s records), %d clients, %.1f s on loopback\n",
              multiRef ? "multi-reference" : "inline", clients, elapsed);
    PrintLine("  answered: %lld, failed: %lld\n", static_cast<long long>(done), static_cast<long long>(failed));
    PrintLine("  throughput: %.0f requests/s\n", done / elapsed);
    PrintLine("  latency: median %.2f ms, 95th percentile %.2f ms, max %.2f ms\n", percentile(0.5), percentile(0.95),
              latencies.empty() ? 0.0 : latencies.back());
    const QByteArray what = QStringLiteral("Demo server, yearly-figures call, %1 concurrent clients%2")
                                .arg(clients)
                                .arg(multiRef ? u" (multi-reference)"_s : QString())
                                .toUtf8();
    PrintFigure(what.constData(), "%.0f requests/s, median latency %.1f ms, %lld failed", done / elapsed,
                percentile(0.5), static_cast<long long>(failed));

    server.terminate();
    server.waitForFinished(5000);
    return failed == 0 && done > 0 ? 0 : 1;
}

#include "server/SoapHttpServer.h"

#include "protocol/IZOKA_E_BOK.h"
#include "server/SoapEndpoint.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QPointer>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTimer>
#include <QWebSocket>

using namespace Qt::StringLiterals;

namespace {

// Bytes allowed beyond the body cap for the request line and headers.
constexpr qint64 kHeaderAllowance = 64 * 1024;
// A connection that sends nothing for this long is closed.
constexpr int kIdleTimeoutMs = 60 * 1000;
const char *const kReceivedProperty = "domvelReceived";
const char *const kRefusedProperty = "domvelRefused";

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    case 500: return "Internal Server Error";
    default: return "Error";
    }
}

QByteArray responseHead(int status, const QByteArray &contentType, qint64 length, bool close)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    if (status == 405)
        head += "Allow: POST\r\n";
    if (close)
        head += "Connection: close\r\n";
    head += "\r\n";
    return head;
}

bool wantsClose(const QHttpServerRequest &request)
{
    return request.value("connection").toLower().contains("close");
}

} // namespace

SoapHttpServer::SoapHttpServer(SoapEndpoint &endpoint, Settings settings, QObject *parent)
    : QAbstractHttpServer(parent), m_endpoint(endpoint), m_settings(std::move(settings))
{
    // The HTTP layer accepts WebSocket upgrades by itself; the service has
    // none, so they are closed instead of piling up unread.
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, [this] {
        while (hasPendingWebSocketConnections()) {
            if (const std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection())
                socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
        }
    });
}

SoapHttpServer::~SoapHttpServer() = default;

std::optional<QSslConfiguration> SoapHttpServer::LoadTls(const QString &certificatePath, const QString &keyPath,
                                                         QString *error)
{
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(certificatePath, QSsl::Pem);
    if (certificates.isEmpty()) {
        *error = u"Nie można odczytać certyfikatu %1."_s.arg(certificatePath);
        return std::nullopt;
    }
    QFile keyFile(keyPath);
    if (!keyFile.open(QIODevice::ReadOnly)) {
        *error = u"Nie można odczytać klucza %1."_s.arg(keyPath);
        return std::nullopt;
    }
    const QByteArray pem = keyFile.readAll();
    QSslKey key;
    for (QSsl::KeyAlgorithm algorithm : {QSsl::Ec, QSsl::Rsa, QSsl::Dsa}) {
        key = QSslKey(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            break;
    }
    if (key.isNull()) {
        *error = u"Plik %1 nie zawiera klucza prywatnego PEM (bez hasła)."_s.arg(keyPath);
        return std::nullopt;
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(certificates);
    tls.setPrivateKey(key);
    tls.setProtocol(QSsl::SecureProtocols);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);  // clients do not present certificates
    return tls;
}

quint16 SoapHttpServer::Listen(const QHostAddress &address, quint16 port, const QSslConfiguration &tls,
                               QString *error)
{
    m_tcp = new QSslServer(this);
    m_tcp->setSslConfiguration(tls);
    connect(m_tcp, &QSslServer::startedEncryptionHandshake, this, &SoapHttpServer::watchSize);
    if (!m_tcp->listen(address, port)) {
        *error = u"Nie można nasłuchiwać na %1:%2: %3"_s.arg(address.toString()).arg(port).arg(m_tcp->errorString());
        delete m_tcp;
        m_tcp = nullptr;
        return 0;
    }
    bind(m_tcp);
    return m_tcp->serverPort();
}

void SoapHttpServer::watchSize(QSslSocket *socket)
{
    auto *idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->setInterval(kIdleTimeoutMs);
    connect(idle, &QTimer::timeout, socket, &QAbstractSocket::disconnectFromHost);
    idle->start();

    // Connected before the HTTP layer sees the socket, so this runs first on
    // every arrival of data.
    connect(socket, &QIODevice::readyRead, this, [this, socket, idle] {
        idle->start();
        if (socket->property(kRefusedProperty).toBool()) {
            socket->readAll();  // discarded: the answer is out, the connection closing
            return;
        }
        const qint64 received = socket->property(kReceivedProperty).toLongLong() + socket->bytesAvailable();
        socket->setProperty(kReceivedProperty, received);
        if (received <= m_settings.maxBodyBytes + kHeaderAllowance)
            return;
        socket->setProperty(kRefusedProperty, true);
        socket->readAll();
        writeReply(socket, 413, "text/plain; charset=utf-8", "Zbyt duże żądanie.\n", true);
    });
}

void SoapHttpServer::writeReply(QTcpSocket *socket, int status, const QByteArray &contentType,
                                const QByteArray &body, bool close)
{
    socket->write(responseHead(status, contentType, body.size(), close) + body);
    if (close)
        socket->disconnectFromHost();
}

bool SoapHttpServer::faultApplies(const QString &operation) const
{
    return m_settings.fault != ServerOptions::Fault::None
        && (m_settings.faultOperation.isEmpty() || m_settings.faultOperation == operation);
}

bool SoapHttpServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    socket->setProperty(kReceivedProperty, 0);
    if (socket->property(kRefusedProperty).toBool())
        return true;
    const bool close = wantsClose(request);
    if (request.url().path() != QLatin1StringView(kServicePath.data(), qsizetype(kServicePath.size()))) {
        writeReply(socket, 404, "text/plain; charset=utf-8", "Nie znaleziono.\n", close);
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Post) {
        writeReply(socket, 405, "text/plain; charset=utf-8", "Dozwolona jest tylko metoda POST.\n", close);
        return true;
    }
    if (request.body().size() > m_settings.maxBodyBytes) {
        writeReply(socket, 413, "text/plain; charset=utf-8", "Zbyt duże żądanie.\n", true);
        return true;
    }
    const QByteArray contentType = request.value("content-type").toLower();
    if (!contentType.isEmpty() && !contentType.contains("xml")) {
        writeReply(socket, 415, "text/plain; charset=utf-8", "Oczekiwano text/xml.\n", close);
        return true;
    }

    const SoapEndpoint::Reply reply = m_endpoint.Handle(request.body());
    ++m_answered;
    const QByteArray xmlType = "text/xml; charset=utf-8";
    if (!faultApplies(reply.operation)) {
        writeReply(socket, reply.status, xmlType, reply.body, close);
        return true;
    }
    switch (m_settings.fault) {
    case ServerOptions::Fault::Slow: {
        // The socket is the timer's context: a client that gave up takes the
        // pending answer with it.
        const QByteArray bytes = responseHead(reply.status, xmlType, reply.body.size(), close) + reply.body;
        QTimer::singleShot(m_settings.faultDelayMs, socket, [socket, bytes, close] {
            socket->write(bytes);
            if (close)
                socket->disconnectFromHost();
        });
        break;
    }
    case ServerOptions::Fault::CloseHalfway:
        socket->write(responseHead(reply.status, xmlType, reply.body.size(), false)
                      + reply.body.left(reply.body.size() / 2));
        socket->disconnectFromHost();
        break;
    case ServerOptions::Fault::Http500:
        writeReply(socket, 500, "text/plain; charset=utf-8", "Wewnętrzny błąd serwera.\n", close);
        break;
    case ServerOptions::Fault::Malformed:
        writeReply(socket, 200, xmlType, reply.body.left(reply.body.size() / 2) + "<<&", close);
        break;
    case ServerOptions::Fault::None:
        break;
    }
    return true;
}

void SoapHttpServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // handleRequest answers everything; kept for the interface.
    writeReply(socket, 404, "text/plain; charset=utf-8", "Nie znaleziono.\n", wantsClose(request));
}

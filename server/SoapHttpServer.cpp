#include "server/SoapHttpServer.h"

#include "common/Errors.h"
#include "protocol/IZOKA_E_BOK.h"
#include "server/DemoService.h"
#include "server/SoapEndpoint.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QPointer>
#include <QSslKey>
#include <QSslSocket>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

using namespace Qt::StringLiterals;

namespace {

// Bytes allowed beyond the body cap for the request line and headers.
constexpr qint64 kHeaderAllowance = 64 * 1024;
const char *const kReceivedProperty = "domvelReceived";
const char *const kIdleTimer = "domvelIdle";
const char *const kRequestTimer = "domvelRequest";
// Added to a throttle wait, so that a timer firing a little early does not
// find the attempt still held.
constexpr int kWaitMarginMs = 50;
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

SoapHttpServer::SoapHttpServer(SoapEndpoint &endpoint, DemoService &service, Settings settings, QObject *parent)
    : QAbstractHttpServer(parent), m_endpoint(endpoint), m_service(service), m_settings(std::move(settings))
{
    // Digests wait their turn rather than take every core from the network.
    m_digests.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
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

QSslConfiguration SoapHttpServer::LoadTls(const QString &certificatePath, const QString &keyPath)
{
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(certificatePath, QSsl::Pem);
    if (certificates.isEmpty())
        throw AppError(u"Nie można odczytać certyfikatu %1."_s.arg(certificatePath));
    QFile keyFile(keyPath);
    if (!keyFile.open(QIODevice::ReadOnly))
        throw AppError(u"Nie można odczytać klucza %1."_s.arg(keyPath));
    const QByteArray pem = keyFile.readAll();
    QSslKey key;
    for (QSsl::KeyAlgorithm algorithm : {QSsl::Ec, QSsl::Rsa, QSsl::Dsa}) {
        key = QSslKey(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            break;
    }
    if (key.isNull())
        throw AppError(u"Plik %1 nie zawiera klucza prywatnego PEM (bez hasła)."_s.arg(keyPath));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(certificates);
    tls.setPrivateKey(key);
    tls.setProtocol(QSsl::SecureProtocols);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);  // clients do not present certificates
    return tls;
}

quint16 SoapHttpServer::Listen(const QHostAddress &address, quint16 port, const QSslConfiguration &tls)
{
    m_tcp = new TlsListener(tls, m_settings.limits, this);
    connect(m_tcp, &TlsListener::connectionAccepted, this, &SoapHttpServer::watch);
    if (!m_tcp->listen(address, port)) {
        const QString why
            = u"Nie można nasłuchiwać na %1:%2: %3"_s.arg(address.toString()).arg(port).arg(m_tcp->errorString());
        delete m_tcp;
        m_tcp = nullptr;
        throw AppError(why);
    }
    bind(m_tcp);
    return m_tcp->serverPort();
}

void SoapHttpServer::watch(QSslSocket *socket)
{
    auto *idle = new QTimer(socket);
    idle->setObjectName(QLatin1StringView(kIdleTimer));
    idle->setSingleShot(true);
    idle->setInterval(m_settings.idleTimeoutMs);
    connect(idle, &QTimer::timeout, socket, &QAbstractSocket::disconnectFromHost);
    idle->start();
    // From a request's first byte to its end; unlike the idle timer, more
    // bytes do not restart it.
    auto *deadline = new QTimer(socket);
    deadline->setObjectName(QLatin1StringView(kRequestTimer));
    deadline->setSingleShot(true);
    deadline->setInterval(m_settings.requestTimeoutMs);
    connect(deadline, &QTimer::timeout, socket, &QAbstractSocket::abort);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_queues.remove(socket); });

    // Connected before the HTTP layer sees the socket, so this runs first on
    // every arrival of data.
    connect(socket, &QIODevice::readyRead, this, [this, socket, idle, deadline] {
        if (!m_queues.contains(socket) || m_queues[socket].head == m_queues[socket].next)
            idle->start();
        if (socket->property(kRefusedProperty).toBool()) {
            socket->readAll();  // discarded: the answer is out, the connection closing
            return;
        }
        if (!deadline->isActive())
            deadline->start();
        const qint64 received = socket->property(kReceivedProperty).toLongLong() + socket->bytesAvailable();
        socket->setProperty(kReceivedProperty, received);
        if (received <= m_settings.maxBodyBytes + kHeaderAllowance)
            return;
        socket->setProperty(kRefusedProperty, true);
        socket->readAll();
        deadline->stop();
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

quint64 SoapHttpServer::reserve(QTcpSocket *socket)
{
    // No idle timeout while an answer is owed.
    if (auto *idle = socket->findChild<QTimer *>(QLatin1StringView(kIdleTimer)))
        idle->stop();
    return m_queues[socket].next++;
}

void SoapHttpServer::fill(QTcpSocket *socket, quint64 slot, const QByteArray &bytes, bool close)
{
    const auto it = m_queues.find(socket);
    if (it == m_queues.end())
        return;
    ReplyQueue &queue = it.value();
    queue.ready.insert(slot, Outgoing{bytes, close});
    while (!queue.ready.isEmpty() && queue.ready.firstKey() == queue.head) {
        const Outgoing out = queue.ready.take(queue.head);
        ++queue.head;
        socket->write(out.bytes);
        if (out.close) {
            socket->disconnectFromHost();
            return;
        }
    }
    if (queue.head == queue.next) {
        if (auto *idle = socket->findChild<QTimer *>(QLatin1StringView(kIdleTimer)))
            idle->start();
    }
}

void SoapHttpServer::fillReply(QTcpSocket *socket, quint64 slot, int status, const QByteArray &contentType,
                               const QByteArray &body, bool close)
{
    fill(socket, slot, responseHead(status, contentType, body.size(), close) + body, close);
}

bool SoapHttpServer::faultApplies(const QString &operation) const
{
    return m_settings.fault != ServerOptions::Fault::None
        && (m_settings.faultOperation.isEmpty() || m_settings.faultOperation == operation);
}

bool SoapHttpServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    socket->setProperty(kReceivedProperty, 0);
    if (auto *deadline = socket->findChild<QTimer *>(QLatin1StringView(kRequestTimer)))
        deadline->stop();
    if (socket->property(kRefusedProperty).toBool())
        return true;
    const bool close = wantsClose(request);
    const quint64 slot = reserve(socket);
    const QByteArray textType = "text/plain; charset=utf-8";
    if (request.url().path() != QLatin1StringView(kServicePath.data(), qsizetype(kServicePath.size()))) {
        fillReply(socket, slot, 404, textType, "Nie znaleziono.\n", close);
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Post) {
        fillReply(socket, slot, 405, textType, "Dozwolona jest tylko metoda POST.\n", close);
        return true;
    }
    if (request.body().size() > m_settings.maxBodyBytes) {
        fillReply(socket, slot, 413, textType, "Zbyt duże żądanie.\n", true);
        return true;
    }
    const QByteArray contentType = request.value("content-type").toLower();
    if (!contentType.isEmpty() && !contentType.contains("xml")) {
        fillReply(socket, slot, 415, textType, "Oczekiwano text/xml.\n", close);
        return true;
    }

    const ServiceResult<SoapRequest> read = m_endpoint.Read(request.body());
    if (!read.ok()) {
        const SoapEndpoint::Reply fault = SoapEndpoint::Fault(u"Client"_s, read.failure().detail);
        ++m_answered;
        fillReply(socket, slot, fault.status, "text/xml; charset=utf-8", fault.body, close);
        return true;
    }
    const SoapRequest &soap = read.value();
    const auto argument = [&](std::string_view name) {
        for (size_t i = 0; i < soap.operation->parameters.size(); ++i) {
            if (soap.operation->parameters[i].name == name)
                if (const QString *text = std::get_if<QString>(&soap.arguments[qsizetype(i)]))
                    return *text;
        }
        return QString();
    };
    const QString address = socket->peerAddress().toString();
    m_service.SetClientAddress(address);
    const DemoService::Preparation preparation = m_service.Prepare(
        soap.operation->name, argument("aLoginE"), argument("aPasswordE"), argument("aPasswordE_New"));
    if (!preparation.job && preparation.waitSeconds <= 0) {
        answer(socket, slot, soap, close);
        return true;
    }

    // Later: the throttle's wait on a timer, then the digest on a worker
    // thread, then the answer on this thread. A client that went away in
    // between takes the pending answer with it.
    const QPointer<QTcpSocket> guard(socket);
    auto finish = [this, guard, slot, soap, close, address](const DemoService::PasswordJob &job,
                                                          const DemoService::PasswordJobResult &result) {
        if (!guard)
            return;
        m_service.Remember(job, result);
        m_service.SetClientAddress(address);
        answer(guard, slot, soap, close);
    };
    auto digest = [this, guard, job = *preparation.job, finish] {
        if (!guard)
            return;
        m_digests.start([this, job, finish] {
            const DemoService::PasswordJobResult result = DemoService::Run(job);
            QMetaObject::invokeMethod(this, [job, result, finish] { finish(job, result); }, Qt::QueuedConnection);
        });
    };
    const int waitMs = preparation.waitSeconds > 0 ? int(preparation.waitSeconds * 1000) + kWaitMarginMs : 0;
    QTimer::singleShot(waitMs, Qt::PreciseTimer, socket, digest);
    return true;
}

void SoapHttpServer::answer(QTcpSocket *socket, quint64 slot, const SoapRequest &request, bool close)
{
    const SoapEndpoint::Reply reply = m_endpoint.Answer(request);
    ++m_answered;
    const QByteArray xmlType = "text/xml; charset=utf-8";
    if (!faultApplies(reply.operation)) {
        fillReply(socket, slot, reply.status, xmlType, reply.body, close);
        return;
    }
    switch (m_settings.fault) {
    case ServerOptions::Fault::Slow: {
        // The socket is the timer's context: a client that gave up takes the
        // pending answer with it.
        const QByteArray bytes = responseHead(reply.status, xmlType, reply.body.size(), close) + reply.body;
        QTimer::singleShot(m_settings.faultDelayMs, socket,
                           [this, socket, slot, bytes, close] { fill(socket, slot, bytes, close); });
        break;
    }
    case ServerOptions::Fault::CloseHalfway:
        fill(socket, slot,
             responseHead(reply.status, xmlType, reply.body.size(), false) + reply.body.left(reply.body.size() / 2),
             true);
        break;
    case ServerOptions::Fault::Http500:
        fillReply(socket, slot, 500, "text/plain; charset=utf-8", "Wewnętrzny błąd serwera.\n", close);
        break;
    case ServerOptions::Fault::Malformed:
        fillReply(socket, slot, 200, xmlType, reply.body.left(reply.body.size() / 2) + "<<&", close);
        break;
    case ServerOptions::Fault::None:
        break;
    }
}

void SoapHttpServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    // handleRequest answers everything; kept for the interface.
    writeReply(socket, 404, "text/plain; charset=utf-8", "Nie znaleziono.\n", wantsClose(request));
}

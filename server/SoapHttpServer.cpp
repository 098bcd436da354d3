#include "server/SoapHttpServer.h"

#include "common/Errors.h"
#include "protocol/IZOKA_E_BOK.h"
#include "server/DemoService.h"
#include "server/SoapEndpoint.h"

#include <QFile>
#include <QPointer>
#include <QSslCipher>
#include <QSslKey>
#include <QSslSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// The request line and header fields of one request together, and how many
// fields it may have.
constexpr qsizetype kMaxHeadBytes = 32 * 1024;
constexpr int kMaxHeaderFields = 100;
// What the socket itself buffers of a connection's incoming bytes; beyond it
// the client's bytes wait in the kernel.
constexpr qint64 kSocketReadBufferBytes = 64 * 1024;
// What the kernel holds of a connection's outgoing bytes. Left to itself it
// grows to megabytes for a client that never reads, each of them an answer
// the server computed for nobody.
constexpr int kSocketSendBufferBytes = 32 * 1024;
// Digests of one request, when the stored password keeps changing under it.
constexpr int kMaxDigestAttempts = 3;
// Requests one connection has handled before the others get their turn.
constexpr int kRequestsPerTurn = 4;
// Addresses that get their turn in one pass of the event loop.
constexpr int kAddressesPerPass = 4;
// How long a connection lingers after its last answer before it is closed.
constexpr int kLingerMs = 1000;
// The idle timeout while more than 3/4 of the connections are open.
constexpr int kPressedIdleMs = 5000;
// How often deadlines are checked.
constexpr int kSweepIntervalMs = 250;
// Added to a throttle wait, so that a timer firing a little early does not
// find the attempt still held.
constexpr int kWaitMarginMs = 50;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 415: return "Unsupported Media Type";
    case 431: return "Request Header Fields Too Large";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 505: return "HTTP Version Not Supported";
    default: return "Error";
    }
}

QByteArray refusalText(int status)
{
    switch (status) {
    case 413: return "Zbyt duże żądanie.\n";
    case 431: return "Zbyt duże lub zbyt liczne nagłówki.\n";
    case 501: return "Nieobsługiwane kodowanie przesyłania.\n";
    case 505: return "Nieobsługiwana wersja HTTP.\n";
    default: return "Nieprawidłowe żądanie.\n";
    }
}

QByteArray responseHead(int status, const QByteArray &contentType, qint64 length, bool close,
                        bool keepAliveHeader = false)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    head += "Content-Type: " + contentType + "\r\n";
    head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    if (status == 405)
        head += "Allow: POST\r\n";
    if (close)
        head += "Connection: close\r\n";
    else if (keepAliveHeader)
        head += "Connection: keep-alive\r\n";
    head += "\r\n";
    return head;
}

} // namespace

SoapHttpServer::SoapHttpServer(SoapEndpoint &endpoint, DemoService &service, Settings settings, QObject *parent)
    : QObject(parent),
      m_endpoint(endpoint),
      m_service(service),
      m_settings(std::move(settings)),
      m_digests(m_settings.digests)
{
    m_sweep.setInterval(kSweepIntervalMs);
    connect(&m_sweep, &QTimer::timeout, this, &SoapHttpServer::sweep);
    // A zero timer fires once per pass of the event loop, after the sockets
    // were polled.
    m_turns.setInterval(0);
    connect(&m_turns, &QTimer::timeout, this, &SoapHttpServer::takeTurns);
}

SoapHttpServer::~SoapHttpServer()
{
    // The listener and its connections go first, while the bookkeeping of
    // the connections still exists.
    delete m_tcp;
    m_tcp = nullptr;
    // Queued digests are for clients that are gone now; only running ones
    // are waited for.
    m_digests.Shutdown();
}

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
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    // TLS 1.2 only with forward-secret AEAD suites (no CBC, no SHA-1 MACs);
    // TLS 1.3 has nothing else.
    QList<QSslCipher> ciphers;
    for (const QSslCipher &cipher : QSslConfiguration::supportedCiphers()) {
        const QString name = cipher.name();
        const bool aead = name.contains(u"GCM"_s) || name.contains(u"CHACHA20"_s);
        if (cipher.protocol() == QSsl::TlsV1_3 || (aead && name.startsWith(u"ECDHE-"_s)))
            ciphers.append(cipher);
    }
    tls.setCiphers(ciphers);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone); // clients do not present certificates
    return tls;
}

quint16 SoapHttpServer::Listen(const QHostAddress &address, quint16 port, const QSslConfiguration &tls)
{
    m_tcp = new TlsListener(tls, m_settings.limits, this);
    connect(m_tcp, &TlsListener::connectionAccepted, this, &SoapHttpServer::watch);
    m_tcp->SetRoomMaker([this] { return makeRoom(); });
    if (!m_tcp->listen(address, port)) {
        const QString why
            = u"Nie można nasłuchiwać na %1:%2: %3"_s.arg(address.toString()).arg(port).arg(m_tcp->errorString());
        delete m_tcp;
        m_tcp = nullptr;
        throw AppError(why);
    }
    m_sweep.start();
    return m_tcp->serverPort();
}

void SoapHttpServer::watch(QSslSocket *socket)
{
    auto owned = std::make_unique<Connection>();
    Connection &c = *owned;
    c.socket = socket;
    c.group = LoginThrottle::AddressGroup(socket->peerAddress());
    c.reader = HttpRequestReader({m_settings.maxBodyBytes, kMaxHeadBytes, kMaxHeaderFields});
    c.idleClock.start();
    m_connections[socket] = std::move(owned);
    // Bounded, so that a connection that is not being read holds little; the
    // rest waits in the kernel and slows the client down.
    socket->setReadBufferSize(kSocketReadBufferBytes);
    socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kSocketSendBufferBytes);
    // Read in turns, address by address: many connections of one client get
    // no more of the serving thread than one connection of another.
    connect(socket, &QIODevice::readyRead, this, [this, socket] {
        if (Connection *c = find(socket))
            queuePump(*c);
    });
    const auto written = [this, socket] {
        Connection *c = find(socket);
        if (!c)
            return;
        updateClocks(*c);
        if (!c->closing && c->socket->bytesAvailable() + c->reader.Buffered() > 0)
            queuePump(*c);
    };
    connect(socket, &QIODevice::bytesWritten, this, written);
    connect(socket, &QSslSocket::encryptedBytesWritten, this, written);
    connect(socket, &QObject::destroyed, this, [this, socket] { m_connections.erase(socket); });
}

SoapHttpServer::Connection *SoapHttpServer::find(QTcpSocket *socket)
{
    const auto it = m_connections.find(socket);
    return it == m_connections.end() ? nullptr : it->second.get();
}

qint64 SoapHttpServer::unsent(const Connection &connection) const
{
    return connection.socket->bytesToWrite() + connection.socket->encryptedBytesToWrite();
}

bool SoapHttpServer::paused(const Connection &connection) const
{
    return connection.next - connection.head >= quint64(kMaxAnswersInFlight)
        || unsent(connection) > m_settings.maxUnsentBytes;
}

void SoapHttpServer::queuePump(Connection &connection)
{
    if (connection.pumpQueued)
        return;
    connection.pumpQueued = true;
    std::deque<QPointer<QSslSocket>> &waiting = m_waiting[connection.group];
    if (waiting.empty())
        m_turnOrder.push_back(connection.group);
    waiting.emplace_back(connection.socket);
    if (!m_turns.isActive())
        m_turns.start();
}

void SoapHttpServer::takeTurns()
{
    // A few addresses a pass, each with one connection for a few requests;
    // between passes the event loop polls the sockets, so a newcomer is read
    // within a pass or two however much others have queued.
    for (int i = 0; i < kAddressesPerPass && !m_turnOrder.empty(); ++i) {
        const QString group = m_turnOrder.front();
        m_turnOrder.pop_front();
        const auto it = m_waiting.find(group);
        if (it == m_waiting.end())
            continue;
        const QPointer<QSslSocket> socket = it->second.front();
        it->second.pop_front();
        if (it->second.empty())
            m_waiting.erase(it);
        else
            m_turnOrder.push_back(group);
        if (!socket)
            continue;
        if (Connection *c = find(socket)) {
            c->pumpQueued = false;
            pump(*c);
        }
    }
    if (m_turnOrder.empty())
        m_turns.stop();
}

void SoapHttpServer::pump(Connection &c)
{
    QSslSocket *socket = c.socket;
    if (c.closing) {
        // The last answer is out or on its way; anything further is dropped.
        socket->skip(socket->bytesAvailable());
        updateClocks(c);
        return;
    }
    int handled = 0;
    while (socket->state() == QAbstractSocket::ConnectedState && !paused(c)) {
        if (handled == kRequestsPerTurn) {
            // The other connections' turn: one client's pipelined burst
            // must not hold the thread that serves everyone.
            queuePump(c);
            break;
        }
        const qint64 take = std::min(c.reader.Room(), socket->bytesAvailable());
        if (take > 0)
            c.reader.Append(socket->read(take));
        HttpRequestReader::Request request;
        const HttpRequestReader::Result result = c.reader.Next(request);
        if (result == HttpRequestReader::Result::Complete) {
            ++handled;
            handle(c, request);
            if (c.closing)
                break;
            continue;
        }
        if (result == HttpRequestReader::Result::Refused) {
            // Framing that could be read two ways, or beyond a bound: the
            // connection ends after this answer.
            const quint64 slot = reserve(c);
            c.closing = true;
            const int status = c.reader.RefusalStatus();
            fillReply(socket, slot, status, "text/plain; charset=utf-8", refusalText(status), true);
            socket->skip(socket->bytesAvailable());
            break;
        }
        if (c.reader.TakeContinue() && c.head == c.next)
            socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        if (take <= 0 || socket->bytesAvailable() == 0 || c.reader.Room() == 0)
            break;
    }
    updateClocks(c);
}

void SoapHttpServer::updateClocks(Connection &c)
{
    const bool reading = !c.closing && !paused(c);
    const bool partial = c.reader.HasPartialRequest();
    // A request's deadline runs while its bytes are read, not while the
    // connection waits for its own answers.
    if (reading && partial) {
        if (!c.requestClock.isValid())
            c.requestClock.start();
    } else {
        c.requestClock.invalidate();
    }
    const bool pending = unsent(c) > 0;
    if (pending && !c.drainClock.isValid())
        c.drainClock.start();
    else if (!pending)
        c.drainClock.invalidate();
    const bool idle = !pending && !partial && c.head == c.next && c.socket->bytesAvailable() == 0;
    if (idle && !c.idleClock.isValid())
        c.idleClock.start();
    else if (!idle)
        c.idleClock.invalidate();
}

bool SoapHttpServer::makeRoom()
{
    // The longest-idle connection of the address that holds the most.
    Connection *victim = nullptr;
    int victimCount = 0;
    for (const auto &[socket, c] : m_connections) {
        if (!c->idleClock.isValid() || c->socket->state() != QAbstractSocket::ConnectedState)
            continue;
        const int count = m_tcp->ConnectionsOf(m_tcp->AddressOf(c->socket));
        if (!victim || count > victimCount
            || (count == victimCount && c->idleClock.elapsed() > victim->idleClock.elapsed())) {
            victim = c.get();
            victimCount = count;
        }
    }
    if (!victim)
        return false;
    m_tcp->Release(victim->socket);
    victim->socket->abort();
    return true;
}

void SoapHttpServer::sweep()
{
    // Near the cap, idle connections are closed sooner.
    const TlsListener::Limits &limits = m_tcp->ConnectionLimits();
    const bool pressed = m_tcp->OpenConnections() * 4 > limits.maxConnections * 3;
    const int idleMs = pressed ? std::min(m_settings.idleTimeoutMs, kPressedIdleMs) : m_settings.idleTimeoutMs;
    std::vector<QPointer<QSslSocket>> cut;
    std::vector<QPointer<QSslSocket>> idle;
    for (const auto &[socket, c] : m_connections) {
        if (c->requestClock.isValid() && c->requestClock.hasExpired(m_settings.requestTimeoutMs))
            cut.emplace_back(c->socket);
        else if (c->drainClock.isValid() && c->drainClock.hasExpired(m_settings.drainTimeoutMs))
            cut.emplace_back(c->socket);
        else if (c->idleClock.isValid() && c->idleClock.hasExpired(idleMs))
            idle.emplace_back(c->socket);
    }
    for (const QPointer<QSslSocket> &socket : cut) {
        if (socket)
            socket->abort();
    }
    for (const QPointer<QSslSocket> &socket : idle) {
        if (socket)
            socket->disconnectFromHost();
    }
}

void SoapHttpServer::enforceTotalUnsent()
{
    qint64 total = 0;
    std::vector<std::pair<qint64, QPointer<QSslSocket>>> backlogs;
    for (const auto &[socket, c] : m_connections) {
        const qint64 bytes = unsent(*c);
        if (bytes > 0) {
            total += bytes;
            backlogs.emplace_back(bytes, c->socket);
        }
    }
    if (total <= m_settings.maxUnsentTotalBytes)
        return;
    // The largest backlogs go first: one client's unread answers must not
    // push out the others'.
    std::sort(backlogs.begin(), backlogs.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    for (const auto &[bytes, socket] : backlogs) {
        if (total <= m_settings.maxUnsentTotalBytes)
            break;
        if (socket)
            socket->abort();
        total -= bytes;
    }
}

quint64 SoapHttpServer::reserve(Connection &connection)
{
    return connection.next++;
}

void SoapHttpServer::fill(QTcpSocket *socket, quint64 slot, const QByteArray &bytes, bool close)
{
    Connection *c = find(socket);
    if (!c)
        return;
    c->ready.insert(slot, Outgoing{bytes, close});
    bool wrote = false;
    while (!c->ready.isEmpty() && c->ready.firstKey() == c->head) {
        const Outgoing out = c->ready.take(c->head);
        ++c->head;
        socket->write(out.bytes);
        wrote = true;
        if (out.close) {
            c->closing = true;
            c->ready.clear();
            // Closed a little later, while what still arrives is read and
            // dropped: a socket closed with unread input resets the
            // connection, and the client may lose the answer with it.
            QTimer::singleShot(kLingerMs, socket, &QAbstractSocket::disconnectFromHost);
            break;
        }
    }
    if (!wrote)
        return;
    updateClocks(*c);
    // Fewer answers owed: requests that waited may be read now.
    if (!c->closing)
        queuePump(*c);
    enforceTotalUnsent();
}

void SoapHttpServer::fillReply(QTcpSocket *socket, quint64 slot, int status, const QByteArray &contentType,
                               const QByteArray &body, bool close, bool keepAliveHeader)
{
    fill(socket, slot, responseHead(status, contentType, body.size(), close, keepAliveHeader) + body, close);
}

bool SoapHttpServer::faultApplies(const QString &operation) const
{
    return m_settings.fault != ServerOptions::Fault::None
        && (m_settings.faultOperation.isEmpty() || m_settings.faultOperation == operation);
}

void SoapHttpServer::handle(Connection &c, const HttpRequestReader::Request &request)
{
    QSslSocket *socket = c.socket;
    // An upgrade (WebSocket) gets one answer and the end of the connection:
    // the service speaks nothing but HTTP.
    const bool close = !request.KeepAlive() || !request.value("upgrade").isEmpty();
    const bool keepAliveHeader = !close && request.minorVersion == 0;
    const quint64 slot = reserve(c);
    if (close)
        c.closing = true;
    const QByteArray textType = "text/plain; charset=utf-8";
    if (request.Path() != QByteArrayView(kServicePath.data(), qsizetype(kServicePath.size()))) {
        fillReply(socket, slot, 404, textType, "Nie znaleziono.\n", close, keepAliveHeader);
        return;
    }
    if (request.method != "POST") {
        fillReply(socket, slot, 405, textType, "Dozwolona jest tylko metoda POST.\n", close, keepAliveHeader);
        return;
    }
    const QByteArray contentType = request.value("content-type").toLower();
    if (!contentType.isEmpty() && !contentType.contains("xml")) {
        fillReply(socket, slot, 415, textType, "Oczekiwano text/xml.\n", close, keepAliveHeader);
        return;
    }

    const ServiceResult<SoapRequest> read = m_endpoint.Read(request.body);
    if (!read.ok()) {
        const SoapEndpoint::Reply fault = SoapEndpoint::Fault(u"Client"_s, read.failure().detail);
        ++m_answered;
        fillReply(socket, slot, fault.status, "text/xml; charset=utf-8", fault.body, close, keepAliveHeader);
        return;
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
    const QString address = LoginThrottle::AddressGroup(socket->peerAddress());
    m_service.SetClientAddress(address);
    const DemoService::Preparation preparation = m_service.Prepare(soap.operation->name, argument("aLoginE"),
                                                                   argument("aPasswordE"), argument("aPasswordE_New"));
    if (preparation.refusal || !preparation.job) {
        answer(socket, slot, soap, close, keepAliveHeader, preparation.refusal);
        return;
    }

    // Later: the throttle's wait on a timer, then the digest on a worker
    // thread, then the answer on this thread. A client that went away in
    // between takes the pending answer with it.
    const QPointer<QTcpSocket> guard(socket);
    const Reply reply = [this, guard, slot, soap, close, keepAliveHeader, address](std::optional<qint32> refusal) {
        if (!guard)
            return;
        m_service.SetClientAddress(address);
        answer(guard, slot, soap, close, keepAliveHeader, refusal);
    };
    const int waitMs = preparation.waitSeconds > 0 ? int(preparation.waitSeconds * 1000) + kWaitMarginMs : 0;
    if (waitMs == 0) {
        startDigest(guard, *preparation.job, reply);
        return;
    }
    QTimer::singleShot(waitMs, Qt::PreciseTimer, socket,
                       [this, guard, job = *preparation.job, reply] { startDigest(guard, job, reply); });
}

void SoapHttpServer::startDigest(const QPointer<QTcpSocket> &guard, const DemoService::PasswordJob &job,
                                 const Reply &reply, int attempt)
{
    const auto admit = [this, guard, job, reply] {
        if (!guard)
            return false; // the client has gone: no digest for nobody
        // Another connection's failure may have made this attempt wait.
        if (m_service.WaitBeforeDigest(job) > 0) {
            reply(DemoService::LoginLocked);
            return false;
        }
        return true;
    };
    const auto done = [this, guard, job, reply, attempt](const DemoService::PasswordJobResult &result) {
        if (!guard)
            return;
        // The password changed while the digest ran: the answer needs a
        // digest of the stored value of now, from a worker too.
        if (const std::optional<DemoService::PasswordJob> fresh = m_service.Refreshed(job)) {
            if (attempt + 1 < kMaxDigestAttempts)
                startDigest(guard, *fresh, reply, attempt + 1);
            else
                reply(DemoService::Busy);
            return;
        }
        m_service.Remember(job, result);
        reply(std::nullopt);
    };
    if (!m_digests.Enqueue(job.client, job, admit, done, [reply] { reply(DemoService::Busy); }))
        reply(DemoService::Busy);
}

void SoapHttpServer::answer(QTcpSocket *socket, quint64 slot, const SoapRequest &request, bool close,
                            bool keepAliveHeader, std::optional<qint32> refusal)
{
    m_service.SetRefusal(refusal);
    const SoapEndpoint::Reply reply = m_endpoint.Answer(request);
    m_service.SetRefusal(std::nullopt);
    ++m_answered;
    const QByteArray xmlType = "text/xml; charset=utf-8";
    if (!faultApplies(reply.operation)) {
        fillReply(socket, slot, reply.status, xmlType, reply.body, close, keepAliveHeader);
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
    case ServerOptions::Fault::None: break;
    }
}

// The demo server executable under hostile clients on loopback: a burst of
// connections closed without a byte, idle TLS connections up to near its
// descriptor limit or filling its connection cap, slow-loris requests, floods
// of logins with enormous names, clients that never read their answers,
// sign-ins beyond what the cores can digest, guesses of one password from 200
// addresses or through Logout, a tenant changing its password under its own
// sign-ins, ambiguous HTTP framing, pipelined requests outlasting the request
// deadline and a stop with a full digest queue. During and after each, a
// well-behaved client signs in and reads a year within a few times what it
// took before the attacks, and the server's memory stays within its start,
// the budgets and an allowance.
//
// The attackers bind to other loopback addresses (127.0.0.2 unless a case
// needs many: other hosts, as far as the server can tell); the good client
// comes from 127.0.0.1. All traffic goes to the server on 127.0.0.1. Every
// load is bounded in count and time; cases that change the server's state or
// need other options run a server of their own.

#include "testing/ServerProcess.h"

#include "common/SanitizedBuild.h"

#include "protocol/CredentialEncoding.h"
#include "protocol/SoapCodec.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QSslSocket>
#include <QStringList>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kLogin = u"kowalski"_s;
const QString kPassword = u"Kowalski1"_s;
const QHostAddress kAttackerAddress(u"127.0.0.2"_s);
// The descriptor limit the server runs under.
constexpr int kOpenFilesLimit = 256;
// Instrumented code runs a few times slower, and AddressSanitizer keeps up to
// 256 MiB of freed blocks in quarantine, resident, to catch use after free;
// with the shadow of that memory and the allocator's per-thread caches (a
// password digest allocates at every round) it holds up to twice as much.
constexpr qint64 kSlowdown = kSanitizedBuild ? 3 : 1;
constexpr qint64 kQuarantineKb = kSanitizedBuild ? 2 * 256 * 1024 : 0;
// A good client's sign-in and yearly query may take this many times its own
// time before the attacks, plus a fixed allowance for a busy machine.
// In the sanitized build each allocation records its whole stack (the
// suppressions need them), which makes a request many times dearer than the
// instrumentation alone: the good client then waits longer for its share.
constexpr qint64 kServedFactor = 3;
constexpr qint64 kServedAllowanceMs = kSanitizedBuild ? 3000 : 300;
// Growth of the server's resident memory allowed over a whole attack.
constexpr qint64 kRssGrowthLimitKb = 64 * 1024 + kQuarantineKb;

qint64 residentKb(qint64 pid)
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

QByteArray servicePath()
{
    return QByteArray(kServicePath.data(), qsizetype(kServicePath.size()));
}

QByteArray httpPost(const QByteArray &body)
{
    return "POST " + servicePath()
        + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml; charset=utf-8\r\n"
          "Content-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray soapPost(std::string_view operation, const QList<SoapArgument> &arguments)
{
    return httpPost(SoapCodec::WriteRequest(*FindOperation(operation), arguments).value());
}

QByteArray loginRequest(const QString &login, const QString &password)
{
    return soapPost("ZOKA_WS_CzSessionBegin", {EncodeCredential(login), EncodeCredential(password)});
}

QString randomName(qsizetype length)
{
    QString name(length, Qt::Uninitialized);
    for (QChar &c : name)
        c = QChar(u'a' + QRandomGenerator::global()->bounded(26));
    return name;
}

// Sockets of an attacker (on 127.0.0.2 unless told), all driven from the
// test's event loop.
class Attacker
{
public:
    explicit Attacker(quint16 port, const QHostAddress &address = kAttackerAddress) : m_port(port), m_address(address)
    {
    }

    // Opens `count` connections; with `tls`, each starts a TLS handshake.
    void Open(int count, bool tls)
    {
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QSslSocket>();
            socket->setPeerVerifyMode(QSslSocket::VerifyNone);
            socket->bind(m_address);
            if (tls)
                socket->connectToHostEncrypted(u"127.0.0.1"_s, m_port);
            else
                socket->connectToHost(QHostAddress::LocalHost, m_port);
            m_sockets.push_back(std::move(socket));
        }
    }

    // Waits (bounded) until no socket is still connecting or handshaking.
    void Settle(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!deadline.hasExpired() && pending() > 0)
            QTest::qWait(20);
    }

    int Connected() const
    {
        int n = 0;
        for (const auto &socket : m_sockets)
            n += socket->state() == QAbstractSocket::ConnectedState ? 1 : 0;
        return n;
    }

    int Encrypted() const
    {
        int n = 0;
        for (const auto &socket : m_sockets)
            n += socket->state() == QAbstractSocket::ConnectedState && socket->isEncrypted() ? 1 : 0;
        return n;
    }

    void WriteToEncrypted(const QByteArray &bytes)
    {
        for (const auto &socket : m_sockets) {
            if (socket->state() == QAbstractSocket::ConnectedState && socket->isEncrypted())
                socket->write(bytes);
        }
    }

    void Abort()
    {
        for (const auto &socket : m_sockets)
            socket->abort();
        m_sockets.clear();
    }

private:
    int pending() const
    {
        int n = 0;
        for (const auto &socket : m_sockets) {
            const auto state = socket->state();
            if (state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState
                || (state == QAbstractSocket::ConnectedState && socket->mode() != QSslSocket::UnencryptedMode
                    && !socket->isEncrypted()))
                ++n;
        }
        return n;
    }

    quint16 m_port;
    QHostAddress m_address;
    std::vector<std::unique_ptr<QSslSocket>> m_sockets;
};

// Connections from one address that send requests and never read a byte of
// the answers: their sockets buffer little, so the answers pile up in the
// server. A connection the server closes is opened again at once.
class NeverReader
{
public:
    NeverReader(quint16 port, QByteArray request, int connections) : m_port(port), m_request(std::move(request))
    {
        m_sockets.resize(size_t(connections));
        QObject::connect(&m_timer, &QTimer::timeout, [this] { topUp(); });
    }

    void Start()
    {
        topUp();
        m_timer.start(50);
    }
    void Stop()
    {
        m_timer.stop();
        for (auto &socket : m_sockets) {
            if (socket)
                socket->abort();
        }
    }
    // Connections the server ended, and requests written.
    int Ended() const { return m_ended; }
    qint64 Requests() const { return m_requests; }

private:
    void topUp()
    {
        for (auto &socket : m_sockets) {
            if (socket && socket->state() == QAbstractSocket::UnconnectedState) {
                ++m_ended;
                socket.reset();
            }
            if (!socket) {
                socket = std::make_unique<QSslSocket>();
                socket->setPeerVerifyMode(QSslSocket::VerifyNone);
                socket->setReadBufferSize(4096);
                socket->bind(kAttackerAddress);
                socket->connectToHostEncrypted(u"127.0.0.1"_s, m_port);
            }
            // Keeps a little queued on our side, never an unbounded amount.
            while (socket->isEncrypted() && socket->bytesToWrite() + socket->encryptedBytesToWrite() < 16 * 1024) {
                socket->write(m_request);
                ++m_requests;
            }
        }
    }

    quint16 m_port;
    QByteArray m_request;
    std::vector<std::unique_ptr<QSslSocket>> m_sockets;
    QTimer m_timer;
    int m_ended = 0;
    qint64 m_requests = 0;
};

// Keep-alive TLS connections from one address that send requests (all at
// once or at a pace) and read the answers, counting them by RetCode (-1 for
// an answer without one, as an HTTP error).
class RequestFlood
{
public:
    RequestFlood(quint16 port, const QHostAddress &address, int connections) : m_port(port)
    {
        for (int i = 0; i < connections; ++i) {
            auto peer = std::make_unique<Peer>();
            peer->socket.setPeerVerifyMode(QSslSocket::VerifyNone);
            peer->socket.bind(address);
            Peer *raw = peer.get();
            QObject::connect(&peer->socket, &QIODevice::readyRead, [this, raw] { read(*raw); });
            peer->socket.connectToHostEncrypted(u"127.0.0.1"_s, m_port);
            m_peers.push_back(std::move(peer));
        }
    }

    bool WaitEncrypted(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        const auto all = [this] {
            return std::all_of(m_peers.begin(), m_peers.end(), [](const auto &p) { return p->socket.isEncrypted(); });
        };
        while (!all() && !deadline.hasExpired())
            QTest::qWait(20);
        return all();
    }

    // Writes the request on every connection `count` times.
    void SendEach(const std::function<QByteArray()> &request, int count = 1)
    {
        for (const auto &peer : m_peers) {
            QByteArray bytes;
            for (int i = 0; i < count; ++i)
                bytes += request();
            peer->socket.write(bytes);
            m_sent += count;
        }
    }

    bool WaitAnswered(qint64 count, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (m_answered < count && !deadline.hasExpired())
            QTest::qWait(20);
        return m_answered >= count;
    }

    qint64 Sent() const { return m_sent; }
    qint64 Answered() const { return m_answered; }
    int Count(int code) const { return m_codes.value(code); }
    QString Codes() const
    {
        QStringList parts;
        for (auto it = m_codes.begin(); it != m_codes.end(); ++it)
            parts << u"%1: %2"_s.arg(it.key()).arg(it.value());
        return parts.join(u", "_s);
    }

private:
    struct Peer
    {
        QSslSocket socket;
        QByteArray received;
    };

    void read(Peer &peer)
    {
        peer.received += peer.socket.readAll();
        for (;;) {
            const qsizetype headEnd = peer.received.indexOf("\r\n\r\n");
            if (headEnd < 0)
                return;
            const QByteArray head = peer.received.left(headEnd).toLower();
            const qsizetype at = head.indexOf("content-length:");
            const qint64 length = at < 0 ? 0 : head.mid(at + 15).split('\r').first().trimmed().toLongLong();
            if (peer.received.size() < headEnd + 4 + length)
                return;
            const QByteArray body = peer.received.mid(headEnd + 4, length);
            peer.received.remove(0, headEnd + 4 + length);
            const qsizetype code = body.indexOf("<RetCode");
            const qsizetype value = code < 0 ? -1 : body.indexOf('>', code);
            ++m_codes[value < 0 ? -1 : body.mid(value + 1, 4).split('<').first().toInt()];
            ++m_answered;
        }
    }

    quint16 m_port;
    std::vector<std::unique_ptr<Peer>> m_peers;
    QMap<int, int> m_codes;
    qint64 m_sent = 0;
    qint64 m_answered = 0;
};

// A tenant changing its own password back and forth, as fast as the server
// answers, over one connection from one address.
class PasswordFlipper
{
public:
    PasswordFlipper(quint16 port, const QHostAddress &address, QString login, QString first, QString second)
        : m_login(std::move(login)), m_passwords{std::move(first), std::move(second)}
    {
        m_socket.setPeerVerifyMode(QSslSocket::VerifyNone);
        m_socket.bind(address);
        QObject::connect(&m_socket, &QSslSocket::encrypted, [this] {
            m_socket.write(
                soapPost("ZOKA_WS_CzSessionBegin", {EncodeCredential(m_login), EncodeCredential(Current())}));
        });
        QObject::connect(&m_socket, &QIODevice::readyRead, [this] { read(); });
        m_socket.connectToHostEncrypted(u"127.0.0.1"_s, port);
    }

    void Stop() { m_stopped = true; }
    const QString &Current() const { return m_passwords[m_current]; }
    int Changes() const { return m_changes; }

private:
    void read()
    {
        m_received += m_socket.readAll();
        const qsizetype headEnd = m_received.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const QByteArray head = m_received.left(headEnd).toLower();
        const qsizetype at = head.indexOf("content-length:");
        const qint64 length = at < 0 ? 0 : head.mid(at + 15).split('\r').first().trimmed().toLongLong();
        if (m_received.size() < headEnd + 4 + length)
            return;
        const QByteArray body = m_received.mid(headEnd + 4, length);
        m_received.clear();
        if (m_token.isEmpty()) {
            const auto begin = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", body);
            if (!begin.ok() || begin.value().RetCode != 0)
                return;
            m_token = begin.value().SessionToken;
        } else {
            const auto changed = SoapCodec::ReadAnswer<TRemChangePasswordData>("ZOKA_WS_ChangePassword", body);
            if (changed.ok() && changed.value().RetCode == 0) {
                m_token = changed.value().SessionToken;
                m_current = 1 - m_current;
                ++m_changes;
            }
        }
        if (m_stopped)
            return;
        m_socket.write(soapPost("ZOKA_WS_ChangePassword",
                                {EncodeCredential(m_login), EncodeCredential(Current()), m_token,
                                 EncodeCredential(m_passwords[1 - m_current])}));
    }

    QSslSocket m_socket;
    QString m_login;
    QString m_passwords[2];
    int m_current = 0;
    QString m_token;
    QByteArray m_received;
    int m_changes = 0;
    bool m_stopped = false;
};

QHostAddress loopback(int last)
{
    return QHostAddress(u"127.0.0.%1"_s.arg(last));
}

QHostAddress loopback(int third, int last)
{
    return QHostAddress(u"127.0.%1.%2"_s.arg(third).arg(last));
}

// One request over a TLS connection from the attacker's address; answers the
// HTTP status, or 0 when no complete answer came in time, and the body.
int postFromAttacker(QSslSocket &socket, quint16 port, const QByteArray &request, int timeoutMs,
                     QByteArray *body = nullptr)
{
    QDeadlineTimer deadline(timeoutMs);
    if (socket.state() != QAbstractSocket::ConnectedState) {
        socket.abort();
        socket.setPeerVerifyMode(QSslSocket::VerifyNone);
        socket.bind(kAttackerAddress);
        socket.connectToHostEncrypted(u"127.0.0.1"_s, port);
        if (!socket.waitForEncrypted(int(deadline.remainingTime())))
            return 0;
    }
    socket.write(request);
    QByteArray answer;
    while (!deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            break;
        answer += socket.readAll();
        const qsizetype headEnd = answer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            continue;
        const QByteArray head = answer.left(headEnd).toLower();
        const qsizetype at = head.indexOf("content-length:");
        const qint64 length = at < 0 ? 0 : head.mid(at + 15).split('\r').first().trimmed().toLongLong();
        if (answer.size() - headEnd - 4 >= length) {
            if (head.contains("connection: close"))
                socket.disconnectFromHost();
            if (body)
                *body = answer.mid(headEnd + 4, length);
            return answer.mid(9, 3).toInt();
        }
    }
    return 0;
}

// Writes the bytes over a new TLS connection from the attacker's address and
// reads until the server closes it or `waitMs` pass; `closed` tells which.
QByteArray rawExchange(quint16 port, const QByteArray &bytes, int waitMs, bool &closed)
{
    QSslSocket socket;
    socket.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket.bind(kAttackerAddress);
    socket.connectToHostEncrypted(u"127.0.0.1"_s, port);
    closed = false;
    if (!socket.waitForEncrypted(5000))
        return {};
    socket.write(bytes);
    QByteArray received;
    QDeadlineTimer deadline(waitMs);
    while (!deadline.hasExpired() && socket.state() == QAbstractSocket::ConnectedState) {
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        received += socket.readAll();
    }
    received += socket.readAll();
    closed = socket.state() != QAbstractSocket::ConnectedState;
    return received;
}

} // namespace

class tst_ServerAttack : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void connectCloseBurst();
    void idleConnectionsNearTheDescriptorLimit();
    void slowLoris();
    void longLoginFlood();
    void clientsThatNeverRead_data();
    void clientsThatNeverRead();
    void signInsWithinTheAllowance();
    void signInFloodFromOneAddress();
    void ownPasswordChangesDuringSignIns();
    void guessesThroughLogout();
    void ambiguousFraming_data();
    void pipelinedRequestsOutlastTheDeadline();
    void stopWithAFullDigestQueue();
    void addressesFillingTheConnectionCap();
    void guessesFromTwoHundredAddresses();
    void ambiguousFraming();

private:
    // A fresh client (a new connection) signs in and reads a year; `elapsed`
    // gets the milliseconds it took.
    void timeServed(const ServerProcess &server, const char *when, qint64 &elapsed);
    // timeServed, within kServedFactor times the baseline plus the allowance.
    void expectServed(const ServerProcess &server, const char *when);
    void expectBoundedMemory(const char *when);
    void expectBoundedMemory(const ServerProcess &server, qint64 startRssKb, const char *when);
    // A server of its own with the options, and its resident memory once it
    // has served the good client.
    void startServer(ServerProcess &server, const QStringList &options, qint64 &startRssKb);
    // The good client's time (the median of three) into m_baselineMs.
    void measureBaseline(const ServerProcess &server, const char *when);

    QTemporaryDir m_dir;
    ServerProcess m_server;
    qint64 m_startRssKb = 0;
    qint64 m_baselineMs = 0;
};

void tst_ServerAttack::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_server.SetLauncher({u"prlimit"_s, u"--nofile=%1:%1"_s.arg(kOpenFilesLimit)});
    QString error;
    QVERIFY2(m_server.Start(m_dir.path(), {}, &error), qPrintable(error));
    measureBaseline(m_server, "before the attacks");
    QVERIFY(!QTest::currentTestFailed());
    qInfo("baseline: sign-in and yearly query in %lld ms", m_baselineMs);
    m_startRssKb = residentKb(m_server.Pid());
    QVERIFY(m_startRssKb > 0);
}

void tst_ServerAttack::init()
{
    // Each attack is compared with the good client's time just before it.
    measureBaseline(m_server, "before the attack");
}

void tst_ServerAttack::cleanupTestCase()
{
    m_server.Stop();
}

void tst_ServerAttack::timeServed(const ServerProcess &server, const char *when, qint64 &elapsed)
{
    elapsed = -1;
    TestClient client(m_dir.filePath(u"server-cert.pem"_s), int(5000 * kSlowdown));
    QElapsedTimer timer;
    timer.start();
    const TestClient::Response login = client.Call(server.Url(u"127.0.0.1"_s), "ZOKA_WS_CzSessionBegin",
                                                   {EncodeCredential(kLogin), EncodeCredential(kPassword)});
    QVERIFY2(login.error == QNetworkReply::NoError && login.status == 200,
             qPrintable(u"%1: sign-in failed after %2 ms: HTTP %3, %4"_s.arg(QLatin1StringView(when))
                            .arg(timer.elapsed())
                            .arg(login.status)
                            .arg(login.errorText)));
    const auto begin = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", login.body);
    QVERIFY2(begin.ok() && begin.value().RetCode == 0, when);
    const int year = QDate::currentDate().year();
    const TestClient::Response query = client.Call(
        server.Url(u"127.0.0.1"_s), "ZOKA_WS_YearRozrachGet",
        {EncodeCredential(kLogin), EncodeCredential(kPassword), begin.value().SessionToken, qint32(year)});
    elapsed = timer.elapsed();
    QVERIFY2(query.error == QNetworkReply::NoError && query.status == 200,
             qPrintable(u"%1: yearly query failed: %2"_s.arg(QLatin1StringView(when), query.errorText)));
    const auto figures = SoapCodec::ReadAnswer<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet", query.body);
    QVERIFY2(figures.ok() && figures.value().RetCode == 0, when);
    qInfo("%s: sign-in and yearly query in %lld ms", when, elapsed);
}

void tst_ServerAttack::expectServed(const ServerProcess &server, const char *when)
{
    qint64 elapsed = -1;
    timeServed(server, when, elapsed);
    if (QTest::currentTestFailed())
        return;
    const qint64 bound = kServedFactor * m_baselineMs + kServedAllowanceMs;
    QVERIFY2(elapsed >= 0 && elapsed <= bound,
             qPrintable(u"%1: sign-in and yearly query took %2 ms, more than %3 ms (%4 ms before the attacks)"_s
                            .arg(QLatin1StringView(when))
                            .arg(elapsed)
                            .arg(bound)
                            .arg(m_baselineMs)));
}

void tst_ServerAttack::expectBoundedMemory(const char *when)
{
    expectBoundedMemory(m_server, m_startRssKb, when);
}

void tst_ServerAttack::expectBoundedMemory(const ServerProcess &server, qint64 startRssKb, const char *when)
{
    const qint64 rss = residentKb(server.Pid());
    qInfo("%s: resident memory %lld KiB (at start %lld KiB)", when, rss, startRssKb);
    QVERIFY2(
        rss > 0 && rss - startRssKb < kRssGrowthLimitKb,
        qPrintable(
            u"%1: resident memory grew from %2 to %3 KiB"_s.arg(QLatin1StringView(when)).arg(startRssKb).arg(rss)));
}

void tst_ServerAttack::connectCloseBurst()
{
    // What a port scan does: connect and close without a byte, in numbers.
    for (int round = 0; round < 3; ++round) {
        Attacker attacker(m_server.port());
        attacker.Open(40, false);
        attacker.Settle(5000);
        attacker.Abort();
        expectServed(m_server, "after a burst of connections closed at once");
        if (QTest::currentTestFailed())
            return;
    }
    expectBoundedMemory("after the bursts");
}

void tst_ServerAttack::idleConnectionsNearTheDescriptorLimit()
{
    Attacker attacker(m_server.port());
    attacker.Open(kOpenFilesLimit - 16, true);
    attacker.Settle(20000);
    // Let the server close what it does not keep.
    QTest::qWait(500);
    qInfo("idle TLS connections kept by the server: %d of %d", attacker.Connected(), kOpenFilesLimit - 16);
    expectServed(m_server, "while idle connections are held");
    QVERIFY2(attacker.Connected() < kOpenFilesLimit / 2, "one address may not hold most of the server's descriptors");
    attacker.Abort();
    expectServed(m_server, "after the idle connections closed");
    expectBoundedMemory("after the idle connections");
}

void tst_ServerAttack::slowLoris()
{
    // A separate server with a short request deadline keeps the test short.
    ServerProcess server;
    QString error;
    QVERIFY2(server.Start(m_dir.path(), {u"--request-timeout"_s, u"3"_s}, &error), qPrintable(error));
    Attacker attacker(server.port());
    attacker.Open(40, true);
    attacker.Settle(10000);
    QVERIFY(attacker.Encrypted() > 0);
    attacker.WriteToEncrypted("POST " + servicePath() + " HTTP/1.1\r\n");
    QElapsedTimer timer;
    timer.start();
    // One byte a second each, for at most 8 s: none completes a request.
    while (timer.elapsed() < 8000 && attacker.Connected() > 0) {
        attacker.WriteToEncrypted("X");
        QTest::qWait(1000);
    }
    const int held = attacker.Connected();
    qInfo("slow requests still open after %lld ms: %d", timer.elapsed(), held);
    expectServed(server, "while slow requests trickle in");
    QVERIFY2(held == 0, "a request that does not arrive within its deadline must end its connection");
    attacker.Abort();
}

void tst_ServerAttack::longLoginFlood()
{
    // Logins of a million characters, each one new, one after another on a
    // kept-alive connection, bounded in count and time.
    constexpr int kRequests = 120;
    QSslSocket socket;
    QElapsedTimer timer;
    timer.start();
    int answered = 0;
    for (int i = 0; i < kRequests && timer.elapsed() < 40000; ++i) {
        const int status
            = postFromAttacker(socket, m_server.port(), loginRequest(randomName(1000000), kPassword), 5000);
        answered += status != 0 ? 1 : 0;
        if (i == kRequests / 2)
            expectServed(m_server, "during a flood of long logins");
    }
    socket.abort();
    qInfo("long logins answered: %d of %d in %lld ms", answered, kRequests, timer.elapsed());
    expectServed(m_server, "after a flood of long logins");
    expectBoundedMemory("after a flood of long logins");
}

void tst_ServerAttack::measureBaseline(const ServerProcess &server, const char *when)
{
    // The good client's own time on this machine, now: the median of three.
    std::vector<qint64> times;
    for (int i = 0; i < 3; ++i) {
        qint64 elapsed = -1;
        timeServed(server, when, elapsed);
        if (QTest::currentTestFailed())
            return;
        times.push_back(elapsed);
    }
    std::sort(times.begin(), times.end());
    m_baselineMs = times[1];
}

void tst_ServerAttack::startServer(ServerProcess &server, const QStringList &options, qint64 &startRssKb)
{
    QString error;
    QVERIFY2(server.Start(m_dir.path(), options, &error), qPrintable(error));
    // The baseline of this attack, measured just before it: the machine's
    // load may have changed since the start of the run.
    measureBaseline(server, "before the attack, on a server of its own");
    startRssKb = residentKb(server.Pid());
}

void tst_ServerAttack::clientsThatNeverRead_data()
{
    QTest::addColumn<bool>("account");
    QTest::newRow("version checks, no account") << false;
    QTest::newRow("yearly figures of a tenant") << true;
}

void tst_ServerAttack::clientsThatNeverRead()
{
    QFETCH(bool, account);
    // Small bounds, so that every connection is cut several times within the
    // attack: a client that reads nothing holds at most 64 KiB of answers,
    // for at most 2 s, and all of them together 1 MiB.
    constexpr int kConnections = 16;
    constexpr qint64 kTotalUnsentKb = 1024;
    constexpr int kAttackMs = 10000;
    ServerProcess server;
    qint64 startRssKb = 0;
    startServer(server,
                {u"--max-unsent"_s, u"65536"_s, u"--max-unsent-total"_s, QString::number(kTotalUnsentKb * 1024),
                 u"--drain-timeout"_s, u"2"_s},
                startRssKb);
    if (QTest::currentTestFailed())
        return;

    QByteArray request = soapPost("ZOKA_WS_InitialCheck", {u"1.3.0.0"_s});
    if (account) {
        TestClient client(m_dir.filePath(u"server-cert.pem"_s), 5000);
        const TestClient::Response login
            = client.Call(server.Url(u"127.0.0.1"_s), "ZOKA_WS_CzSessionBegin",
                          {EncodeCredential(u"nowak"_s), EncodeCredential(u"NowakP2015"_s)});
        const auto begin = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", login.body);
        QVERIFY(begin.ok() && begin.value().RetCode == 0);
        request = soapPost("ZOKA_WS_YearRozrachGet",
                           {EncodeCredential(u"nowak"_s), EncodeCredential(u"NowakP2015"_s), begin.value().SessionToken,
                            QDate::currentDate().year() - 1});
    }

    NeverReader attacker(server.port(), request, kConnections);
    attacker.Start();
    QElapsedTimer timer;
    timer.start();
    qint64 peakKb = 0;
    bool servedDuring = false;
    while (timer.elapsed() < kAttackMs) {
        QTest::qWait(500);
        peakKb = std::max(peakKb, residentKb(server.Pid()));
        if (!servedDuring && timer.elapsed() > kAttackMs / 2) {
            expectServed(server, "while clients never read their answers");
            servedDuring = true;
            if (QTest::currentTestFailed())
                break;
        }
    }
    attacker.Stop();
    qInfo("never-reading connections: %lld requests written, %d connections ended by the server in %lld ms",
          attacker.Requests(), attacker.Ended(), timer.elapsed());
    // The budgets (all unsent answers, the sockets' read buffers) and room
    // for the connections themselves and the allocator.
    const qint64 limitKb = startRssKb + kTotalUnsentKb + kConnections * 64 + 32 * 1024 + kQuarantineKb;
    qInfo("resident memory: at start %lld KiB, at most %lld KiB during the attack (bound %lld KiB)", startRssKb, peakKb,
          limitKb);
    QVERIFY2(peakKb > 0 && peakKb <= limitKb, "answers nobody reads must not grow the server");
    // Served in one address's turns, the instrumented server produces too
    // few answers in the attack's time to fill the kernel's buffers and reach
    // the drain deadline; memory and the good client are checked above.
    if (!kSanitizedBuild)
        QVERIFY2(attacker.Ended() >= kConnections, "a connection whose answers do not drain must be closed");
    QVERIFY(server.IsRunning());
    expectServed(server, "after clients that never read");
}

void tst_ServerAttack::signInsWithinTheAllowance()
{
    // Twenty addresses, each at 2 sign-ins a second (its allowance), with
    // logins nobody has: each costs a digest, far more than the cores give.
    ServerProcess server;
    qint64 startRssKb = 0;
    startServer(server, {}, startRssKb);
    if (QTest::currentTestFailed())
        return;
    std::vector<std::unique_ptr<RequestFlood>> floods;
    for (int i = 0; i < 20; ++i)
        floods.push_back(std::make_unique<RequestFlood>(server.port(), loopback(10 + i), 1));
    for (const auto &flood : floods)
        QVERIFY(flood->WaitEncrypted(10000));
    const auto guess = [] { return loginRequest(u"x"_s + randomName(12), u"Zgadywanie1"_s); };
    QElapsedTimer timer;
    timer.start();
    bool servedDuring = false;
    while (timer.elapsed() < 8000) {
        for (const auto &flood : floods)
            flood->SendEach(guess);
        QTest::qWait(500);
        if (!servedDuring && timer.elapsed() > 4000) {
            expectServed(server, "while 20 addresses sign in within their allowance");
            servedDuring = true;
            if (QTest::currentTestFailed())
                break;
        }
    }
    qint64 sent = 0;
    qint64 answered = 0;
    int checked = 0;
    int busy = 0;
    QDeadlineTimer deadline(15000);
    for (const auto &flood : floods) {
        flood->WaitAnswered(flood->Sent(), int(qMax<qint64>(1, deadline.remainingTime())));
        sent += flood->Sent();
        answered += flood->Answered();
        checked += flood->Count(1);
        busy += flood->Count(8);
    }
    qInfo("sign-ins from 20 addresses: %lld sent, %lld answered (%d checked, %d busy) in %lld ms", sent, answered,
          checked, busy, timer.elapsed());
    QCOMPARE(answered, sent);
    expectServed(server, "after 20 addresses signed in within their allowance");
    expectBoundedMemory(server, startRssKb, "after 20 addresses signed in");
}

void tst_ServerAttack::signInFloodFromOneAddress()
{
    // 3,000 sign-ins from one address, pipelined over 50 connections. Its
    // allowance lets 10 through at once, then 2 a second.
    constexpr int kConnections = 50;
    constexpr int kEach = 60;
    ServerProcess server;
    qint64 startRssKb = 0;
    startServer(server, {}, startRssKb);
    if (QTest::currentTestFailed())
        return;
    RequestFlood flood(server.port(), loopback(3), kConnections);
    QVERIFY(flood.WaitEncrypted(10000));
    QElapsedTimer timer;
    timer.start();
    flood.SendEach([] { return loginRequest(u"x"_s + randomName(12), u"Zgadywanie1"_s); }, kEach);
    QTest::qWait(1000);
    expectServed(server, "while one address floods sign-ins");
    // Sign-ins beyond the allowance are refused at once; those it lets
    // through (2 a second) wait their turn, at most a few seconds each, and
    // hold up only their own connection.
    flood.WaitAnswered(flood.Sent(), 8000);
    const double seconds = timer.elapsed() / 1000.0;
    qInfo("sign-ins from one address: %lld sent, %lld answered in %.1f s (by RetCode %s)", flood.Sent(),
          flood.Answered(), seconds, qPrintable(flood.Codes()));
    // The instrumented server answers one address's 3,000 requests, in that
    // address's turns, more slowly than this waits.
    if (!kSanitizedBuild)
        QVERIFY2(flood.Answered() * 10 >= flood.Sent() * 9, "sign-ins beyond the allowance are refused at once");
    QVERIFY2(flood.Count(1) <= 10 + 2 * seconds + 12, qPrintable(u"%1 sign-ins were checked"_s.arg(flood.Count(1))));
    expectServed(server, "after one address flooded sign-ins");
    expectBoundedMemory(server, startRssKb, "after a flood of sign-ins");
}

void tst_ServerAttack::ownPasswordChangesDuringSignIns()
{
    // A tenant changes its password back and forth while its own sign-ins,
    // from four more addresses, are digested: each change lands between a
    // sign-in's digest and its answer, which needs a digest of the new
    // stored value. None of them may run on the thread that serves.
    ServerProcess server;
    qint64 startRssKb = 0;
    startServer(server, {}, startRssKb);
    if (QTest::currentTestFailed())
        return;
    const QString login = u"nowak"_s;
    PasswordFlipper flipper(server.port(), loopback(4), login, u"NowakP2015"_s, u"NowakQ2016"_s);
    std::vector<std::unique_ptr<RequestFlood>> floods;
    for (int i = 0; i < 4; ++i)
        floods.push_back(std::make_unique<RequestFlood>(server.port(), loopback(40 + i), 1));
    for (const auto &flood : floods)
        QVERIFY(flood->WaitEncrypted(10000));
    QElapsedTimer timer;
    timer.start();
    bool servedDuring = false;
    while (timer.elapsed() < 6000) {
        for (const auto &flood : floods)
            flood->SendEach([&] { return loginRequest(login, flipper.Current()); });
        QTest::qWait(500);
        if (!servedDuring && timer.elapsed() > 3000) {
            expectServed(server, "while a tenant changes its password during its sign-ins");
            servedDuring = true;
            if (QTest::currentTestFailed())
                break;
        }
    }
    flipper.Stop();
    QStringList codes;
    for (const auto &flood : floods) {
        flood->WaitAnswered(flood->Sent(), 5000);
        codes << flood->Codes();
    }
    qInfo("password changes: %d; sign-ins by RetCode: %s", flipper.Changes(), qPrintable(codes.join(u"; "_s)));
    QVERIFY(flipper.Changes() > 2);
    // The demo password back, for the cases after this one.
    QByteArray output;
    QCOMPARE(ServerProcess::RunCommand({u"set-password"_s, login, u"--data"_s, m_dir.path()}, "NowakP2015\n", &output,
                                       &output),
             0);
    expectServed(server, "after a tenant changed its password during its sign-ins");
    expectBoundedMemory(server, startRssKb, "after a tenant changed its password during its sign-ins");
}

void tst_ServerAttack::guessesThroughLogout()
{
    // With a session's token, each Logout tests a password: wrong ones count
    // as failed sign-ins, and the third ends the session, so that the right
    // one, guessed later, no longer answers true.
    QSslSocket socket;
    QByteArray body;
    const QString login = u"zielinski"_s;
    const QString password = u"Ogrod7Gda"_s;
    QCOMPARE(postFromAttacker(socket, m_server.port(), loginRequest(login, password), 5000, &body), 200);
    const auto begin = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", body);
    QVERIFY(begin.ok() && begin.value().RetCode == 0);
    const QString token = begin.value().SessionToken;
    const auto logout = [&](const QString &guess) {
        const QByteArray request
            = soapPost("ZOKA_WS_Logout", {EncodeCredential(login), EncodeCredential(guess), token});
        if (postFromAttacker(socket, m_server.port(), request, 5000, &body) != 200)
            return std::optional<bool>();
        const auto answer = SoapCodec::ReadAnswer<bool>("ZOKA_WS_Logout", body);
        return answer.ok() ? std::optional<bool>(answer.value()) : std::optional<bool>();
    };
    int answered = 0;
    for (int i = 0; i < 20; ++i)
        answered += logout(u"Zgadywanie%1"_s.arg(i)) == std::optional<bool>(false) ? 1 : 0;
    QCOMPARE(answered, 20);
    QCOMPARE(logout(password), std::optional<bool>(false));
    socket.abort();
    expectServed(m_server, "after guesses through Logout");
    expectBoundedMemory("after guesses through Logout");
}

void tst_ServerAttack::ambiguousFraming_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("closed");

    const QByteArray body = SoapCodec::WriteRequest(*FindOperation("ZOKA_WS_InitialCheck"), {u"1.3.0.0"_s}).value();
    const QByteArray line = "POST " + servicePath() + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml\r\n";
    const QByteArray length = "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    QTest::newRow("length and chunked") << line + length + "Transfer-Encoding: chunked\r\n\r\n" + body << 400 << true;
    QTest::newRow("two lengths") << line + length + "Content-Length: 5\r\n\r\n" + body << 400 << true;
    QTest::newRow("invalid length") << line + "Content-Length: 12x\r\n\r\n" + body << 400 << true;
    QTest::newRow("line without a colon") << line + "X-Note nothing\r\n" + length + "\r\n" + body << 400 << true;
    QByteArray fields;
    for (int i = 0; i < 101; ++i)
        fields += "X-Field-" + QByteArray::number(i) + ": 1\r\n";
    // Past the limits, nothing of the head may be taken for a body.
    QTest::newRow("101 fields") << line + fields + length + "\r\n" + body << 431 << true;
    QTest::newRow("a field of 100 KiB") << line + "X-Big: " + QByteArray(100 * 1024, 'a') + "\r\n" + length + "\r\n"
            + body << 431 << true;
    const QByteArray old = "POST " + servicePath() + " HTTP/1.0\r\nContent-Type: text/xml\r\n" + length;
    QTest::newRow("HTTP/1.0") << old + "\r\n" + body << 200 << true;
    QTest::newRow("HTTP/1.0 with keep-alive") << old + "Connection: keep-alive\r\n\r\n" + body << 200 << false;
    // One answer, then the end: the service has no WebSockets.
    QTest::newRow("WebSocket upgrade") << "GET " + servicePath()
            + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: Upgrade\r\n"
              "Upgrade: websocket\r\nSec-WebSocket-Version: 13\r\n"
              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n"
                                       << 405 << true;
}

void tst_ServerAttack::ambiguousFraming()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    QFETCH(bool, closed);
    bool wasClosed = false;
    const QByteArray received = rawExchange(m_server.port(), bytes, 3000, wasClosed);
    QVERIFY2(received.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '), received.left(200).constData());
    QCOMPARE(received.count("HTTP/1.1 "), 1);
    QCOMPARE(wasClosed, closed);
    if (!closed)
        QVERIFY(received.contains("Connection: keep-alive\r\n"));
    expectServed(m_server, "after a request of ambiguous framing");
    expectBoundedMemory("after a request of ambiguous framing");
}

void tst_ServerAttack::pipelinedRequestsOutlastTheDeadline()
{
    // Fourteen sign-ins and a version check in one write: past the burst of
    // ten, the allowance holds the sign-ins up to 2 s, longer than the 1 s
    // request deadline. The connection waits for its own answers meanwhile,
    // and gets every one of them.
    ServerProcess server;
    qint64 startRssKb = 0;
    startServer(server, {u"--request-timeout"_s, u"1"_s}, startRssKb);
    if (QTest::currentTestFailed())
        return;
    RequestFlood flood(server.port(), loopback(6), 1);
    QVERIFY(flood.WaitEncrypted(5000));
    QElapsedTimer timer;
    timer.start();
    flood.SendEach([] { return loginRequest(u"wisniewska"_s, u"Wisnia2016"_s); }, 14);
    flood.SendEach([] { return soapPost("ZOKA_WS_InitialCheck", {u"1.3.0.0"_s}); });
    expectServed(server, "while pipelined requests wait for their answers");
    const bool all = flood.WaitAnswered(flood.Sent(), 15000);
    qInfo("pipelined: %lld of %lld answered in %lld ms (by RetCode %s)", flood.Answered(), flood.Sent(),
          timer.elapsed(), qPrintable(flood.Codes()));
    QVERIFY2(all, "a connection waiting for its own answers must not be cut");
    QVERIFY(timer.elapsed() > 1000);
    QCOMPARE(flood.Count(100), 1);
    expectBoundedMemory(server, startRssKb, "after pipelined requests");
}

void tst_ServerAttack::stopWithAFullDigestQueue()
{
    // How long an idle server takes to stop, on this machine, now.
    qint64 startRssKb = 0;
    QElapsedTimer timer;
    qint64 idleStopMs = 0;
    {
        ServerProcess idle;
        startServer(idle, {}, startRssKb);
        if (QTest::currentTestFailed())
            return;
        timer.start();
        idle.Stop();
        idleStopMs = timer.elapsed();
    }
    // Sixteen addresses fill the digest queue; then SIGTERM.
    ServerProcess server;
    startServer(server, {}, startRssKb);
    if (QTest::currentTestFailed())
        return;
    std::vector<std::unique_ptr<RequestFlood>> floods;
    for (int i = 0; i < 16; ++i)
        floods.push_back(std::make_unique<RequestFlood>(server.port(), loopback(60 + i), 1));
    for (const auto &flood : floods) {
        QVERIFY(flood->WaitEncrypted(10000));
        flood->SendEach([] { return loginRequest(u"x"_s + randomName(12), u"Zgadywanie1"_s); }, 3);
    }
    QTest::qWait(200);
    const QString url = server.Url(u"127.0.0.1"_s);
    timer.restart();
    server.Terminate();
    // Queued digests are dropped and only running ones waited for; the
    // listener closes first, so a newcomer is refused instead of left hanging.
    TestClient newcomer(m_dir.filePath(u"server-cert.pem"_s), 3000);
    const TestClient::Response late = newcomer.Call(url, "ZOKA_WS_InitialCheck", {u"1.3.0.0"_s});
    server.Stop();
    const qint64 stopMs = timer.elapsed();
    const qint64 bound = kServedFactor * idleStopMs + m_baselineMs + kServedAllowanceMs;
    qInfo("stopped with a full digest queue in %lld ms (idle: %lld ms, bound %lld ms); a newcomer got: %s", stopMs,
          idleStopMs, bound, qPrintable(late.errorText));
    QVERIFY2(late.error != QNetworkReply::TimeoutError, "a client coming during the stop must not hang");
    QVERIFY2(stopMs <= bound, "a stop must not wait for the queued digests");
}

void tst_ServerAttack::addressesFillingTheConnectionCap()
{
    // Five addresses, each within its own cap of 10, hold 50 idle TLS
    // connections against an overall cap of 40. A newcomer takes the place of
    // the longest-idle one; near the cap, idle ones are closed after 5 s
    // instead of a minute.
    ServerProcess server;
    qint64 startRssKb = 0;
    startServer(server, {u"--max-connections"_s, u"40"_s, u"--max-connections-per-address"_s, u"10"_s}, startRssKb);
    if (QTest::currentTestFailed())
        return;
    std::vector<std::unique_ptr<Attacker>> attackers;
    for (int i = 0; i < 5; ++i) {
        attackers.push_back(std::make_unique<Attacker>(server.port(), loopback(80 + i)));
        attackers.back()->Open(10, true);
        attackers.back()->Settle(10000);
    }
    QTest::qWait(200);
    const auto held = [&] {
        int n = 0;
        for (const auto &attacker : attackers)
            n += attacker->Connected();
        return n;
    };
    qInfo("idle connections held by five addresses: %d of 50", held());
    QVERIFY(held() <= 40);
    expectServed(server, "while idle connections fill the cap");
    // Until the open connections are down to 3/4 of the cap.
    QElapsedTimer timer;
    timer.start();
    while (held() > 30 && timer.elapsed() < 8000)
        QTest::qWait(100);
    qInfo("idle connections left after %lld ms near the cap: %d", timer.elapsed(), held());
    QVERIFY2(held() <= 30, "near the cap, idle connections must be closed within seconds");
    expectBoundedMemory(server, startRssKb, "after idle connections filled the cap");
}

void tst_ServerAttack::guessesFromTwoHundredAddresses()
{
    // 200 addresses guess one tenant's password, each once a second (within
    // its own allowance), for 10 s. The tenant signed in from its own
    // address before.
    constexpr int kAddresses = 200;
    constexpr int kAttackMs = 10000;
    ServerProcess server;
    qint64 startRssKb = 0;
    startServer(server, {}, startRssKb);
    if (QTest::currentTestFailed())
        return;
    const QString login = u"nowak"_s;
    const QString password = u"NowakP2015"_s;
    TestClient tenant(m_dir.filePath(u"server-cert.pem"_s), 10000);
    const auto signIn = [&](TestClient &client) {
        const TestClient::Response r = client.Call(server.Url(u"127.0.0.1"_s), "ZOKA_WS_CzSessionBegin",
                                                   {EncodeCredential(login), EncodeCredential(password)});
        const auto begin = SoapCodec::ReadAnswer<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", r.body);
        return begin.ok() ? begin.value().RetCode : -1;
    };
    QCOMPARE(signIn(tenant), 0);

    std::vector<std::unique_ptr<RequestFlood>> floods;
    for (int i = 0; i < kAddresses; ++i)
        floods.push_back(std::make_unique<RequestFlood>(server.port(), loopback(1, 1 + i), 1));
    for (const auto &flood : floods)
        QVERIFY(flood->WaitEncrypted(20000));
    QElapsedTimer timer;
    timer.start();
    int round = 0;
    while (timer.elapsed() < kAttackMs) {
        for (const auto &flood : floods)
            flood->SendEach([&] { return loginRequest(login, u"Zgadywanie%1"_s.arg(round)); });
        ++round;
        QTest::qWait(1000);
        if (round == 5)
            expectServed(server, "while 200 addresses guess one login");
    }
    qint64 sent = 0;
    qint64 answered = 0;
    int checked = 0;
    int locked = 0;
    QDeadlineTimer deadline(10000);
    for (const auto &flood : floods) {
        flood->WaitAnswered(flood->Sent(), int(qMax<qint64>(1, deadline.remainingTime())));
        sent += flood->Sent();
        answered += flood->Answered();
        checked += flood->Count(1);
        locked += flood->Count(4);
    }
    const double seconds = timer.elapsed() / 1000.0;
    qInfo("guesses from %d addresses: %lld sent, %lld answered in %.1f s: %d checked, %d refused as locked", kAddresses,
          sent, answered, seconds, checked, locked);
    QCOMPARE(answered, sent);
    // The login's budget: ten failures from anywhere, then a wait of 15 s,
    // doubling; a guess or two more may be under way when it runs out.
    QVERIFY2(checked <= 10 + 1 + 2, qPrintable(u"%1 guesses were checked"_s.arg(checked)));
    // The tenant still gets in from its own address; another address, even
    // with the right password, waits.
    TestClient again(m_dir.filePath(u"server-cert.pem"_s), 10000);
    QCOMPARE(signIn(again), 0);
    RequestFlood stranger(server.port(), loopback(7), 1);
    QVERIFY(stranger.WaitEncrypted(5000));
    stranger.SendEach([&] { return loginRequest(login, password); });
    QVERIFY(stranger.WaitAnswered(1, 5000));
    QCOMPARE(stranger.Count(4), 1);
    expectServed(server, "after 200 addresses guessed one login");
    expectBoundedMemory(server, startRssKb, "after 200 addresses guessed one login");
}

QTEST_GUILESS_MAIN(tst_ServerAttack)
#include "tst_server_attack.moc"

#pragma once

#include "server/DemoService.h"
#include "server/DigestQueue.h"
#include "server/HttpRequestReader.h"
#include "server/ServerOptions.h"
#include "server/TlsListener.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>

class QSslSocket;
class SoapEndpoint;
struct SoapRequest;

// The HTTPS front of the demo server: POST on the service path only, bodies
// capped in size. Anything else gets an HTTP error (400, 404, 405, 413, 415,
// 431, 501, 505); after a framing error the connection is closed, otherwise it
// stays usable where HTTP allows it.
//
// Each connection's bytes go through its own HttpRequestReader, and the
// connection decides when to read: while a connection owes more than a few
// answers, or its unsent output is above a bound, it reads nothing more (the
// client's further requests wait in the kernel), and it resumes when the
// output drains. Output that has not drained within a deadline ends the
// connection, and when the unsent output of all connections together passes
// its bound, the largest backlogs are closed first.
//
// A request must arrive whole within its deadline from its first byte (a
// slow-loris client trickling bytes is cut off); the deadline runs only while
// the server is reading, never while the connection waits for its own
// answers. A connection idle for its timeout is closed, sooner when more
// than 3/4 of the allowed connections are open. TlsListener accepts the
// connections and caps their number; at the cap a newcomer takes the place of
// the longest-idle connection of the address holding the most.
//
// A sign-in must not hold up the other clients: its password digest runs on a
// worker thread and a throttled attempt waits on a timer. Answers are written
// in request order per connection.
class SoapHttpServer : public QObject
{
    Q_OBJECT

public:
    struct Settings
    {
        qint64 maxBodyBytes = 1024 * 1024;
        ServerOptions::Fault fault = ServerOptions::Fault::None;
        QString faultOperation; // empty = every operation
        int faultDelayMs = 5000;
        int idleTimeoutMs = 60 * 1000;
        int requestTimeoutMs = 30 * 1000;
        // Unsent output of one connection above which it reads no further
        // requests, and of all connections together above which the largest
        // backlogs are closed.
        qint64 maxUnsentBytes = 256 * 1024;
        qint64 maxUnsentTotalBytes = 64 * 1024 * 1024;
        // Output must drain within this, or the connection is closed.
        int drainTimeoutMs = 30 * 1000;
        TlsListener::Limits limits;
        DigestQueue::Limits digests;
    };

    // Answers owed on one connection before it reads no further requests.
    static constexpr int kMaxAnswersInFlight = 4;

    SoapHttpServer(SoapEndpoint &endpoint, DemoService &service, Settings settings, QObject *parent = nullptr);
    ~SoapHttpServer() override;

    // Listens with TLS on the address and port (0 = a free port) and answers
    // the port; throws AppError when it cannot listen.
    quint16 Listen(const QHostAddress &address, quint16 port, const QSslConfiguration &tls);

    // The certificate and key from PEM files, as a server configuration;
    // AppError when either cannot be read.
    static QSslConfiguration LoadTls(const QString &certificatePath, const QString &keyPath);

    qint64 RequestsAnswered() const { return m_answered; }

private:
    // Answers leave a connection in the order its requests came.
    struct Outgoing
    {
        QByteArray bytes;
        bool close = false;
    };
    struct Connection
    {
        QSslSocket *socket = nullptr;
        QString group; // the client address it counts under
        HttpRequestReader reader;
        quint64 next = 0; // slot of the next request
        quint64 head = 0; // slot of the next answer to write
        QMap<quint64, Outgoing> ready;
        bool closing = false; // no further requests are read
        bool pumpQueued = false;
        QElapsedTimer requestClock; // runs from a request's first byte
        QElapsedTimer drainClock; // runs while output is unsent
        QElapsedTimer idleClock; // runs while nothing is owed either way
    };

    void watch(QSslSocket *socket);
    Connection *find(QTcpSocket *socket);
    // Reads and handles what the connection may take now.
    void pump(Connection &connection);
    // Gives the connection another turn later (takeTurns).
    void queuePump(Connection &connection);
    void takeTurns();
    bool paused(const Connection &connection) const;
    void updateClocks(Connection &connection);
    qint64 unsent(const Connection &connection) const;
    // Closes a connection to make room for a newcomer at the cap.
    bool makeRoom();
    // The periodic check of every connection's deadlines.
    void sweep();
    void enforceTotalUnsent();

    void handle(Connection &connection, const HttpRequestReader::Request &request);
    bool faultApplies(const QString &operation) const;
    quint64 reserve(Connection &connection);
    void fill(QTcpSocket *socket, quint64 slot, const QByteArray &bytes, bool close);
    void fillReply(QTcpSocket *socket, quint64 slot, int status, const QByteArray &contentType, const QByteArray &body,
                   bool close, bool keepAliveHeader = false);
    // Answers the request; with a refusal, the password check answers that
    // code without checking.
    void answer(QTcpSocket *socket, quint64 slot, const SoapRequest &request, bool close, bool keepAliveHeader,
                std::optional<qint32> refusal = std::nullopt);
    using Reply = std::function<void(std::optional<qint32> refusal)>;
    void startDigest(const QPointer<QTcpSocket> &guard, const DemoService::PasswordJob &job, const Reply &reply,
                     int attempt = 0);

    SoapEndpoint &m_endpoint;
    DemoService &m_service;
    Settings m_settings;
    TlsListener *m_tcp = nullptr;
    qint64 m_answered = 0;
    std::unordered_map<QTcpSocket *, std::unique_ptr<Connection>> m_connections;
    QTimer m_sweep;
    QTimer m_turns;
    // Connections waiting for a turn, by address, and the addresses in turn.
    std::unordered_map<QString, std::deque<QPointer<QSslSocket>>> m_waiting;
    std::deque<QString> m_turnOrder;
    // Password digests; declared last, so destroyed first: it waits for the
    // digests still running while the rest of the server exists.
    DigestQueue m_digests;
};

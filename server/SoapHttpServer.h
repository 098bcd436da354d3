#pragma once

#include "server/ServerOptions.h"
#include "server/TlsListener.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QSslConfiguration>
#include <QThreadPool>

#include <optional>

class DemoService;
class QSslSocket;
class SoapEndpoint;
struct SoapRequest;

// The HTTPS front of the demo server: POST on the service path only, bodies
// capped in size, every answer written synchronously from the request handler.
// Anything else gets an HTTP error (404, 405, 413, 415) and the connection
// stays usable where HTTP allows it.
//
// A connection idle for a minute is closed, a request must arrive whole
// within its deadline from its first byte (a slow-loris client trickling bytes
// is cut off), and WebSocket upgrades are refused, so connections cannot pile
// up. TlsListener accepts the connections and caps their number.
//
// QtHttpServer wants its request handlers synchronous, but a sign-in must not
// hold up the other clients: its password digest runs on a worker thread and
// a throttled attempt waits on a timer. The handler only records the request
// and returns; the answer is written later, in request order per connection,
// by this class, which writes every answer to the socket itself anyway.
//
// The size cap acts while the request still arrives: QtHttpServer would keep a
// body of any size in memory, so each connection's incoming bytes are counted
// from the end of its last request, and a connection that sends more than the
// cap (plus room for headers) before completing a request gets 413 and is
// closed.
class SoapHttpServer : public QAbstractHttpServer
{
    Q_OBJECT

public:
    struct Settings
    {
        qint64 maxBodyBytes = 1024 * 1024;
        ServerOptions::Fault fault = ServerOptions::Fault::None;
        QString faultOperation;   // empty = every operation
        int faultDelayMs = 5000;
        int idleTimeoutMs = 60 * 1000;
        int requestTimeoutMs = 30 * 1000;
        TlsListener::Limits limits;
    };

    SoapHttpServer(SoapEndpoint &endpoint, DemoService &service, Settings settings, QObject *parent = nullptr);
    ~SoapHttpServer() override;

    // Listens with TLS on the address and port (0 = a free port) and answers
    // the port; throws AppError when it cannot listen.
    quint16 Listen(const QHostAddress &address, quint16 port, const QSslConfiguration &tls);

    // The certificate and key from PEM files, as a server configuration;
    // AppError when either cannot be read.
    static QSslConfiguration LoadTls(const QString &certificatePath, const QString &keyPath);

    qint64 RequestsAnswered() const { return m_answered; }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    // Answers leave a connection in the order its requests came.
    struct Outgoing
    {
        QByteArray bytes;
        bool close = false;
    };
    struct ReplyQueue
    {
        quint64 next = 0;
        quint64 head = 0;
        QMap<quint64, Outgoing> ready;
    };

    void watch(QSslSocket *socket);
    bool faultApplies(const QString &operation) const;
    quint64 reserve(QTcpSocket *socket);
    void fill(QTcpSocket *socket, quint64 slot, const QByteArray &bytes, bool close);
    void fillReply(QTcpSocket *socket, quint64 slot, int status, const QByteArray &contentType,
                   const QByteArray &body, bool close);
    void answer(QTcpSocket *socket, quint64 slot, const SoapRequest &request, bool close);
    void writeReply(QTcpSocket *socket, int status, const QByteArray &contentType, const QByteArray &body,
                    bool close);

    SoapEndpoint &m_endpoint;
    DemoService &m_service;
    Settings m_settings;
    TlsListener *m_tcp = nullptr;
    qint64 m_answered = 0;
    QHash<QTcpSocket *, ReplyQueue> m_queues;
    // Password digests; declared last, so destroyed first: it waits for the
    // digests still running while the rest of the server exists.
    QThreadPool m_digests;
};

#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>

#include <functional>

class QSslSocket;

// A small HTTPS/1.1 responder on 127.0.0.1 for tests and benchmarks: it
// serves each request through a handler, keeps connections alive, and can
// misbehave on request (stay silent, break off an answer). It counts the
// connections and TLS handshakes it saw.
class TestHttpsServer : public QTcpServer
{
    Q_OBJECT

public:
    struct Request
    {
        QByteArray method;
        QByteArray target;
        QMap<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;
    };

    enum class Behaviour {
        Answer, // status, headers with Content-Length, body
        Silent, // never answers
        CloseHalfway, // announces the full length, sends half, closes
        CloseWithoutLength, // no Content-Length: body, then close
    };

    struct Reply
    {
        int status = 200;
        QByteArray body;
        Behaviour behaviour = Behaviour::Answer;
        int delayMs = 0;
    };

    using Handler = std::function<Reply(const Request &)>;

    // Certificate and key from PEM files (the key an EC key).
    TestHttpsServer(const QString &certificateFile, const QString &keyFile, QObject *parent = nullptr);

    // Listens on 127.0.0.1, on a free port.
    bool start();
    // The service URL on this server.
    QString serviceUrl() const;

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    const QList<Request> &requests() const { return m_requests; }
    int connections() const { return m_connections; }
    int handshakes() const { return m_handshakes; }

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    void serve(QSslSocket *socket, QByteArray &buffer);
    void send(QSslSocket *socket, const Reply &reply);

    QSslCertificate m_certificate;
    QSslKey m_key;
    Handler m_handler;
    QList<Request> m_requests;
    int m_connections = 0;
    int m_handshakes = 0;
};

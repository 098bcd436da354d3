#pragma once

#include "server/ServerOptions.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QSslConfiguration>

#include <optional>

class QSslServer;
class QSslSocket;
class SoapEndpoint;

// The HTTPS front of the demo server: POST on the service path only, bodies
// capped in size, every answer written synchronously from the request handler.
// Anything else gets an HTTP error (404, 405, 413, 415) and the connection
// stays usable where HTTP allows it.
//
// A connection idle for a minute is closed, and WebSocket upgrades are
// refused, so connections cannot pile up.
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
    };

    SoapHttpServer(SoapEndpoint &endpoint, Settings settings, QObject *parent = nullptr);
    ~SoapHttpServer() override;

    // Listens with TLS on the address and port (0 = a free port); answers the
    // port, or 0 with `error` set.
    quint16 Listen(const QHostAddress &address, quint16 port, const QSslConfiguration &tls, QString *error);

    // The certificate and key from PEM files, as a server configuration.
    static std::optional<QSslConfiguration> LoadTls(const QString &certificatePath, const QString &keyPath,
                                                    QString *error);

    qint64 RequestsAnswered() const { return m_answered; }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    void watchSize(QSslSocket *socket);
    bool faultApplies(const QString &operation) const;
    void writeReply(QTcpSocket *socket, int status, const QByteArray &contentType, const QByteArray &body,
                    bool close);

    SoapEndpoint &m_endpoint;
    Settings m_settings;
    QSslServer *m_tcp = nullptr;
    qint64 m_answered = 0;
};

#pragma once

#include <QHash>
#include <QSslConfiguration>
#include <QTcpServer>

class QSslSocket;

// The listening socket of the HTTPS server. It accepts plain TCP connections
// and runs each TLS handshake itself, so that its own bookkeeping decides what
// happens to a connection: Qt's TLS server stops accepting while 30 handshakes
// are pending and only resumes when one of them times out, which a burst of
// connections closed without a byte (a port scan) turns into a server that
// never accepts again.
//
// Each handshake has a deadline. Connections are capped overall and per client
// address, well below the descriptor limit: the newest excess connection is
// closed at once, and the listener itself never stops. An accept error (out of
// descriptors) pauses accepting briefly instead of for good.
//
// connectionAccepted hands a connection to the HTTP layer before its first
// byte is read; its requests arrive once the handshake is done.
class TlsListener : public QTcpServer
{
    Q_OBJECT

public:
    struct Limits
    {
        int maxConnections = 768;
        int maxPerAddress = 192;
        int handshakeTimeoutMs = 5000;
    };

    // Limits that keep the connections well below `openFilesLimit`
    // descriptors, leaving room for the database and the operator's files.
    static Limits LimitsFor(qint64 openFilesLimit);

    TlsListener(const QSslConfiguration &tls, Limits limits, QObject *parent = nullptr);

    int OpenConnections() const { return m_open; }

Q_SIGNALS:
    void connectionAccepted(QSslSocket *socket);

protected:
    void incomingConnection(qintptr handle) override;

private:
    void release(QSslSocket *socket);

    QSslConfiguration m_tls;
    Limits m_limits;
    int m_open = 0;
    bool m_acceptFailing = false;
    QHash<QString, int> m_perAddress;
    QHash<QSslSocket *, QString> m_addresses;
};

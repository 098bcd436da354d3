#pragma once

#include <QHash>
#include <QSslConfiguration>
#include <QTcpServer>

#include <functional>

class QSslSocket;

// The listening socket of the HTTPS server. It accepts plain TCP connections
// and runs each TLS handshake itself, so that its own bookkeeping decides what
// happens to a connection: Qt's TLS server stops accepting while 30 handshakes
// are pending and only resumes when one of them times out, which a burst of
// connections closed without a byte (a port scan) turns into a server that
// never accepts again.
//
// Each handshake has a deadline. Connections are capped overall and per client
// address, well below the descriptor limit, and the listener itself never
// stops. Past an address's cap its newest connection is closed at once; at the
// overall cap the HTTP layer is asked to make room (it closes the longest-idle
// connection of the address holding the most), and only when it cannot is the
// newcomer closed. An accept error (out of descriptors) pauses accepting
// briefly instead of for good.
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
    const Limits &ConnectionLimits() const { return m_limits; }

    // Asked at the overall cap; true when it closed a connection (after
    // Release on it) to make room for the newcomer.
    void SetRoomMaker(std::function<bool()> makeRoom) { m_makeRoom = std::move(makeRoom); }
    // Takes the connection out of the counts at once (also done when it
    // disconnects).
    void Release(QSslSocket *socket) { release(socket); }
    // The address a connection is counted under.
    QString AddressOf(QSslSocket *socket) const { return m_addresses.value(socket); }
    int ConnectionsOf(const QString &address) const { return m_perAddress.value(address); }

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
    std::function<bool()> m_makeRoom;
};

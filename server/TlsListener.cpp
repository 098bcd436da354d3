#include "server/TlsListener.h"

#include "server/LoginThrottle.h"

#include <QSslSocket>
#include <QTimer>
#include <QtDebug>

#include <algorithm>

#include <unistd.h>

namespace {

// How long accepting pauses after an accept error (out of descriptors).
constexpr int kAcceptPauseMs = 100;

} // namespace

TlsListener::Limits TlsListener::LimitsFor(qint64 openFilesLimit)
{
    Limits limits;
    // A quarter of the descriptors stays free for the database, the
    // certificate files and sockets being accepted and closed.
    limits.maxConnections = int(std::clamp<qint64>(openFilesLimit * 3 / 4, 16, 4096));
    limits.maxPerAddress = qBound(8, limits.maxConnections / 4, 256);
    return limits;
}

TlsListener::TlsListener(const QSslConfiguration &tls, Limits limits, QObject *parent)
    : QTcpServer(parent), m_tls(tls), m_limits(limits)
{
    // Qt stops accepting for good on an accept error; the cause (descriptors
    // in use) passes, so accepting resumes after a short pause.
    connect(this, &QTcpServer::acceptError, this, [this] {
        if (!m_acceptFailing)
            qWarning().noquote() << "accept failed:" << errorString() << "- retrying";
        m_acceptFailing = true;
        QTimer::singleShot(kAcceptPauseMs, this, &QTcpServer::resumeAccepting);
    });
}

void TlsListener::incomingConnection(qintptr handle)
{
    m_acceptFailing = false;
    auto *socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        ::close(int(handle));
        return;
    }
    const QString address = LoginThrottle::AddressGroup(socket->peerAddress());
    // Past its own cap an address loses its newest connection; at the
    // overall cap an idle connection elsewhere may make room.
    if (m_perAddress.value(address) >= m_limits.maxPerAddress
        || (m_open >= m_limits.maxConnections && !(m_makeRoom && m_makeRoom()))) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    ++m_open;
    ++m_perAddress[address];
    m_addresses.insert(socket, address);
    connect(socket, &QAbstractSocket::disconnected, this, [this, socket] {
        release(socket);
        socket->deleteLater();
    });
    connect(socket, &QObject::destroyed, this, [this, socket] { release(socket); });

    auto *deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, socket, &QAbstractSocket::abort);
    deadline->start(m_limits.handshakeTimeoutMs);
    connect(socket, &QSslSocket::encrypted, deadline, &QTimer::stop);

    socket->setSslConfiguration(m_tls);
    Q_EMIT connectionAccepted(socket);
    socket->startServerEncryption();
}

void TlsListener::release(QSslSocket *socket)
{
    const auto it = m_addresses.find(socket);
    if (it == m_addresses.end())
        return;
    const auto count = m_perAddress.find(it.value());
    if (count != m_perAddress.end() && --count.value() <= 0)
        m_perAddress.erase(count);
    m_addresses.erase(it);
    --m_open;
}

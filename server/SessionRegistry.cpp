#include "server/SessionRegistry.h"

#include "common/DateHelpers.h"
#include "server/PasswordHash.h"
#include "server/SessionToken.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>

namespace {

QByteArray quickCheck(const QByteArray &salt, const QString &password)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(password.toUtf8());
    return hash.result();
}

QByteArray randomBytes(int count)
{
    QByteArray bytes(count, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), count / 4);
    return bytes;
}

} // namespace

SessionRegistry::SessionRegistry(double lifetimeMinutes)
    : m_lifetimeMinutes(lifetimeMinutes), m_nextNumber(1000 + QRandomGenerator::system()->bounded(9000))
{
}

QString SessionRegistry::newToken(Session &session, double now)
{
    session.since = now;
    SessionToken token{session.number, SessionToken::NewSecret(), session.tenantId, now};
    return token.Encoded();
}

QString SessionRegistry::Begin(qint64 tenantId, const QString &login, const QString &password, const QString &stamp,
                               double now)
{
    purge(now);
    for (;;) {
        auto oldest = m_sessions.end();
        qsizetype count = 0;
        for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
            if (it->tenantId != tenantId)
                continue;
            ++count;
            if (oldest == m_sessions.end() || it->since < oldest->since)
                oldest = it;
        }
        if (count < kMaxSessionsPerTenant)
            break;
        m_sessions.erase(oldest);
    }
    Session session;
    session.number = m_nextNumber++;
    session.tenantId = tenantId;
    session.login = login;
    session.stamp = stamp;
    SetPassword(session, password);
    const QString token = newToken(session, now);
    m_sessions.insert(token, session);
    return token;
}

SessionRegistry::Session *SessionRegistry::Find(const QString &token)
{
    const auto it = m_sessions.find(token);
    return it == m_sessions.end() ? nullptr : &it.value();
}

bool SessionRegistry::IsExpired(const Session &session, double now) const
{
    return DateDiffMinutes(now, session.since) > m_lifetimeMinutes;
}

QString SessionRegistry::Restart(const QString &token, double now)
{
    const auto it = m_sessions.find(token);
    if (it == m_sessions.end())
        return {};
    Session session = it.value();
    m_sessions.erase(it);
    const QString fresh = newToken(session, now);
    m_sessions.insert(fresh, session);
    return fresh;
}

bool SessionRegistry::End(const QString &token)
{
    return m_sessions.remove(token) > 0;
}

void SessionRegistry::EndOthers(qint64 tenantId, const QString &keepToken)
{
    m_sessions.removeIf([&](const auto &it) { return it.value().tenantId == tenantId && it.key() != keepToken; });
}

void SessionRegistry::Restamp(qint64 tenantId, const QString &oldStamp, const QString &newStamp)
{
    for (Session &session : m_sessions) {
        if (session.tenantId == tenantId && session.stamp == oldStamp)
            session.stamp = newStamp;
    }
}

bool SessionRegistry::PasswordMatches(const Session &session, const QString &password) const
{
    return PasswordHash::ConstantTimeEquals(quickCheck(session.checkSalt, password), session.passwordCheck);
}

void SessionRegistry::SetPassword(Session &session, const QString &password)
{
    session.checkSalt = randomBytes(16);
    session.passwordCheck = quickCheck(session.checkSalt, password);
}

void SessionRegistry::purge(double now)
{
    const double keepMinutes = m_lifetimeMinutes + kRenewableHours * 60.0;
    m_sessions.removeIf([&](const auto &it) { return DateDiffMinutes(now, it.value().since) > keepMinutes; });
    while (m_sessions.size() >= kMaxSessions) {
        const auto oldest = std::min_element(m_sessions.begin(), m_sessions.end(),
                                             [](const Session &a, const Session &b) { return a.since < b.since; });
        m_sessions.erase(oldest);
    }
}

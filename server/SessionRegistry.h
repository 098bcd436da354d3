#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The server's open sessions, in memory. A session lives for a fixed time
// after it was begun, renewed or had its password changed (not after each
// request). An expired session can still be renewed for a while; a session
// that was logged out is gone. Each session keeps a quick check of the
// password (SHA-256 over a per-session salt), so that the credentials every
// request repeats are checked without the slow password digest.
class SessionRegistry
{
public:
    struct Session
    {
        qint64 number = 0;
        qint64 tenantId = 0;
        QString login;
        QByteArray checkSalt;
        QByteArray passwordCheck;
        double since = 0; // date value of the last begin, renewal or password change
        QString stamp; // the stored password value it was opened under
        int wrongPasswords = 0;
    };

    // Lifetime in minutes (may have a fraction, for tests).
    explicit SessionRegistry(double lifetimeMinutes = 15.0);

    double LifetimeMinutes() const { return m_lifetimeMinutes; }

    // Opens a session and answers its encoded token. `stamp` is the tenant's
    // stored password value: a session whose stamp no longer matches the
    // stored value (the operator set a new password) is ended.
    QString Begin(qint64 tenantId, const QString &login, const QString &password, const QString &stamp, double now);

    // The session of the token, active or expired; nullptr when unknown.
    Session *Find(const QString &token);
    bool IsExpired(const Session &session, double now) const;

    // Gives the session a new token and restarts its clock; the old token is
    // no longer valid. Answers the new token.
    QString Restart(const QString &token, double now);

    // Ends the session of the token; false when there was none.
    bool End(const QString &token);
    // Ends every session of the tenant except the one of `keepToken`.
    void EndOthers(qint64 tenantId, const QString &keepToken);

    // Gives the tenant's sessions stamped `oldStamp` the new one (the server
    // re-stored the same password).
    void Restamp(qint64 tenantId, const QString &oldStamp, const QString &newStamp);

    bool PasswordMatches(const Session &session, const QString &password) const;
    void SetPassword(Session &session, const QString &password);

    qsizetype Count() const { return m_sessions.size(); }

    // Sessions stay renewable this long after they expired.
    static constexpr double kRenewableHours = 8.0;
    // More open sessions than this and the oldest are dropped.
    static constexpr qsizetype kMaxSessions = 10000;
    // More sessions of one tenant than this and that tenant's oldest is
    // dropped, so that one tenant cannot push out the others.
    static constexpr qsizetype kMaxSessionsPerTenant = 20;

private:
    QString newToken(Session &session, double now);
    void purge(double now);

    double m_lifetimeMinutes;
    qint64 m_nextNumber;
    QHash<QString, Session> m_sessions;
};

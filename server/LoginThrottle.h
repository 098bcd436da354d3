#pragma once

#include <QHash>
#include <QString>

// Refuses further attempts for a login after repeated wrong passwords: after
// kMaxFailures failures in a row the login is locked for kLockMinutes, whatever
// password comes. The handlers stay synchronous, so a lock rather than a delay
// slows guessing without stalling the other clients.
class LoginThrottle
{
public:
    static constexpr int kMaxFailures = 5;
    static constexpr double kLockMinutes = 1.0;
    // Logins tracked at most; stale ones are dropped first.
    static constexpr qsizetype kMaxTracked = 10000;

    bool IsLocked(const QString &login, double now) const;
    void RecordFailure(const QString &login, double now);
    void RecordSuccess(const QString &login);

private:
    struct Record
    {
        int failures = 0;
        double last = 0;
        double lockedUntil = 0;
    };
    void purge(double now);

    QHash<QString, Record> m_records;
};

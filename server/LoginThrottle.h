#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// Slows password guessing without locking the tenant out. Wrong passwords for
// a login from one client address earn that pair a growing wait before its
// next attempt is checked (kFreeFailures are free, then kFirstWaitSeconds,
// doubling up to kMaxWaitSeconds); the same login from another address is not
// affected. Sign-ins per address are also limited to a rate, with a burst.
//
// The HTTP layer holds a request for its wait (a timer, not a sleep); an
// attempt checked before its time is refused as locked.
//
// Memory stays bounded whatever the clients send: entries are keyed by a
// fixed-size digest of the login and address, expire kForgetMinutes after
// their last use, and at most kMaxTracked are kept (the oldest go first).
// Times are date values (days), as from Now().
class LoginThrottle
{
public:
    static constexpr int kFreeFailures = 4;
    static constexpr double kFirstWaitSeconds = 15.0;
    static constexpr double kMaxWaitSeconds = 600.0;
    static constexpr double kForgetMinutes = 30.0;
    static constexpr qsizetype kMaxTracked = 10000;
    static constexpr double kSignInsPerSecond = 2.0;
    static constexpr double kSignInBurst = 10.0;

    // Seconds before an attempt for the login from the address may be
    // checked; 0 when it may be checked now.
    double WaitSeconds(const QString &login, const QString &address, double now) const;
    // Takes one sign-in from the address's allowance and answers the seconds
    // until it may run (0 = now); nullopt, taking nothing, when that would be
    // more than `maxWaitSeconds`. No debt builds up beyond that wait, so no
    // crowd of held sign-ins is released at once.
    std::optional<double> TakeSignIn(const QString &address, double now, double maxWaitSeconds);

    void RecordFailure(const QString &login, const QString &address, double now);
    void RecordSuccess(const QString &login, const QString &address);

    // Entries held, failures and allowances together.
    qsizetype Tracked() const { return m_failures.size() + m_allowances.size(); }

private:
    struct Failures
    {
        int count = 0;
        double last = 0;
    };
    struct Allowance
    {
        double tokens = kSignInBurst;
        double at = 0;
    };
    template<typename Table>
    static void makeRoom(Table &table, double now);

    QHash<QByteArray, Failures> m_failures;
    QHash<QByteArray, Allowance> m_allowances;
};

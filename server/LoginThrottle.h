#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QString>

#include <optional>

// Slows password guessing without locking the tenant out. Wrong passwords for
// a login from one client address earn that pair a growing wait before its
// next attempt is checked (kFreeFailures are free, then kFirstWaitSeconds,
// doubling up to kMaxWaitSeconds); the same login from another address is not
// affected. Sign-ins per address are also limited to a rate, with a burst.
//
// Guesses spread over many addresses meet a budget per login: past
// kLoginFreeFailures failures from anywhere within kLoginForgetMinutes, each
// further attempt waits as above, however many addresses take part. An
// address the tenant has signed in from before is exempt from it (a crowd of
// guessers does not lock the tenant out of its own computer). "Address" is a
// group: IPv6 addresses count by their /64 (AddressGroup).
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
    static constexpr int kLoginFreeFailures = 10;
    static constexpr double kLoginForgetMinutes = 60.0;

    // The text a client address is counted under: an IPv4 address (also one
    // mapped into IPv6) as it is, an IPv6 address as its /64 network.
    static QString AddressGroup(const QHostAddress &address);

    // Seconds before an attempt for the login from the address may be
    // checked; 0 when it may be checked now.
    double WaitSeconds(const QString &login, const QString &address, double now) const;
    // Takes one sign-in from the address's allowance and answers the seconds
    // until it may run (0 = now); nullopt, taking nothing, when that would be
    // more than `maxWaitSeconds`. No debt builds up beyond that wait, so no
    // crowd of held sign-ins is released at once.
    std::optional<double> TakeSignIn(const QString &address, double now, double maxWaitSeconds);

    void RecordFailure(const QString &login, const QString &address, double now);
    // A success also makes the address known for the login (exempt from the
    // login's budget).
    void RecordSuccess(const QString &login, const QString &address, double now);

    // Entries held, failures and allowances together.
    qsizetype Tracked() const
    {
        return m_failures.size() + m_allowances.size() + m_loginFailures.size() + m_known.size();
    }

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
    static void makeRoom(Table &table, double now, double forgetMinutes);

    QHash<QByteArray, Failures> m_failures;
    QHash<QByteArray, Allowance> m_allowances;
    // Failures per login from anywhere; and the addresses each login has
    // signed in from (the time of the last success).
    QHash<QByteArray, Failures> m_loginFailures;
    QHash<QByteArray, Failures> m_known;
};

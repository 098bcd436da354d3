#include "server/LoginThrottle.h"

namespace {
constexpr double kMinutesPerDay = 24.0 * 60.0;
}

bool LoginThrottle::IsLocked(const QString &login, double now) const
{
    const auto it = m_records.constFind(login);
    return it != m_records.cend() && now < it->lockedUntil;
}

void LoginThrottle::RecordFailure(const QString &login, double now)
{
    if (!m_records.contains(login) && m_records.size() >= kMaxTracked)
        purge(now);
    Record &record = m_records[login];
    if (record.lockedUntil != 0 && now >= record.lockedUntil) {
        record.failures = 0;  // the lock has run out: a fresh count
        record.lockedUntil = 0;
    }
    ++record.failures;
    record.last = now;
    if (record.failures >= kMaxFailures)
        record.lockedUntil = now + kLockMinutes / kMinutesPerDay;
}

void LoginThrottle::RecordSuccess(const QString &login)
{
    m_records.remove(login);
}

void LoginThrottle::purge(double now)
{
    m_records.removeIf([now](const auto &it) {
        return now >= it.value().lockedUntil && now - it.value().last > kLockMinutes / kMinutesPerDay;
    });
    if (m_records.size() >= kMaxTracked)
        m_records.clear();  // a flood of made-up logins: forget them rather than grow without bound
}

#include "server/LoginThrottle.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kSecondsPerDay = 24.0 * 60.0 * 60.0;
constexpr qsizetype kKeyBytes = 16;

// A fixed-size key, however long the texts: a made-up login of a million
// characters costs the table no more than a real one.
QByteArray keyOf(char kind, const QString &login, const QString &address)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(&kind, 1));
    hash.addData(login.toUtf8());
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(address.toUtf8());
    return hash.result().left(kKeyBytes);
}

double lastUse(const auto &entry)
{
    if constexpr (requires { entry.last; })
        return entry.last;
    else
        return entry.at;
}

} // namespace

template<typename Table>
void LoginThrottle::makeRoom(Table &table, double now)
{
    if (table.size() < kMaxTracked)
        return;
    const double forget = kForgetMinutes * 60.0 / kSecondsPerDay;
    table.removeIf([&](const auto &it) { return now - lastUse(it.value()) > forget; });
    if (table.size() < kMaxTracked)
        return;
    // Still full of recent entries (a flood): the older half goes.
    std::vector<double> times;
    times.reserve(size_t(table.size()));
    for (const auto &entry : table)
        times.push_back(lastUse(entry));
    auto middle = times.begin() + times.size() / 2;
    std::nth_element(times.begin(), middle, times.end());
    const double cut = *middle;
    table.removeIf([&](const auto &it) { return lastUse(it.value()) <= cut; });
}

double LoginThrottle::WaitSeconds(const QString &login, const QString &address, double now) const
{
    const auto it = m_failures.constFind(keyOf('f', login, address));
    if (it == m_failures.cend() || it->count <= kFreeFailures)
        return 0;
    const double wait = std::min(kMaxWaitSeconds, kFirstWaitSeconds * std::exp2(it->count - kFreeFailures - 1));
    return std::max(0.0, wait - (now - it->last) * kSecondsPerDay);
}

std::optional<double> LoginThrottle::TakeSignIn(const QString &address, double now, double maxWaitSeconds)
{
    const QByteArray key = keyOf('r', {}, address);
    if (!m_allowances.contains(key))
        makeRoom(m_allowances, now);
    auto it = m_allowances.find(key);
    if (it == m_allowances.end())
        it = m_allowances.insert(key, Allowance{kSignInBurst, now});
    Allowance &a = it.value();
    a.tokens = std::min(kSignInBurst, a.tokens + (now - a.at) * kSecondsPerDay * kSignInsPerSecond);
    a.at = now;
    // Below zero the allowance is spoken for: later sign-ins wait behind,
    // as long as the wait stays short.
    const double wait = a.tokens >= 1.0 ? 0.0 : (1.0 - a.tokens) / kSignInsPerSecond;
    if (wait > maxWaitSeconds)
        return std::nullopt;
    a.tokens -= 1.0;
    return wait;
}

void LoginThrottle::RecordFailure(const QString &login, const QString &address, double now)
{
    const QByteArray key = keyOf('f', login, address);
    if (!m_failures.contains(key))
        makeRoom(m_failures, now);
    Failures &f = m_failures[key];
    if (f.count > 0 && (now - f.last) * kSecondsPerDay > kForgetMinutes * 60.0)
        f.count = 0; // long enough ago: a fresh count
    ++f.count;
    f.last = now;
}

void LoginThrottle::RecordSuccess(const QString &login, const QString &address)
{
    m_failures.remove(keyOf('f', login, address));
}

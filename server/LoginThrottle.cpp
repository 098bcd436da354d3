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

// A wait growing from kFirstWaitSeconds with each failure past the free ones.
double waitAfter(int failures, int free)
{
    if (failures <= free)
        return 0;
    return std::min(LoginThrottle::kMaxWaitSeconds,
                    LoginThrottle::kFirstWaitSeconds * std::exp2(std::min(failures - free - 1, 30)));
}

// How long an address stays known for a login after a successful sign-in.
constexpr double kKnownDays = 30.0;

} // namespace

QString LoginThrottle::AddressGroup(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4)
        return QHostAddress(v4).toString();
    if (address.protocol() != QAbstractSocket::IPv6Protocol)
        return address.toString();
    // Anyone given one IPv6 address usually has the whole /64.
    Q_IPV6ADDR bytes = address.toIPv6Address();
    for (int i = 8; i < 16; ++i)
        bytes[i] = 0;
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

template<typename Table>
void LoginThrottle::makeRoom(Table &table, double now, double forgetMinutes)
{
    if (table.size() < kMaxTracked)
        return;
    const double forget = forgetMinutes * 60.0 / kSecondsPerDay;
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
    const auto remaining = [now](const Failures &f, int free) {
        const double wait = waitAfter(f.count, free);
        return wait > 0 ? std::max(0.0, wait - (now - f.last) * kSecondsPerDay) : 0.0;
    };
    double wait = 0;
    if (const auto it = m_failures.constFind(keyOf('f', login, address)); it != m_failures.cend())
        wait = remaining(*it, kFreeFailures);
    const auto it = m_loginFailures.constFind(keyOf('l', login, {}));
    if (it != m_loginFailures.cend() && (now - it->last) * kSecondsPerDay <= kLoginForgetMinutes * 60.0
        && !m_known.contains(keyOf('k', login, address)))
        wait = std::max(wait, remaining(*it, kLoginFreeFailures));
    return wait;
}

std::optional<double> LoginThrottle::TakeSignIn(const QString &address, double now, double maxWaitSeconds)
{
    const QByteArray key = keyOf('r', {}, address);
    if (!m_allowances.contains(key))
        makeRoom(m_allowances, now, kForgetMinutes);
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
    const auto count = [&](QHash<QByteArray, Failures> &table, const QByteArray &key, double forgetMinutes) {
        if (!table.contains(key))
            makeRoom(table, now, forgetMinutes);
        Failures &f = table[key];
        if (f.count > 0 && (now - f.last) * kSecondsPerDay > forgetMinutes * 60.0)
            f.count = 0; // long enough ago: a fresh count
        ++f.count;
        f.last = now;
    };
    count(m_failures, keyOf('f', login, address), kForgetMinutes);
    count(m_loginFailures, keyOf('l', login, {}), kLoginForgetMinutes);
}

void LoginThrottle::RecordSuccess(const QString &login, const QString &address, double now)
{
    m_failures.remove(keyOf('f', login, address));
    const QByteArray known = keyOf('k', login, address);
    if (!m_known.contains(known))
        makeRoom(m_known, now, kKnownDays * 24 * 60);
    m_known[known] = Failures{0, now};
}

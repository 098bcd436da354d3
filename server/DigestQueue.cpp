#include "server/DigestQueue.h"

#include <QThread>

#include <cmath>
#include <vector>

namespace {

// A client's count of failed checks halves in this time.
constexpr double kUsageHalfLifeMs = 30 * 1000.0;
// Clients without jobs and with little usage left are forgotten beyond this.
constexpr qsizetype kMaxRememberedClients = 1024;

} // namespace

DigestQueue::DigestQueue(Limits limits, QObject *parent) : QObject(parent), m_limits(limits)
{
    // Digests take the cores, not more: the network thread keeps its share.
    m_pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    m_clock.start();
}

DigestQueue::~DigestQueue()
{
    Shutdown();
}

double DigestQueue::usageOf(Client &client)
{
    const qint64 now = m_clock.elapsed();
    client.usage *= std::exp2(-double(now - client.usageAt) / kUsageHalfLifeMs);
    client.usageAt = now;
    return client.usage;
}

bool DigestQueue::Enqueue(const QString &client, const DemoService::PasswordJob &job, Admit admit, Done done,
                          Dropped dropped)
{
    if (m_shutDown)
        return false;
    if (!m_clients.contains(client) && m_clients.size() >= kMaxRememberedClients) {
        m_clients.removeIf(
            [&](auto it) { return it->queued.empty() && it->running == 0 && usageOf(it.value()) < 0.5; });
    }
    Client &mine = m_clients[client];
    if (int(mine.queued.size()) + mine.running >= m_limits.maxPerClient)
        return false;
    if (m_queued >= m_limits.maxQueued) {
        // Full: the client holding the most makes room, if it holds more.
        Client *heaviest = nullptr;
        for (Client &other : m_clients) {
            if (!heaviest || other.queued.size() > heaviest->queued.size()
                || (other.queued.size() == heaviest->queued.size() && usageOf(other) > usageOf(*heaviest)))
                heaviest = &other;
        }
        if (!heaviest || heaviest == &mine || heaviest->queued.size() <= mine.queued.size() + 1)
            return false;
        Job evicted = std::move(heaviest->queued.back());
        heaviest->queued.pop_back();
        --m_queued;
        if (evicted.dropped)
            evicted.dropped();
    }
    m_clients[client].queued.push_back(
        Job{job, std::move(admit), std::move(done), std::move(dropped), m_clock.elapsed()});
    ++m_queued;
    dispatch();
    return true;
}

void DigestQueue::dropExpired()
{
    const qint64 now = m_clock.elapsed();
    std::vector<Dropped> expired;
    for (Client &client : m_clients) {
        while (!client.queued.empty() && now - client.queued.front().queuedAt > m_limits.maxWaitMs) {
            expired.push_back(std::move(client.queued.front().dropped));
            client.queued.pop_front();
            --m_queued;
        }
    }
    // Answered after the bookkeeping: an answer may queue more.
    for (const Dropped &dropped : expired) {
        if (dropped)
            dropped();
    }
}

void DigestQueue::dispatch()
{
    dropExpired();
    while (!m_shutDown && m_running < m_pool.maxThreadCount() && m_queued > 0) {
        // The client with the fewest failed checks lately goes first, then
        // the one holding fewer jobs.
        QString next;
        double least = 0;
        int fewest = 0;
        for (auto it = m_clients.begin(); it != m_clients.end(); ++it) {
            if (it->queued.empty())
                continue;
            const double usage = usageOf(it.value());
            const int held = int(it->queued.size()) + it->running;
            if (next.isNull() || usage < least || (usage == least && held < fewest)) {
                next = it.key();
                least = usage;
                fewest = held;
            }
        }
        Job job = std::move(m_clients[next].queued.front());
        m_clients[next].queued.pop_front();
        --m_queued;
        // The admit check may answer the client, which may queue more.
        if (job.admit && !job.admit())
            continue;
        ++m_clients[next].running;
        ++m_running;
        m_pool.start([this, next, job = std::move(job)] {
            const DemoService::PasswordJobResult result = DemoService::Run(job.job);
            // Queued to this object: after it is gone, nothing is delivered.
            QMetaObject::invokeMethod(
                this,
                [this, next, done = job.done, result] {
                    --m_running;
                    const auto it = m_clients.find(next);
                    if (it != m_clients.end()) {
                        --it->running;
                        // Guessing is what costs: a right password counts
                        // nothing against its client.
                        if (!result.outcome.match)
                            it->usage = usageOf(it.value()) + 1.0;
                    }
                    if (done)
                        done(result);
                    dispatch();
                },
                Qt::QueuedConnection);
        });
    }
}

void DigestQueue::Clear()
{
    for (Client &client : m_clients)
        client.queued.clear();
    m_queued = 0;
}

void DigestQueue::Shutdown()
{
    m_shutDown = true;
    Clear();
    m_pool.waitForDone();
}

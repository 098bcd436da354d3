#pragma once

#include "server/DemoService.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <functional>

// The password digests waiting for a worker thread, bounded overall and per
// client, and served fairly: the next digest to start is that of the client
// whose passwords were wrong the fewest times lately (then of the one holding
// fewer jobs), so a crowd guessing from elsewhere does not hold up a tenant's
// sign-in. When the queue is full, a newcomer takes
// the place of the newest job of the client holding the most, if that client
// holds more than the newcomer's; otherwise the newcomer is refused.
//
// A job that waited longer than its bound is dropped (its client is better
// told "busy" than kept waiting). Jobs are started from this object's thread; just before one starts, its
// admit check runs there (a client that has gone, or a throttle that now
// says wait, drops it). The result comes back on this thread.
class DigestQueue : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        int maxQueued = 32;
        int maxPerClient = 2; // queued and running together
        int maxWaitMs = 5000; // a job queued longer is dropped
    };

    using Admit = std::function<bool()>;
    using Done = std::function<void(const DemoService::PasswordJobResult &)>;
    using Dropped = std::function<void()>;

    explicit DigestQueue(Limits limits, QObject *parent = nullptr);
    ~DigestQueue() override;

    // Queues the job of the client (a key of its address); false, with
    // nothing queued, when there is no room for it. `dropped` is called when a
    // newcomer later takes the job's place.
    bool Enqueue(const QString &client, const DemoService::PasswordJob &job, Admit admit, Done done, Dropped dropped);
    // Drops every queued job without a word; running ones finish.
    void Clear();
    // Clears and waits for the running digests.
    void Shutdown();

    int Queued() const { return m_queued; }
    int Running() const { return m_running; }

private:
    struct Job
    {
        DemoService::PasswordJob job;
        Admit admit;
        Done done;
        Dropped dropped;
        qint64 queuedAt = 0;
    };
    struct Client
    {
        std::deque<Job> queued;
        int running = 0;
        double usage = 0; // failed checks lately, decaying
        qint64 usageAt = 0;
    };

    double usageOf(Client &client);
    void dispatch();
    void dropExpired();

    Limits m_limits;
    QThreadPool m_pool;
    QHash<QString, Client> m_clients;
    QElapsedTimer m_clock;
    int m_queued = 0;
    int m_running = 0;
    bool m_shutDown = false;
};

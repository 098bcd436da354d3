#pragma once

#include <QString>

// A per-user lock named after the module, in the user's runtime directory. The
// kernel releases it when the process ends, also when it is killed, so a later
// start never finds a stale lock.
class SingleInstanceGuard
{
public:
    // Takes the lock; `directory` empty means the user's runtime directory.
    explicit SingleInstanceGuard(const QString &name, const QString &directory = {});
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // True when another process of this user holds the lock. Any other failure
    // (no directory, no file) leaves the program running without a guard.
    bool AlreadyRunning() const { return m_alreadyRunning; }
    QString LockPath() const { return m_path; }

    // Keeps the lock past this object, to the end of the process: a program
    // still closing (windows gone, libraries unloading) keeps refusing new
    // starts until it has gone.
    void HoldUntilExit() { m_fd = -1; }

private:
    int m_fd = -1;
    bool m_alreadyRunning = false;
    QString m_path;
};

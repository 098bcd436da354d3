#include "app/SingleInstanceGuard.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SingleInstanceGuard::SingleInstanceGuard(const QString &name, const QString &directory)
{
    const QString dir
        = directory.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : directory;
    if (dir.isEmpty() || name.isEmpty())
        return;
    QDir().mkpath(dir);
    m_path = QDir(dir).filePath(name + QStringLiteral(".lock"));
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_alreadyRunning = (errno == EWOULDBLOCK);
        ::close(m_fd);
        m_fd = -1;
    }
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    // The lock file stays; removing it would race with a starting process.
    if (m_fd >= 0)
        ::close(m_fd);
}

#include "server/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalSockets[2] = {-1, -1};

extern "C" void writeSignalByte(int)
{
    const char byte = 1;
    // Only async-signal-safe calls here; a full pipe just drops the byte.
    [[maybe_unused]] const ssize_t written = ::write(gSignalSockets[0], &byte, 1);
}

void setHandler(int signalNumber, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signalNumber, &action, nullptr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSignalSockets) != 0)
        return; // the default action (ending the process) stays
    m_notifier = new QSocketNotifier(gSignalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onSignal);
    setHandler(SIGTERM, writeSignalByte);
    setHandler(SIGINT, writeSignalByte);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    setHandler(SIGTERM, SIG_DFL);
    setHandler(SIGINT, SIG_DFL);
    delete m_notifier;
    ::close(gSignalSockets[0]);
    ::close(gSignalSockets[1]);
    gSignalSockets[0] = gSignalSockets[1] = -1;
}

void TerminationSignals::onSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(gSignalSockets[1], &byte, 1);
    QCoreApplication::quit();
}

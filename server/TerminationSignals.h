#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal end of the event loop, so that the
// server closes its database and connections and leaves main() the usual way
// (a stop by the operator or a test is then a clean exit with code 0).
//
// The signal handler only writes a byte to a socket pair; the notifier reads
// it on the event loop and calls QCoreApplication::quit(). One instance per
// process.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

private:
    void onSignal();

    QSocketNotifier *m_notifier = nullptr;
};

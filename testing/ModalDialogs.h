#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The one way the tests, the benchmarks and the tour drive modal windows: a
// modal window blocks in exec(), so whatever acts on it is started before and
// polls for it from the event loop.

struct ModalWatchOptions
{
    // Act only once the window is also the application's active window (the
    // user's keys and clicks go there; the platform reports a new window active
    // a little before the application does). When `activeWaitMs` runs out, a
    // shown but inactive window is acted on anyway, so a test fails instead of
    // waiting.
    bool waitUntilActive = true;
    int activeWaitMs = 5000;
    // Act on every new modal window in turn (nested ones too), not only the first.
    bool every = false;
    // Polling ends after this long without a window to act on.
    int timeoutMs = 8000;
    // A window the action leaves open is closed this long after the action, so
    // that a failing test ends instead of hanging in exec().
    int closeLeftOpenAfterMs = 8000;
};

// Polls every 10 ms, while `context` lives, for a visible modal window that
// `matches` accepts, and runs `action` on it with its depth (0 for the first
// window acted on). The action runs outside the polling slot, so it may open a
// nested modal window itself. Checks belong after exec() has returned: a failed
// check inside the action would leave the window open.
void WatchModals(QObject *context, std::function<bool(QWidget *)> matches,
                 std::function<void(QWidget *, int depth)> action, ModalWatchOptions options = {});

// How many windows the safety close (`closeLeftOpenAfterMs`) has closed in
// this process: a test that expects its own action to close a window compares
// it before and after, instead of timing the close.
int ModalsClosedLeftOpen();

// Runs `action` on the first modal window of type T once it is active.
template<typename T>
void WhenModal(QObject *context, std::function<void(T *)> action, ModalWatchOptions options = {})
{
    WatchModals(
        context, [](QWidget *w) { return qobject_cast<T *>(w) != nullptr; },
        [action](QWidget *w, int) { action(qobject_cast<T *>(w)); }, options);
}

// Runs `start` (which blocks in exec) while `action` is run on each modal window
// as it is shown, outermost first; windows still open after a few seconds are
// closed. Returns the object names of the modal windows seen, in order.
QStringList DriveModals(const std::function<void()> &start,
                        const std::function<void(QWidget *modal, int depth)> &action);

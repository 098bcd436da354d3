#include "testing/ModalDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

struct ModalWatch
{
    std::function<bool(QWidget *)> matches;
    std::function<void(QWidget *, int)> action;
    ModalWatchOptions options;
    QList<QPointer<QWidget>> handled;
    QElapsedTimer sinceLastAction;
    QElapsedTimer sinceShown;
    QPointer<QWidget> pending; // shown, not yet active

    bool alreadyHandled(QWidget *w) const
    {
        for (const QPointer<QWidget> &h : handled) {
            if (h == w)
                return true;
        }
        return false;
    }
};

int &closedLeftOpen()
{
    static int closed = 0;
    return closed;
}

} // namespace

int ModalsClosedLeftOpen()
{
    return closedLeftOpen();
}

void WatchModals(QObject *context, std::function<bool(QWidget *)> matches, std::function<void(QWidget *, int)> action,
                 ModalWatchOptions options)
{
    auto watch = std::make_shared<ModalWatch>();
    watch->matches = std::move(matches);
    watch->action = std::move(action);
    watch->options = options;
    watch->sinceLastAction.start();

    auto *poll = new QTimer(context);
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, context, [context, poll, watch] {
        const ModalWatchOptions &o = watch->options;
        if (watch->sinceLastAction.elapsed() > o.timeoutMs) {
            poll->deleteLater();
            poll->stop();
            return;
        }
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || watch->alreadyHandled(modal) || !watch->matches(modal))
            return;
        if (watch->pending != modal) {
            watch->pending = modal;
            watch->sinceShown.start();
        }
        if (o.waitUntilActive && QApplication::activeWindow() != modal && watch->sinceShown.elapsed() < o.activeWaitMs)
            return;
        watch->handled << QPointer<QWidget>(modal);
        watch->sinceLastAction.restart();
        const int depth = int(watch->handled.size()) - 1;
        if (!o.every) {
            poll->stop();
            poll->deleteLater();
        }
        const QPointer<QWidget> guard(modal);
        const int closeAfterMs = o.closeLeftOpenAfterMs;
        QTimer::singleShot(0, context, [guard, depth, watch, context, closeAfterMs] {
            if (guard)
                watch->action(guard, depth);
            // Counted from the action's end: an action that waits for slow
            // calls (a busy machine, a sanitized build) is not cut short.
            QTimer::singleShot(closeAfterMs, context, [guard] {
                if (guard && guard->isVisible()) {
                    ++closedLeftOpen();
                    guard->close();
                }
            });
        });
    });
    poll->start();
}

QStringList DriveModals(const std::function<void()> &start,
                        const std::function<void(QWidget *modal, int depth)> &action)
{
    QStringList seen;
    QObject context;
    ModalWatchOptions options;
    options.waitUntilActive = false;
    options.every = true;
    options.timeoutMs = 60000; // a window may follow a slow call
    WatchModals(
        &context, [](QWidget *) { return true; },
        [&seen, &action](QWidget *modal, int depth) {
            seen << modal->objectName();
            action(modal, depth);
        },
        options);
    start();
    return seen;
}

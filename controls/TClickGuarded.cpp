#include "controls/TClickGuarded.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <exception>

namespace {

const char *const kFrameProperty = "domvelFrame";

void setSemaphores(const QWidget *window, bool permitted)
{
    if (!window)
        return;
    for (TClickGuarded *button : GuardedButtonsOwnedBy(window)) {
        if (permitted)
            button->ClickSemaphore_SetPermit();
        else
            button->ClickSemaphore_SetCancel();
    }
}

} // namespace

void TClickGuarded::RunGuardedClick(TClickGuarded &button, const std::function<void()> &action)
{
    if (!button.m_clickPermitted)
        return;

    // The active window at the moment of the click; with none, nothing is blocked.
    const QPointer<QWidget> window = QApplication::activeWindow();
    setSemaphores(window, false);

    std::exception_ptr error;
    try {
        action();
    } catch (...) {
        error = std::current_exception();
    }

    // Clicks and keys queued while the action ran reach buttons that still drop them.
    QCoreApplication::processEvents();
    setSemaphores(window, true);

    if (error)
        std::rethrow_exception(error);
}

void MarkAsFrame(QWidget *frame)
{
    if (frame)
        frame->setProperty(kFrameProperty, true);
}

bool IsFrame(const QWidget *widget)
{
    if (!widget || widget->isWindow())
        return false;
    if (widget->property(kFrameProperty).toBool())
        return true;
    return QLatin1String(widget->metaObject()->className()).startsWith(QLatin1String("TFrame_"));
}

QWidget *ComponentOwner(const QWidget *control)
{
    if (!control)
        return nullptr;
    for (QWidget *w = control->parentWidget(); w; w = w->parentWidget()) {
        if (w->isWindow() || IsFrame(w))
            return w;
    }
    return nullptr;
}

QList<TClickGuarded *> GuardedButtonsOwnedBy(const QWidget *owner)
{
    QList<TClickGuarded *> buttons;
    if (!owner)
        return buttons;
    const QList<QWidget *> children = owner->findChildren<QWidget *>();
    for (QWidget *child : children) {
        auto *guarded = dynamic_cast<TClickGuarded *>(child);
        if (!guarded)
            continue;
        const QWidget *guardOwner = guarded->GuardedWithWindow() ? child->window() : ComponentOwner(child);
        if (guardOwner == owner)
            buttons.append(guarded);
    }
    return buttons;
}

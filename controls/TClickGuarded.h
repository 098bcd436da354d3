#pragma once

#include <QList>

#include <functional>

class QWidget;

// The click semaphore of the program's buttons. While the click action of one
// guarded button runs, every guarded button owned directly by the active window
// drops its clicks; input queued meanwhile is drained before they accept clicks
// again. Service calls in click actions are synchronous and may take seconds:
// the guard keeps an impatient second click from starting an action twice.
class TClickGuarded
{
public:
    virtual ~TClickGuarded() = default;

    void ClickSemaphore_SetPermit() { m_clickPermitted = true; }
    void ClickSemaphore_SetCancel() { m_clickPermitted = false; }
    bool ClickPermitted() const { return m_clickPermitted; }

    // A button on a frame has the frame's guard: clicks of the window's own
    // buttons do not block it, nor does its own click. That suits a button
    // whose repeat is harmless; one whose action must not run twice (printing)
    // takes the window's guard instead, as if the window owned it.
    void SetGuardedWithWindow(bool on) { m_guardedWithWindow = on; }
    bool GuardedWithWindow() const { return m_guardedWithWindow; }

protected:
    TClickGuarded() = default;
    TClickGuarded(const TClickGuarded &) = delete;
    TClickGuarded &operator=(const TClickGuarded &) = delete;

    // Runs `action` as one guarded click of `button`: nothing when the button is
    // blocked; otherwise blocks the active window's own guarded buttons, runs the
    // action, processes pending events and releases them again. An error of the
    // action propagates after the release. `button` is not touched after the
    // action, which may destroy it.
    static void RunGuardedClick(TClickGuarded &button, const std::function<void()> &action);

private:
    bool m_clickPermitted = true;
    bool m_guardedWithWindow = false;
};

// A frame is a panel that owns the buttons placed on it: the guard of the window
// holding the frame neither blocks them nor is blocked by them. A widget is a
// frame when it was marked so or when its class is named TFrame_... (the
// program's name for embedded panels).
void MarkAsFrame(QWidget *frame);
bool IsFrame(const QWidget *widget);

// The window or frame that owns `control`: its nearest ancestor that is either.
QWidget *ComponentOwner(const QWidget *control);

// The guarded buttons whose owner is `owner` itself (not those of its frames or
// of windows parented to it), and, for a window, the buttons of its frames
// that take the window's guard.
QList<TClickGuarded *> GuardedButtonsOwnedBy(const QWidget *owner);

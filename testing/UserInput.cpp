#include "testing/UserInput.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QThread>
#include <QWidget>

namespace {

void SendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void SendKey(QWidget *widget, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &text = {})
{
    QKeyEvent event(type, key, modifiers, text);
    QApplication::sendEvent(widget, &event);
}

} // namespace

bool WaitFor(const std::function<bool()> &condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

bool ShowActive(QWidget *window, int timeoutMs)
{
    window->show();
    window->activateWindow();
    return WaitFor([window] { return window->isActiveWindow(); }, timeoutMs);
}

void ClickAt(QWidget *widget, QPoint pos)
{
    // The application gives focus on a press only for the system's own events:
    // do what it does, so that the field being left commits its value.
    if (widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus))
        widget->setFocus(Qt::MouseFocusReason);
    SendMouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

void ClickWidget(QWidget *widget)
{
    ClickAt(widget, widget->rect().center());
}

void DoubleClickAt(QWidget *widget, QPoint pos)
{
    ClickAt(widget, pos);
    SendMouse(widget, QEvent::MouseButtonDblClick, pos, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

void PressKeyOn(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    const QString text = key == Qt::Key_Return || key == Qt::Key_Enter ? QStringLiteral("\r") : QString();
    SendKey(widget, QEvent::KeyPress, key, modifiers, text);
    SendKey(widget, QEvent::KeyRelease, key, modifiers, text);
}

void TypeText(QLineEdit *field, const QString &text)
{
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    for (const QChar c : text) {
        const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
        SendKey(field, QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        SendKey(field, QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    }
}

#pragma once

// Shared by the application shell's tests: driving modal dialogs from a timer,
// clicking and typing as the user does (so that errors thrown by handlers end
// in the application's error display, as in the program).

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `action` on the first modal window of type T once it is also the
// application's active window (the user's keys and clicks go there; the
// platform reports a new window active a little before the application
// does), polled for every 10 ms for at most about five seconds; when the time
// is up, the action runs on a modal window that is shown but not active, so
// that the test fails instead of waiting. A window the action leaves open is closed
// some seconds later, so that a failing test ends instead of hanging in exec().
// Checks belong after exec() has returned: a failed check inside the action
// would leave the dialog open. Give a context that ends with the test, so that
// a poller whose dialog never came cannot act in a later test.
template<typename T>
void WhenModal(QObject *context, std::function<void(T *)> action, int attempts = 500)
{
    QTimer::singleShot(10, context, [context, action, attempts] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (modal && (QApplication::activeWindow() == modal || attempts == 0)) {
            const QPointer<QWidget> guard(modal);
            action(modal);
            QTimer::singleShot(8000, context, [guard] {
                if (guard && guard->isVisible())
                    guard->close();
            });
            return;
        }
        if (attempts > 0)
            WhenModal<T>(context, action, attempts - 1);
    });
}

// Shows `window` and waits until it is the active window.
inline bool ShowActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// A mouse click on the button, delivered through the application object.
inline void ClickButton(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces the field's text as typing would (the field keeps its committed
// value until it is left).
inline void TypeInto(QLineEdit *field, const QString &text)
{
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    QTest::keyClicks(field, text);
}

#pragma once

// Shared by the control tests: the program's application object (errors thrown
// from event handlers end in the outer error display, as in the program), a
// recorder for the message seam, and helpers for windows and modal dialogs.

#include "app/TApplication.h"
#include "common/Messages.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

class MessageRecorder final : public MessageSink
{
public:
    MessageRecorder() { SetMessageSink(this); }
    ~MessageRecorder() override { SetMessageSink(nullptr); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    MessageButton show(const MessageRequest &request) override
    {
        texts.append(request.text);
        return request.defaultButton;
    }

    QStringList texts;
};

// Shows `window` and waits until it is the active window.
inline bool ShowActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// Types `key` into the control focused in `window`, as the keyboard would.
inline void PressKey(QWidget *window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

// Runs `action` on the modal window as soon as one is shown and is the
// application's active window (polled for at most about five seconds; the
// platform reports a new window active a little before the application does;
// when the time is up, the action runs anyway) and closes that window a few
// seconds later if the action left it open, so that a failing test ends
// instead of hanging in exec().
inline void WhenModalShown(QObject *context, std::function<void(QWidget *)> action, int attempts = 500)
{
    QTimer::singleShot(10, context, [context, action, attempts] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && (QApplication::activeWindow() == modal || attempts == 0)) {
            const QPointer<QWidget> guard(modal);
            action(modal);
            QTimer::singleShot(3000, context, [guard] {
                if (guard && guard->isVisible())
                    guard->close();
            });
            return;
        }
        if (attempts > 0)
            WhenModalShown(context, action, attempts - 1);
    });
}

#define DOMVEL_GUI_TEST_MAIN(TestObject)                                                                     \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        TApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

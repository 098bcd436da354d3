#pragma once

// Shared by the control tests: the program's application object (errors thrown
// from event handlers end in the outer error display, as in the program), a
// recorder for the message seam, and helpers for windows and modal dialogs.

#include "common/Messages.h"
#include "forms/TApplication.h"
#include "testing/MessageRecorder.h"
#include "testing/ModalDialogs.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <functional>

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

// Runs `action` on the modal window as soon as one is shown and active; a
// window left open is closed a few seconds later.
inline void WhenModalShown(QObject *context, std::function<void(QWidget *)> action)
{
    ModalWatchOptions options;
    options.closeLeftOpenAfterMs = 3000;
    WhenModal<QWidget>(context, std::move(action), options);
}

#define DOMVEL_GUI_TEST_MAIN(TestObject)                                                                               \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        TApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

#pragma once

// Shared by the application shell's tests: driving modal dialogs, clicking and
// typing as the user does (so that errors thrown by handlers end in the
// application's error display, as in the program).

#include "testing/ModalDialogs.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>

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

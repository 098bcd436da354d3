#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

#include <functional>

class QLineEdit;
class QWidget;

// Keys and clicks as the user gives them, delivered through the application
// object (so that errors thrown by handlers end in the program's outer error
// display), and bounded waits. Used by the tour, which ships without Qt Test,
// and by the tests.

// Processes events until `condition` holds or `timeoutMs` has passed; true
// when it held.
bool WaitFor(const std::function<bool()> &condition, int timeoutMs);

// Shows `window` and waits until it is the application's active window.
bool ShowActive(QWidget *window, int timeoutMs = 5000);

// A left click in the middle of `widget` (or at `pos`).
void ClickWidget(QWidget *widget);
void ClickAt(QWidget *widget, QPoint pos);
// A double click as the mouse gives it: press, release, double-click, release.
void DoubleClickAt(QWidget *widget, QPoint pos);

// A key pressed and released on `widget`.
void PressKeyOn(QWidget *widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Replaces the field's text as typing would (the field keeps its committed
// value until it is left).
void TypeText(QLineEdit *field, const QString &text);

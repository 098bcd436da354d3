#pragma once

#include "controls/TClickGuarded.h"

#include <QPushButton>

// A click-guarded push button. Connect the click action to OnClick, not to
// QAbstractButton::clicked: mouse clicks, Space, Enter on a default button,
// accelerator keys and click() all pass through Click, which runs the guard.
class TWButton : public QPushButton, public TClickGuarded
{
    Q_OBJECT

public:
    explicit TWButton(QWidget *parent = nullptr);
    explicit TWButton(const QString &caption, QWidget *parent = nullptr);

    // The guarded click: emits OnClick unless the window's buttons are blocked.
    void Click();

Q_SIGNALS:
    // The click action.
    void OnClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

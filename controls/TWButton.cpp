#include "controls/TWButton.h"

#include <QMouseEvent>

TWButton::TWButton(QWidget *parent) : TWButton(QString(), parent)
{
}

TWButton::TWButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, &TWButton::Click);
}

void TWButton::Click()
{
    RunGuardedClick(*this, [this] { Q_EMIT OnClick(); });
}

void TWButton::mousePressEvent(QMouseEvent *event)
{
    // A press first moves the focus to the button. An edit field that refused
    // its value on leaving has pulled the focus back: then the press must not
    // become a click, or OK would run on input just refused.
    if (event->button() == Qt::LeftButton && (focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus && window()
        && window()->focusWidget() && window()->focusWidget() != this) {
        event->ignore();
        return;
    }
    QPushButton::mousePressEvent(event);
}

#include "controls/TWButton.h"

TWButton::TWButton(QWidget *parent)
    : TWButton(QString(), parent)
{
}

TWButton::TWButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, &TWButton::Click);
}

void TWButton::Click()
{
    RunGuardedClick(*this, [this] { Q_EMIT OnClick(); });
}

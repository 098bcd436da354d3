#include "controls/TWSpeedButton.h"

#include "controls/ControlKind.h"
#include "controls/ProgramGlyph.h"

#include <QPointer>

TWSpeedButton::TWSpeedButton(QWidget *parent) : TWSpeedButton(QString(), parent)
{
}

TWSpeedButton::TWSpeedButton(const QString &caption, QWidget *parent) : QToolButton(parent)
{
    setText(caption);
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(this, &QAbstractButton::clicked, this, &TWSpeedButton::Click);
}

void TWSpeedButton::SetGlyph(const QString &resourceName)
{
    setIcon(ProgramGlyph(resourceName));
}

void TWSpeedButton::Click()
{
    RunGuardedClick(*this, [this] {
        if (DefocusHandler(window()))
            Q_EMIT OnClick();
    });
}

bool TWSpeedButton::DefocusHandler(QWidget *form)
{
    if (!m_defocusForce || !form)
        return true;
    const QPointer<QWidget> active = form->focusWidget();
    if (!active || !IsEditKind(ClassifyControl(active)))
        return true;

    // Runs the field's exit handling; a field that refuses takes the focus back.
    active->clearFocus();
    if (form->focusWidget())
        return false;

    if (active)
        active->setFocus(Qt::OtherFocusReason);
    return true;
}

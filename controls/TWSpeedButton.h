#pragma once

#include "controls/TClickGuarded.h"

#include <QToolButton>

// A flat, click-guarded tool button that never takes the focus. Before its
// click action runs it makes the focused edit field finish its exit handling
// (and so its validation); a field that refuses its value keeps the focus and
// the action does not run.
class TWSpeedButton : public QToolButton, public TClickGuarded
{
    Q_OBJECT
    Q_PROPERTY(bool DefocusForce READ DefocusForce WRITE DefocusForce_Set)

public:
    explicit TWSpeedButton(QWidget *parent = nullptr);
    explicit TWSpeedButton(const QString &caption, QWidget *parent = nullptr);

    bool DefocusForce() const { return m_defocusForce; }
    void DefocusForce_Set(bool value) { m_defocusForce = value; }

    // Shows the program's glyph `resourceName` beside the caption.
    void SetGlyph(const QString &resourceName);

    // The guarded click: the defocus step, then OnClick if it allows.
    void Click();

    // Takes the focus from the edit field active in `window` and gives it back,
    // so that its exit handling runs. Returns false when the field kept or took
    // back the focus (it refused its value).
    bool DefocusHandler(QWidget *window);

Q_SIGNALS:
    // The click action.
    void OnClick();

private:
    bool m_defocusForce = true;
};

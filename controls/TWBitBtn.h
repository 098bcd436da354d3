#pragma once

#include "controls/TWButton.h"

// A click-guarded push button with a glyph. A kind of its own for the keyboard
// rules of the base form: function keys never press it, and Enter moves the
// focus onto it rather than past it.
class TWBitBtn : public TWButton
{
    Q_OBJECT

public:
    explicit TWBitBtn(QWidget *parent = nullptr);
    explicit TWBitBtn(const QString &caption, QWidget *parent = nullptr);

    // Shows the program's glyph `resourceName` ("BUT_OK", ...); the disabled
    // state is drawn from it.
    void SetGlyph(const QString &resourceName);
};

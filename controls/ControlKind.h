#pragma once

class QWidget;

// The kinds of control the keyboard rules of the program's windows tell apart.
// The inner line edit of a spin box or combo box counts as its container.
enum class ControlKind {
    EditField, // single-line edit, spin box
    MultiLineEdit, // text edit
    ComboBox,
    CheckBox,
    RadioButton,
    ListBox,
    PushButton, // the toolkit's push button and TWButton
    BitmapButton, // TWBitBtn: a push button with a glyph, a kind of its own
    SpeedButton, // tool button, TWSpeedButton among them
    PageControl, // tabbed notebook (its tab bar holds the focus)
    Grid, // table view
    Other
};

ControlKind ClassifyControl(const QWidget *control);

// An edit field of any kind (single- or multi-line, spin box).
bool IsEditKind(ControlKind kind);

// The controls in which Enter moves on to the next field.
bool IsEnterAsTabKind(ControlKind kind);

// Controls that a function key presses: push buttons and speed buttons.
bool IsPressableKind(ControlKind kind);

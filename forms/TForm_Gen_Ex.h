#pragma once

#include "controls/ControlKind.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPointer>
#include <QPushButton>

#include <array>
#include <vector>

class QPushButton;
class QKeyEvent;

// The keyboard rules of the program's windows, as plain functions so that they
// can be checked without a window.
namespace FormKeys {

// The one modifier that counts, with Alt before Ctrl before Shift.
enum class Modifier { None, Shift, Ctrl, Alt };
Modifier ReduceShiftState(Qt::KeyboardModifiers shift);

// True when no modifier key is held at all (the keypad flag is no key).
bool NoModifierHeld(Qt::KeyboardModifiers shift);

bool IsEnterKey(int key);

// Fourteen function-key slots: 0 to 11 for F1 to F12, 12 a second F3, 13 a
// second F10.
constexpr int SlotCount = 14;
// The caption suffix of slot `slot` (" F1" ... " F12", " F3", " F10").
QString SlotCaptionSuffix(int slot);

struct SlotState
{
    bool assigned = false; // holds a control
    bool available = false; // that control is visible and enabled
    bool pressable = false; // a push or speed button that is enabled
};
using SlotStates = std::array<SlotState, SlotCount>;

struct FunctionKeyAction
{
    int pressSlot = -1; // slot whose control is to be pressed, or -1
    bool closeWindow = false; // close the window through its close path
    bool consumed = false; // nobody else sees the key
};

// What a function key does in a window with these slots.
FunctionKeyAction DecideFunctionKey(int key, Modifier modifier, const SlotStates &slots);

// One control of the window's tab order: only visible, enabled controls.
struct TabOrderEntry
{
    ControlKind kind = ControlKind::Other;
    bool tabStop = true;
};

// The next (or previous) tab stop after index `from`, wrapping around as Tab
// does; -1 when no other tab stop exists.
int FindNextTabStop(const std::vector<TabOrderEntry> &order, int from, bool forward);

enum class EnterAction {
    PassOn, // the key goes on unchanged
    MoveFocus, // focus `target`, key consumed
    BounceFocus, // focus `target` and straight back, key consumed
    ChangeToTab // the key becomes Tab
};

struct EnterPlan
{
    EnterAction action = EnterAction::PassOn;
    int target = -1;
};

// What Enter does with the control `active` of `order` focused (Enter as Tab on,
// window visible, no modifier held).
EnterPlan PlanEnterStep(const std::vector<TabOrderEntry> &order, int active);

} // namespace FormKeys

// The base of the program's windows and dialogs. It gives them one keyboard
// behaviour: Enter moves through the input fields like Tab, F1 to F12 press the
// buttons a window assigned to them, F10 never reaches the toolkit, Alt+F4 goes
// through the window's own close path. As in the program's other toolkits, a
// plain dialog's habits do not apply: Escape presses the window's cancel button
// (if it has one) instead of closing the window, and Enter that no control took
// presses only the window's own default button, not one chosen by the toolkit. The window sees every
// key before its focused control does (FormKeyDown, FormKeyPress, FormKeyUp).
// It shows the hourglass while it is being built.
//
// It is a QDialog so that dialogs can run modally; the main window passes
// Qt::Window as `flags` and is shown as an ordinary top-level window.
class TForm_Gen_Ex : public QDialog
{
    Q_OBJECT

public:
    explicit TForm_Gen_Ex(QWidget *owner = nullptr, Qt::WindowFlags flags = {});
    ~TForm_Gen_Ex() override;

    // Enter moves on like Tab; on by default.
    bool EnterAsTab() const { return m_enterAsTab; }
    void SetEnterAsTab(bool value) { m_enterAsTab = value; }

    // Stores `control` (may be null, not owned) in function-key slot `slot`
    // (0 to 13; IndexError otherwise). A push or speed button gets the slot's
    // caption suffix appended; a bitmap button keeps its caption.
    void AssignFunctionKey(int slot, QWidget *control);
    QWidget *FunctionKeyControl(int slot) const;

    // The button Escape presses (not owned); null: Escape does nothing.
    void SetCancelButton(QAbstractButton *button) { m_cancelButton = button; }
    // The button Enter presses when the focused control does not take Enter
    // (not owned); null: none. A focused push button takes Enter itself.
    void SetDefaultButton(QPushButton *button);

    // Sets the screen cursor to the normal arrow (the hourglass of construction
    // ends here at the latest).
    void ShowArrowCursor();

    // The control that was focused at the last key-down.
    QWidget *KeyDownControl() const { return m_keyDownControl; }

    // The window's key-down handler: the key code may be changed; 0 consumes the
    // key, another code replaces it. `sender` is the control the key is for.
    // Derived windows call this one first and then look at the key.
    virtual void FormKeyDown(QWidget *sender, int &key, Qt::KeyboardModifiers shift);
    // The character handler for Enter: may turn it into Tab or drop it (null).
    virtual void FormKeyPress(QWidget *sender, QChar &ch);
    // The key-up handler; does nothing here.
    virtual void FormKeyUp(QWidget *sender, int &key, Qt::KeyboardModifiers shift);

    // Runs the window's key handlers on a key event meant for `receiver`;
    // true when the event was consumed or replaced.
    bool PreviewKeyEvent(QWidget *receiver, QKeyEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    FormKeys::SlotStates SlotStates() const;
    void PressSlot(int slot);
    void EnterStep(int &key, Qt::KeyboardModifiers shift, bool &consumed);
    void ReleaseBuildCursor();

    bool m_enterAsTab = true;
    std::array<QPointer<QWidget>, FormKeys::SlotCount> m_slots;
    QPointer<QWidget> m_keyDownControl;
    QPointer<QAbstractButton> m_cancelButton;
    QPointer<QPushButton> m_defaultButton;
    bool m_holdsBuildCursor = false;
    bool m_holdsModalCursor = false;
};

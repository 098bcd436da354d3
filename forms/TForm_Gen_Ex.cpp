#include "forms/TForm_Gen_Ex.h"

#include "common/Errors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace FormKeys {

Modifier ReduceShiftState(Qt::KeyboardModifiers shift)
{
    if (shift & Qt::AltModifier)
        return Modifier::Alt;
    if (shift & Qt::ControlModifier)
        return Modifier::Ctrl;
    if (shift & Qt::ShiftModifier)
        return Modifier::Shift;
    return Modifier::None;
}

bool NoModifierHeld(Qt::KeyboardModifiers shift)
{
    return (shift & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

QString SlotCaptionSuffix(int slot)
{
    if (slot < 0 || slot >= SlotCount)
        throw IndexError(slot, SlotCount);
    if (slot == 12)
        return u" F3"_s;
    if (slot == 13)
        return u" F10"_s;
    return u" F%1"_s.arg(slot + 1);
}

FunctionKeyAction DecideFunctionKey(int key, Modifier modifier, const SlotStates &slots)
{
    FunctionKeyAction action;
    const auto firstAvailable = [&slots](int first, int second) {
        if (slots[first].available)
            return first;
        return slots[second].available ? second : -1;
    };
    // Pressed only when it is a push or speed button that is enabled.
    const auto pressIfPressable = [&](int slot) {
        if (slots[slot].pressable) {
            action.pressSlot = slot;
            action.consumed = true;
        }
    };
    // F10 would activate the window menu: it never goes on, whatever the modifier.
    if (key == Qt::Key_F10) {
        action.consumed = true;
        if (modifier == Modifier::None)
            action.pressSlot = firstAvailable(9, 13);
        return action;
    }
    if (key == Qt::Key_F4 && modifier == Modifier::Alt) {
        action.consumed = true;
        int slot = firstAvailable(2, 12);
        if (slot < 0)
            slot = firstAvailable(9, 13);
        if (slot >= 0)
            action.pressSlot = slot;
        else
            action.closeWindow = true;
        return action;
    }
    if (modifier != Modifier::None)
        return action;

    switch (key) {
    case Qt::Key_F1: pressIfPressable(0); break;
    case Qt::Key_F2: pressIfPressable(1); break;
    case Qt::Key_F3:
        action.pressSlot = firstAvailable(2, 12);
        action.consumed = action.pressSlot >= 0;
        break;
    case Qt::Key_F4: pressIfPressable(3); break;
    case Qt::Key_F5:
        action.pressSlot = 4;
        action.consumed = slots[4].assigned;
        break;
    case Qt::Key_F6:
        action.pressSlot = 5;
        action.consumed = slots[5].assigned;
        break;
    case Qt::Key_F7: pressIfPressable(6); break;
    case Qt::Key_F8: pressIfPressable(7); break;
    case Qt::Key_F9: pressIfPressable(8); break;
    case Qt::Key_F11: pressIfPressable(10); break;
    case Qt::Key_F12: pressIfPressable(11); break;
    default: break;
    }
    return action;
}

int FindNextTabStop(const std::vector<TabOrderEntry> &order, int from, bool forward)
{
    const int count = static_cast<int>(order.size());
    if (from < 0 || from >= count)
        return -1;
    int i = from;
    for (int step = 1; step < count; ++step) {
        i = forward ? (i + 1) % count : (i + count - 1) % count;
        if (order[static_cast<size_t>(i)].tabStop)
            return i;
    }
    return -1;
}

EnterPlan PlanEnterStep(const std::vector<TabOrderEntry> &order, int active)
{
    if (active < 0 || active >= static_cast<int>(order.size()))
        return {};
    const ControlKind kind = order[static_cast<size_t>(active)].kind;
    if (kind == ControlKind::Grid)
        return {EnterAction::ChangeToTab, -1};
    if (!IsEnterAsTabKind(kind))
        return {};

    const int next = FindNextTabStop(order, active, true);
    if (next < 0)
        return {};
    const ControlKind nextKind = order[static_cast<size_t>(next)].kind;
    if (nextKind == ControlKind::PageControl) {
        const int afterPages = FindNextTabStop(order, next, true);
        if (afterPages < 0)
            return {};
        return {EnterAction::MoveFocus, afterPages};
    }
    if (nextKind == ControlKind::PushButton) {
        // Stepping onto an OK-style button would let Enter press it at once; the
        // field only runs its exit handling and keeps the focus.
        const int previous = FindNextTabStop(order, active, false);
        if (previous < 0)
            return {};
        return {EnterAction::BounceFocus, previous};
    }
    return {EnterAction::MoveFocus, next};
}

} // namespace FormKeys

namespace {

// Gives the program's windows a key preview: each key goes to the window's key
// handlers before the focused control sees it.
class KeyPreviewFilter final : public QObject
{
public:
    using QObject::QObject;

    static void ensureInstalled()
    {
        static QPointer<KeyPreviewFilter> instance;
        if (!instance && qApp) {
            instance = new KeyPreviewFilter(qApp);
            qApp->installEventFilter(instance);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
            return false;
        if (!watched->isWidgetType())
            return false;
        auto *receiver = static_cast<QWidget *>(watched);
        auto *form = qobject_cast<TForm_Gen_Ex *>(receiver->window());
        if (!form)
            return false;
        // A key the focused control leaves unaccepted travels on to its parents;
        // the window looks at it once, on its first delivery.
        QWidget *first = form->focusWidget() ? form->focusWidget() : form;
        if (receiver != first)
            return false;
        return form->PreviewKeyEvent(receiver, static_cast<QKeyEvent *>(event));
    }
};

// The tab order of `form`: visible, enabled controls that take the focus,
// whatever container holds them, with `active` always among them.
int collectTabOrder(const QWidget *form, const QWidget *active, std::vector<QWidget *> &widgets,
                    std::vector<FormKeys::TabOrderEntry> &order)
{
    int activeIndex = -1;
    const int limit = static_cast<int>(form->findChildren<QWidget *>().size()) + 1;
    int visited = 0;
    for (QWidget *w = form->nextInFocusChain(); w && w != form && visited < limit;
         w = w->nextInFocusChain(), ++visited) {
        const bool candidate = w->window() == form && w->isVisible() && w->isEnabled() && !w->focusProxy()
            && w->focusPolicy() != Qt::NoFocus;
        if (w != active && !candidate)
            continue;
        if (w == active)
            activeIndex = static_cast<int>(widgets.size());
        widgets.push_back(w);
        order.push_back({ClassifyControl(w), (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus});
    }
    return activeIndex;
}

} // namespace

TForm_Gen_Ex::TForm_Gen_Ex(QWidget *owner, Qt::WindowFlags flags) : QDialog(owner, flags)
{
    KeyPreviewFilter::ensureInstalled();

    QFont uiFont = font();
    uiFont.setPixelSize(13);
    setFont(uiFont);
    setBackgroundRole(QPalette::Button);

    // The hourglass while the window is built: it ends when the window is shown,
    // sets the arrow itself, or control returns to the event loop, whichever
    // comes first, so that a window built but not shown leaves no hourglass.
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    m_holdsBuildCursor = true;
    QTimer::singleShot(0, this, [this] { ReleaseBuildCursor(); });
}

TForm_Gen_Ex::~TForm_Gen_Ex()
{
    ReleaseBuildCursor();
    if (m_holdsModalCursor)
        QGuiApplication::restoreOverrideCursor();
}

void TForm_Gen_Ex::ReleaseBuildCursor()
{
    if (!m_holdsBuildCursor)
        return;
    m_holdsBuildCursor = false;
    QGuiApplication::restoreOverrideCursor();
}

void TForm_Gen_Ex::ShowArrowCursor()
{
    ReleaseBuildCursor();
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
}

void TForm_Gen_Ex::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ReleaseBuildCursor();
    // A modal window gets the normal cursor for as long as it is shown, also
    // when the code that opened it holds the hourglass.
    if (isModal() && !m_holdsModalCursor) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
        m_holdsModalCursor = true;
    }
}

void TForm_Gen_Ex::hideEvent(QHideEvent *event)
{
    if (m_holdsModalCursor) {
        m_holdsModalCursor = false;
        QGuiApplication::restoreOverrideCursor();
    }
    QDialog::hideEvent(event);
}

void TForm_Gen_Ex::AssignFunctionKey(int slot, QWidget *control)
{
    const QString suffix = FormKeys::SlotCaptionSuffix(slot); // checks the slot number
    m_slots[static_cast<size_t>(slot)] = control;
    if (IsPressableKind(ClassifyControl(control))) {
        auto *button = static_cast<QAbstractButton *>(control);
        button->setText(button->text() + suffix);
    }
}

QWidget *TForm_Gen_Ex::FunctionKeyControl(int slot) const
{
    if (slot < 0 || slot >= FormKeys::SlotCount)
        throw IndexError(slot, FormKeys::SlotCount);
    return m_slots[static_cast<size_t>(slot)];
}

FormKeys::SlotStates TForm_Gen_Ex::SlotStates() const
{
    FormKeys::SlotStates states;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        const QWidget *control = m_slots[i];
        if (!control)
            continue;
        states[i].assigned = true;
        states[i].available = control->isVisibleTo(this) && control->isEnabled();
        states[i].pressable = control->isEnabled() && IsPressableKind(ClassifyControl(control));
    }
    return states;
}

void TForm_Gen_Ex::PressSlot(int slot)
{
    QWidget *control = m_slots[static_cast<size_t>(slot)];
    if (!control || !control->isEnabled() || !IsPressableKind(ClassifyControl(control)))
        return;
    // click() goes through the same path as a mouse click, click guard included.
    static_cast<QAbstractButton *>(control)->click();
}

void TForm_Gen_Ex::FormKeyDown(QWidget *, int &key, Qt::KeyboardModifiers shift)
{
    m_keyDownControl = focusWidget();
    const QPointer<TForm_Gen_Ex> self(this);

    const FormKeys::FunctionKeyAction action
        = FormKeys::DecideFunctionKey(key, FormKeys::ReduceShiftState(shift), SlotStates());
    bool consumed = action.consumed;
    if (action.pressSlot >= 0)
        PressSlot(action.pressSlot);
    else if (action.closeWindow)
        close();
    if (!self) {
        key = 0;
        return;
    }

    if (FormKeys::IsEnterKey(key))
        EnterStep(key, shift, consumed);
    if (consumed)
        key = 0;
}

void TForm_Gen_Ex::EnterStep(int &key, Qt::KeyboardModifiers shift, bool &consumed)
{
    if (!isVisible() || !FormKeys::NoModifierHeld(shift) || !m_enterAsTab)
        return;
    QWidget *active = focusWidget();
    if (!active)
        return;

    std::vector<QWidget *> widgets;
    std::vector<FormKeys::TabOrderEntry> order;
    const int activeIndex = collectTabOrder(this, active, widgets, order);
    const FormKeys::EnterPlan plan = FormKeys::PlanEnterStep(order, activeIndex);
    switch (plan.action) {
    case FormKeys::EnterAction::PassOn: break;
    case FormKeys::EnterAction::ChangeToTab: key = Qt::Key_Tab; break;
    case FormKeys::EnterAction::MoveFocus:
        widgets[static_cast<size_t>(plan.target)]->setFocus(Qt::TabFocusReason);
        consumed = true;
        break;
    case FormKeys::EnterAction::BounceFocus: {
        // Leaving the field runs its exit handling; a field that refuses its
        // value has taken the focus back already.
        const QPointer<QWidget> field(active);
        widgets[static_cast<size_t>(plan.target)]->setFocus(Qt::TabFocusReason);
        if (field)
            field->setFocus(Qt::TabFocusReason);
        consumed = true;
        break;
    }
    }
}

void TForm_Gen_Ex::FormKeyPress(QWidget *, QChar &ch)
{
    if (ch != u'\r' || !isVisible() || !m_enterAsTab)
        return;
    const ControlKind kind = ClassifyControl(m_keyDownControl);
    if (kind == ControlKind::Grid)
        ch = u'\t';
    else if (kind == ControlKind::MultiLineEdit)
        ch = QChar(); // Enter never breaks a line in these windows
}

void TForm_Gen_Ex::FormKeyUp(QWidget *, int &, Qt::KeyboardModifiers)
{
}

bool TForm_Gen_Ex::PreviewKeyEvent(QWidget *receiver, QKeyEvent *event)
{
    const QPointer<TForm_Gen_Ex> self(this);
    const QPointer<QWidget> target(receiver);
    const int original = event->key();
    int key = original;

    if (event->type() == QEvent::KeyRelease) {
        FormKeyUp(receiver, key, event->modifiers());
        if (key != 0)
            return false;
        event->accept();
        return true;
    }

    FormKeyDown(receiver, key, event->modifiers());
    if (key == original && FormKeys::IsEnterKey(key) && self) {
        QChar ch = u'\r';
        FormKeyPress(receiver, ch);
        if (ch.isNull())
            key = 0;
        else if (ch == u'\t')
            key = Qt::Key_Tab;
    }
    if (key == original)
        return false;

    event->accept();
    if (key != 0 && target) {
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
        const QString text = key == Qt::Key_Tab ? u"\t"_s : QString();
        QKeyEvent replacement(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(target, &replacement);
    }
    return true;
}

void TForm_Gen_Ex::SetDefaultButton(QPushButton *button)
{
    if (m_defaultButton && m_defaultButton != button)
        m_defaultButton->setDefault(false);
    m_defaultButton = button;
    if (button)
        button->setDefault(true);
}

namespace {

bool isAvailable(const QWidget *control, const QWidget *form)
{
    return control && control->isVisibleTo(form) && control->isEnabled();
}

} // namespace

void TForm_Gen_Ex::keyPressEvent(QKeyEvent *event)
{
    // Keys the focused control left alone. Escape presses the cancel button, if
    // the window has one: unlike a plain dialog, the window is never closed by
    // Escape alone.
    if (event->matches(QKeySequence::Cancel)) {
        if (isAvailable(m_cancelButton, this))
            m_cancelButton->click();
        event->accept();
        return;
    }
    // Enter presses the window's own default button; the dialog would also press
    // a button it chose itself.
    if (FormKeys::IsEnterKey(event->key())) {
        if (!FormKeys::NoModifierHeld(event->modifiers())) {
            event->ignore();
            return;
        }
        if (isAvailable(m_defaultButton, this))
            m_defaultButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

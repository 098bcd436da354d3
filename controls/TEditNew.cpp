#include "controls/TEditNew.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QScopedValueRollback>

namespace {

// Focus that leaves or returns with the whole window (another window activated,
// a message box shown, a popup opened) is no entry into or exit from the field.
bool isWindowLevelReason(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

Qt::Alignment horizontalOnly(Qt::Alignment value)
{
    if (value & Qt::AlignRight)
        return Qt::AlignRight;
    if (value & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

// Gives one field its own password character.
class PasswordCharStyle final : public QProxyStyle
{
public:
    explicit PasswordCharStyle(QChar c) : m_char(c) { }

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_char.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar m_char;
};

} // namespace

TEditNew::TEditNew(QWidget *parent) : QLineEdit(parent)
{
}

TEditNew::~TEditNew() = default;

void TEditNew::SetAlignment(Qt::Alignment value)
{
    value = horizontalOnly(value);
    if (value == m_alignment)
        return;
    m_alignment = value;
    ApplyDisplayAlignment();
}

void TEditNew::SetFocused(bool value)
{
    m_focused = value;
    if (m_alignment != Qt::AlignLeft)
        ApplyDisplayAlignment();
}

void TEditNew::ApplyDisplayAlignment()
{
    setAlignment((m_focused ? Qt::AlignLeft : m_alignment) | Qt::AlignVCenter);
}

void TEditNew::SetPasswordChar(QChar c)
{
    if (c == m_passwordChar)
        return;
    m_passwordChar = c;
    if (m_passwordStyle) {
        setStyle(nullptr);
        delete m_passwordStyle;
        m_passwordStyle = nullptr;
    }
    if (c.isNull()) {
        setEchoMode(QLineEdit::Normal);
        return;
    }
    m_passwordStyle = new PasswordCharStyle(c);
    m_passwordStyle->setParent(this);
    setStyle(m_passwordStyle);
    setEchoMode(QLineEdit::Password);
}

void TEditNew::NewValue_Handler()
{
    setModified(text() != m_oldValue);
    if (m_beforeChangeValue)
        m_beforeChangeValue(this);
    if (!isModified())
        return;
    m_oldValue = text();
    if (m_afterChangeValue)
        m_afterChangeValue(this);
}

void TEditNew::focusInEvent(QFocusEvent *event)
{
    // An entry is a focus that arrives while the field is not focused, or the
    // pull-back after a refusal; the window coming back to the front is none.
    if (m_refocusing || !m_focused) {
        if (!m_refocusing) {
            m_oldValue = text();
            SetFocused(true);
        }
        if (m_autoSelect && event->reason() != Qt::MouseFocusReason)
            selectAll();
    }
    QLineEdit::focusInEvent(event);
}

void TEditNew::focusOutEvent(QFocusEvent *event)
{
    // No exit without an entry: a widget that only passes the focus on (while
    // another field pulls it back) must not commit.
    if (!m_focused || isWindowLevelReason(event->reason())) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    try {
        NewValue_Handler();
        QLineEdit::focusOutEvent(event);
        SetFocused(false);
    } catch (...) {
        if (!hasFocus()) {
            // The entry handling must not take the refused text as committed.
            const QScopedValueRollback<bool> refocusing(m_refocusing, true);
            setFocus(Qt::OtherFocusReason);
        }
        selectAll();
        throw;
    }
}

void TEditNew::keyPressEvent(QKeyEvent *event)
{
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (isEnterKey(event->key())) {
            try {
                NewValue_Handler();
            } catch (...) {
                selectAll();
                event->accept();
                throw;
            }
        } else if (event->key() == Qt::Key_Escape) {
            setText(m_oldValue);
            setModified(false);
            selectAll();
        }
    }
    QLineEdit::keyPressEvent(event);
}

#pragma once

#include <QLineEdit>

#include <functional>

class QProxyStyle;

// The program's single-line edit field with a committed value: the text it held
// when it last received the focus or last accepted a change. Leaving the field
// or pressing Enter runs the commit step: BeforeChangeValue may refuse the text
// by throwing (the field then keeps the focus with its text selected), a changed
// text becomes the committed value and AfterChangeValue is told. Escape puts the
// committed value back. While unfocused the text is shown with Alignment; while
// edited it is always left-aligned.
//
// A refusal leaves the focus and key handlers as an exception: the program's
// application object (TApplication) catches it at the event boundary and shows
// its message.
class TEditNew : public QLineEdit
{
    Q_OBJECT

public:
    using ChangeHandler = std::function<void(TEditNew *sender)>;

    explicit TEditNew(QWidget *parent = nullptr);
    ~TEditNew() override;

    // Left, right or centre justification of the unfocused text; left by default.
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment value);

    // Called on every commit step, also when the text is unchanged; throwing
    // refuses the text. May be empty.
    void SetBeforeChangeValue(ChangeHandler handler) { m_beforeChangeValue = std::move(handler); }
    // Called after a changed text became the committed value. May be empty.
    void SetAfterChangeValue(ChangeHandler handler) { m_afterChangeValue = std::move(handler); }

    // A password field shows `c` once for each character; a null character
    // shows the text itself.
    void SetPasswordChar(QChar c);
    QChar PasswordChar() const { return m_passwordChar; }

    // Select the whole text when the field is entered by keyboard or program
    // (not by a mouse click). On by default.
    void SetAutoSelect(bool value) { m_autoSelect = value; }
    bool AutoSelect() const { return m_autoSelect; }

    // The committed value.
    const QString &OldValue() const { return m_oldValue; }
    // True between the field's enter and exit handling.
    bool Focused() const { return m_focused; }

    // The commit step; throws what BeforeChangeValue or AfterChangeValue throws.
    void NewValue_Handler();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void SetFocused(bool value);
    void ApplyDisplayAlignment();

    Qt::Alignment m_alignment = Qt::AlignLeft;
    ChangeHandler m_beforeChangeValue;
    ChangeHandler m_afterChangeValue;
    QString m_oldValue;
    bool m_focused = false;
    bool m_refocusing = false;
    bool m_autoSelect = true;
    QChar m_passwordChar;
    QProxyStyle *m_passwordStyle = nullptr; // child of the field
};

#include "testing/GuiTestSupport.h"

#include "common/Errors.h"
#include "controls/TEditNew.h"

#include <QLineEdit>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

// A window with two validating fields and a plain edit after them.
class EditWindow : public QWidget
{
public:
    EditWindow()
    {
        auto *layout = new QVBoxLayout(this);
        first = new TEditNew(this);
        second = new TEditNew(this);
        plain = new QLineEdit(this);
        layout->addWidget(first);
        layout->addWidget(second);
        layout->addWidget(plain);
        first->setText(u"alfa"_s);
        first->SetBeforeChangeValue([this](TEditNew *sender) {
            ++beforeCount;
            if (sender->text() == refused)
                throw AppError(u"Wartość niedozwolona."_s);
        });
        first->SetAfterChangeValue([this](TEditNew *) { ++afterCount; });
        second->SetBeforeChangeValue([this](TEditNew *) { ++secondChecks; });
    }

    TEditNew *first;
    TEditNew *second;
    QLineEdit *plain;
    int beforeCount = 0;
    int afterCount = 0;
    int secondChecks = 0;
    QString refused = u"zle"_s;
};

class tst_EditNew : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void leavingCommits_data();
    void leavingCommits();
    void refusedValueKeepsFocus();
    void escapeRestoresCommittedValue();
    void enterCommitsOnlyWithoutModifiers_data();
    void enterCommitsOnlyWithoutModifiers();
    void refusedEnterIsSwallowed();
    void windowDeactivationIsNoExit();
    void unfocusedAlignment();
    void passwordCharacter();

private:
    EditWindow *focusFirst();

    std::unique_ptr<EditWindow> m_window;
    std::unique_ptr<MessageRecorder> m_messages;
};

void tst_EditNew::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<EditWindow>();
    QVERIFY(ShowActive(m_window.get()));
}

void tst_EditNew::cleanup()
{
    m_window.reset();
    m_messages.reset();
}

EditWindow *tst_EditNew::focusFirst()
{
    m_window->first->setFocus(Qt::TabFocusReason);
    return m_window.get();
}

void tst_EditNew::leavingCommits_data()
{
    QTest::addColumn<QString>("typed"); // null: no typing at all
    QTest::addColumn<int>("afterCalls");
    QTest::addColumn<QString>("committed");
    QTest::addColumn<bool>("modified");
    QTest::newRow("no typing") << QString() << 0 << "alfa" << false;
    QTest::newRow("typed and restored") << "alfa" << 0 << "alfa" << false;
    QTest::newRow("changed") << "beta" << 1 << "beta" << true;
}

// Leaving the field always asks BeforeChangeValue; only a changed text is
// committed and reported to AfterChangeValue.
void tst_EditNew::leavingCommits()
{
    QFETCH(QString, typed);
    QFETCH(int, afterCalls);
    QFETCH(QString, committed);
    QFETCH(bool, modified);

    EditWindow *w = focusFirst();
    QVERIFY(w->first->hasFocus());
    if (!typed.isNull()) {
        QTest::keyClicks(w->first, u"xyz"_s);
        w->first->selectAll();
        QTest::keyClicks(w->first, typed);
    }
    PressKey(w, Qt::Key_Tab);

    QVERIFY(w->second->hasFocus());
    QCOMPARE(w->beforeCount, 1);
    QCOMPARE(w->afterCount, afterCalls);
    QCOMPARE(w->first->OldValue(), committed);
    QCOMPARE(w->first->isModified(), modified);
    QVERIFY(!w->first->Focused());
}

void tst_EditNew::refusedValueKeepsFocus()
{
    EditWindow *w = focusFirst();
    w->first->selectAll();
    QTest::keyClicks(w->first, u"zle"_s);
    PressKey(w, Qt::Key_Tab);

    QVERIFY2(w->first->hasFocus(), "a refused value keeps the focus in the field");
    QVERIFY(w->first->Focused());
    QCOMPARE(w->first->selectedText(), u"zle"_s);
    QCOMPARE(w->first->OldValue(), u"alfa"_s);
    QCOMPARE(w->afterCount, 0);
    QCOMPARE(m_messages->texts(), QStringList{u"Wartość niedozwolona."_s});
    QVERIFY2(!w->second->Focused(), "the field the focus only passed through did not enter");
    QCOMPARE(w->secondChecks, 0);

    // Escape now brings back the value from before the edit, and the field can be left.
    PressKey(w, Qt::Key_Escape);
    QCOMPARE(w->first->text(), u"alfa"_s);
    QVERIFY(!w->first->isModified());
    PressKey(w, Qt::Key_Tab);
    QVERIFY(w->second->hasFocus());
    QCOMPARE(m_messages->texts().size(), 1);
}

void tst_EditNew::escapeRestoresCommittedValue()
{
    EditWindow *w = focusFirst();
    w->first->deselect();
    PressKey(w, Qt::Key_Escape);
    QCOMPARE(w->first->selectedText(), u"alfa"_s);

    w->first->end(false);
    QTest::keyClicks(w->first, u"beta"_s);
    QVERIFY(w->first->isModified());
    PressKey(w, Qt::Key_Escape);
    QCOMPARE(w->first->text(), u"alfa"_s);
    QCOMPARE(w->first->selectedText(), u"alfa"_s);
    QVERIFY(!w->first->isModified());
}

void tst_EditNew::enterCommitsOnlyWithoutModifiers_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("beforeCalls");
    QTest::newRow("Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 1;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 1;
    QTest::newRow("Shift+Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 0;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier) << 0;
    QTest::newRow("Alt+Enter") << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::AltModifier) << 0;
}

void tst_EditNew::enterCommitsOnlyWithoutModifiers()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, beforeCalls);

    EditWindow *w = focusFirst();
    w->first->end(false);
    QTest::keyClicks(w->first, u"2"_s);
    PressKey(w, key, modifiers);

    QCOMPARE(w->beforeCount, beforeCalls);
    QCOMPARE(w->afterCount, beforeCalls);
    QCOMPARE(w->first->OldValue(), beforeCalls ? u"alfa2"_s : u"alfa"_s);
    QVERIFY(w->first->hasFocus());
}

// A refused Enter goes no further: the edit's own Enter handling (which
// reports the end of editing) does not run.
void tst_EditNew::refusedEnterIsSwallowed()
{
    EditWindow *w = focusFirst();
    int returnPressed = 0;
    connect(w->first, &QLineEdit::returnPressed, this, [&returnPressed] { ++returnPressed; });

    PressKey(w, Qt::Key_Return);
    QCOMPARE(returnPressed, 1);

    w->first->selectAll();
    QTest::keyClicks(w->first, u"zle"_s);
    w->first->deselect();
    PressKey(w, Qt::Key_Return);

    QCOMPARE(m_messages->texts(), QStringList{u"Wartość niedozwolona."_s});
    QCOMPARE(returnPressed, 1);
    QCOMPARE(w->first->selectedText(), u"zle"_s);
    QCOMPARE(w->first->OldValue(), u"alfa"_s);
}

// Another window coming to the front (a message box, another program) is no
// exit from the field, and coming back is no new entry.
void tst_EditNew::windowDeactivationIsNoExit()
{
    EditWindow *w = focusFirst();
    w->first->end(false);
    QTest::keyClicks(w->first, u"3"_s);

    QWidget other;
    QVERIFY(ShowActive(&other));
    QCOMPARE(w->beforeCount, 0);
    QVERIFY(ShowActive(w));
    QVERIFY(w->first->hasFocus());
    QCOMPARE(w->first->OldValue(), u"alfa"_s);

    PressKey(w, Qt::Key_Tab);
    QCOMPARE(w->beforeCount, 1);
    QCOMPARE(w->afterCount, 1);
    QCOMPARE(w->first->OldValue(), u"alfa3"_s);
}

void tst_EditNew::unfocusedAlignment()
{
    EditWindow *w = m_window.get();
    w->second->setFocus(Qt::TabFocusReason);
    w->first->SetAlignment(Qt::AlignRight);
    QCOMPARE(w->first->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    w->first->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->first->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);

    PressKey(w, Qt::Key_Tab);
    QCOMPARE(w->first->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);

    w->first->SetAlignment(Qt::AlignHCenter);
    QCOMPARE(w->first->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

void tst_EditNew::passwordCharacter()
{
    TEditNew *field = m_window->second;
    field->setText(u"tajne"_s);
    field->SetPasswordChar(u'x');
    QCOMPARE(field->displayText(), u"xxxxx"_s);
    QCOMPARE(field->text(), u"tajne"_s);

    field->SetPasswordChar(QChar());
    QCOMPARE(field->displayText(), u"tajne"_s);
}

DOMVEL_GUI_TEST_MAIN(tst_EditNew)
#include "tst_editnew.moc"

#include "GuiTestSupport.h"

#include "common/Errors.h"
#include "controls/TEditNew.h"

#include <QLineEdit>
#include <QVBoxLayout>

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
        first->setText(QStringLiteral("alfa"));
        first->SetBeforeChangeValue([this](TEditNew *sender) {
            ++beforeCount;
            if (sender->text() == refused)
                throw AppError(QStringLiteral("Wartość niedozwolona."));
        });
        first->SetAfterChangeValue([this](TEditNew *) { ++afterCount; });
    }

    TEditNew *first;
    TEditNew *second;
    QLineEdit *plain;
    int beforeCount = 0;
    int afterCount = 0;
    QString refused = QStringLiteral("zle");
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
    QTest::addColumn<QString>("typed");  // null: no typing at all
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
        QTest::keyClicks(w->first, QStringLiteral("xyz"));
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
    QTest::keyClicks(w->first, QStringLiteral("zle"));
    PressKey(w, Qt::Key_Tab);

    QVERIFY2(w->first->hasFocus(), "a refused value keeps the focus in the field");
    QVERIFY(w->first->Focused());
    QCOMPARE(w->first->selectedText(), QStringLiteral("zle"));
    QCOMPARE(w->first->OldValue(), QStringLiteral("alfa"));
    QCOMPARE(w->afterCount, 0);
    QCOMPARE(m_messages->texts, QStringList{QStringLiteral("Wartość niedozwolona.")});
    QVERIFY2(!w->second->Focused(), "the field the focus only passed through did not enter");

    // Escape now brings back the value from before the edit, and the field can be left.
    PressKey(w, Qt::Key_Escape);
    QCOMPARE(w->first->text(), QStringLiteral("alfa"));
    QVERIFY(!w->first->isModified());
    PressKey(w, Qt::Key_Tab);
    QVERIFY(w->second->hasFocus());
    QCOMPARE(m_messages->texts.size(), 1);
}

void tst_EditNew::escapeRestoresCommittedValue()
{
    EditWindow *w = focusFirst();
    w->first->deselect();
    PressKey(w, Qt::Key_Escape);
    QCOMPARE(w->first->selectedText(), QStringLiteral("alfa"));

    w->first->end(false);
    QTest::keyClicks(w->first, QStringLiteral("beta"));
    QVERIFY(w->first->isModified());
    PressKey(w, Qt::Key_Escape);
    QCOMPARE(w->first->text(), QStringLiteral("alfa"));
    QCOMPARE(w->first->selectedText(), QStringLiteral("alfa"));
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
    QTest::keyClicks(w->first, QStringLiteral("2"));
    PressKey(w, key, modifiers);

    QCOMPARE(w->beforeCount, beforeCalls);
    QCOMPARE(w->afterCount, beforeCalls);
    QCOMPARE(w->first->OldValue(), beforeCalls ? QStringLiteral("alfa2") : QStringLiteral("alfa"));
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
    QTest::keyClicks(w->first, QStringLiteral("zle"));
    w->first->deselect();
    PressKey(w, Qt::Key_Return);

    QCOMPARE(m_messages->texts, QStringList{QStringLiteral("Wartość niedozwolona.")});
    QCOMPARE(returnPressed, 1);
    QCOMPARE(w->first->selectedText(), QStringLiteral("zle"));
    QCOMPARE(w->first->OldValue(), QStringLiteral("alfa"));
}

// Another window coming to the front (a message box, another program) is no
// exit from the field, and coming back is no new entry.
void tst_EditNew::windowDeactivationIsNoExit()
{
    EditWindow *w = focusFirst();
    w->first->end(false);
    QTest::keyClicks(w->first, QStringLiteral("3"));

    QWidget other;
    QVERIFY(ShowActive(&other));
    QCOMPARE(w->beforeCount, 0);
    QVERIFY(ShowActive(w));
    QVERIFY(w->first->hasFocus());
    QCOMPARE(w->first->OldValue(), QStringLiteral("alfa"));

    PressKey(w, Qt::Key_Tab);
    QCOMPARE(w->beforeCount, 1);
    QCOMPARE(w->afterCount, 1);
    QCOMPARE(w->first->OldValue(), QStringLiteral("alfa3"));
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
    field->setText(QStringLiteral("tajne"));
    field->SetPasswordChar(u'x');
    QCOMPARE(field->displayText(), QStringLiteral("xxxxx"));
    QCOMPARE(field->text(), QStringLiteral("tajne"));

    field->SetPasswordChar(QChar());
    QCOMPARE(field->displayText(), QStringLiteral("tajne"));
}

DOMVEL_GUI_TEST_MAIN(tst_EditNew)
#include "tst_editnew.moc"

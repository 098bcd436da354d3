#include "testing/GuiTestSupport.h"

#include "common/Cursors.h"
#include "common/Errors.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "forms/TForm_Gen_Ex.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

using namespace FormKeys;

namespace {

// A window of the program: records the key its later key handling sees (after
// the base form's rules) and its close events.
class KeyForm : public TForm_Gen_Ex
{
public:
    KeyForm() : TForm_Gen_Ex(nullptr, Qt::Window) { layout = new QVBoxLayout(this); }

    void FormKeyDown(QWidget *sender, int &key, Qt::KeyboardModifiers shift) override
    {
        TForm_Gen_Ex::FormKeyDown(sender, key, shift);
        keysAfterBase.append(key);
    }

    QVBoxLayout *layout;
    QList<int> keysAfterBase;
    int closeEvents = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeEvents;
        TForm_Gen_Ex::closeEvent(event);
    }
};

// Records the keys pressed that reach a control.
class KeySpy : public QObject
{
public:
    explicit KeySpy(QWidget *control) { control->installEventFilter(this); }
    QList<int> keys;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.append(static_cast<QKeyEvent *>(event)->key());
        return false;
    }
};

// "9:P 13:A": slot 9 holds an enabled push or speed button, slot 13 an available
// control that is not pressed (a bitmap button); D disabled, H hidden.
SlotStates parseSlots(const QString &spec)
{
    SlotStates slots;
    const QStringList parts = spec.split(u' ', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int slot = part.section(u':', 0, 0).toInt();
        const QChar state = part.section(u':', 1, 1).at(0);
        SlotState &s = slots[static_cast<size_t>(slot)];
        s.assigned = true;
        s.available = state == u'P' || state == u'A';
        s.pressable = state == u'P' || state == u'H';
    }
    return slots;
}

// "E E* -E P": controls in tab order, * the active one, - not a tab stop.
std::vector<TabOrderEntry> parseOrder(const QString &spec, int *active)
{
    std::vector<TabOrderEntry> order;
    const QStringList parts = spec.split(u' ', Qt::SkipEmptyParts);
    for (QString part : parts) {
        TabOrderEntry entry;
        if (part.startsWith(u'-')) {
            entry.tabStop = false;
            part.remove(0, 1);
        }
        if (part.endsWith(u'*'))
            *active = static_cast<int>(order.size());
        switch (part.at(0).toLatin1()) {
        case 'E': entry.kind = ControlKind::EditField; break;
        case 'M': entry.kind = ControlKind::MultiLineEdit; break;
        case 'C': entry.kind = ControlKind::CheckBox; break;
        case 'P': entry.kind = ControlKind::PushButton; break;
        case 'B': entry.kind = ControlKind::BitmapButton; break;
        case 'T': entry.kind = ControlKind::PageControl; break;
        case 'G': entry.kind = ControlKind::Grid; break;
        default: entry.kind = ControlKind::Other; break;
        }
        order.push_back(entry);
    }
    return order;
}

Qt::CursorShape currentCursor()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

int overrideDepth()
{
    // Counts the override cursors in force by taking them off and putting them back.
    QList<Qt::CursorShape> shapes;
    while (const QCursor *cursor = QGuiApplication::overrideCursor()) {
        shapes.prepend(cursor->shape());
        QGuiApplication::restoreOverrideCursor();
    }
    for (Qt::CursorShape shape : shapes)
        QGuiApplication::setOverrideCursor(QCursor(shape));
    return static_cast<int>(shapes.size());
}

} // namespace

class tst_BaseForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    // The rules as plain functions.
    void reduceShiftState_data();
    void reduceShiftState();
    void functionKeyRules_data();
    void functionKeyRules();
    void enterRules_data();
    void enterRules();

    // The rules in a window.
    void functionKeysInWindow_data();
    void functionKeysInWindow();
    void functionKeyCaptions();
    void enterMovesThroughFields_data();
    void enterMovesThroughFields();
    void enterBounceShowsRefusalOnce();
    void enterOverPageControl();
    void enterInGridBecomesTab();
    void enterNeverBreaksLineInMultiLineEdit();
    void escapeAndEnterPressOnlyAssignedButtons();

    // The hourglass.
    void buildCursorEndsAtEventLoop();
    void modalWindowShowsArrow();
    void windowsBuiltAtStartLeaveNoHourglass();

private:
    std::unique_ptr<MessageRecorder> m_messages;
};

void tst_BaseForm::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    QCOMPARE(overrideDepth(), 0);
}

void tst_BaseForm::cleanup()
{
    m_messages.reset();
    QTest::qWait(1);
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void tst_BaseForm::reduceShiftState_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("shift");
    QTest::addColumn<Modifier>("expected");
    QTest::newRow("none") << Qt::KeyboardModifiers() << Modifier::None;
    QTest::newRow("keypad is no modifier") << Qt::KeyboardModifiers(Qt::KeypadModifier) << Modifier::None;
    QTest::newRow("shift") << Qt::KeyboardModifiers(Qt::ShiftModifier) << Modifier::Shift;
    QTest::newRow("ctrl before shift") << (Qt::ControlModifier | Qt::ShiftModifier) << Modifier::Ctrl;
    QTest::newRow("alt before ctrl") << (Qt::ControlModifier | Qt::AltModifier) << Modifier::Alt;
}

void tst_BaseForm::reduceShiftState()
{
    QFETCH(Qt::KeyboardModifiers, shift);
    QFETCH(Modifier, expected);
    QCOMPARE(ReduceShiftState(shift), expected);
}

void tst_BaseForm::functionKeyRules_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Modifier>("modifier");
    QTest::addColumn<QString>("slots");
    QTest::addColumn<int>("pressSlot");
    QTest::addColumn<bool>("close");
    QTest::addColumn<bool>("consumed");

    const int F1 = Qt::Key_F1, F2 = Qt::Key_F2, F3 = Qt::Key_F3, F4 = Qt::Key_F4, F5 = Qt::Key_F5, F10 = Qt::Key_F10;
    const Modifier none = Modifier::None, alt = Modifier::Alt;

    QTest::newRow("F10, empty slots") << F10 << none << "" << -1 << false << true;
    QTest::newRow("Shift+F10, empty slots") << F10 << Modifier::Shift << "" << -1 << false << true;
    QTest::newRow("Alt+F10 presses nothing") << F10 << alt << "9:P" << -1 << false << true;
    QTest::newRow("F10 presses slot 9") << F10 << none << "9:P 13:P" << 9 << false << true;
    QTest::newRow("F10, slot 9 hidden: slot 13") << F10 << none << "9:H 13:P" << 13 << false << true;
    QTest::newRow("Alt+F4, empty slots: close") << F4 << alt << "" << -1 << true << true;
    QTest::newRow("Alt+F4 prefers slot 2") << F4 << alt << "2:P 9:P" << 2 << false << true;
    QTest::newRow("Alt+F4, then slot 12") << F4 << alt << "12:P 9:P" << 12 << false << true;
    QTest::newRow("Alt+F4, then slot 9") << F4 << alt << "2:D 9:P" << 9 << false << true;
    QTest::newRow("Alt+F4, bitmap in slot 9: no close") << F4 << alt << "9:A" << 9 << false << true;
    QTest::newRow("F4 presses slot 3") << F4 << none << "3:P" << 3 << false << true;
    QTest::newRow("Ctrl+F4 passes on") << F4 << Modifier::Ctrl << "3:P" << -1 << false << false;
    QTest::newRow("F1, empty slot 0") << F1 << none << "" << -1 << false << false;
    QTest::newRow("F1 presses slot 0") << F1 << none << "0:P" << 0 << false << true;
    QTest::newRow("F1, bitmap in slot 0") << F1 << none << "0:A" << -1 << false << false;
    QTest::newRow("Shift+F1 passes on") << F1 << Modifier::Shift << "0:P" << -1 << false << false;
    QTest::newRow("Alt+F1 passes on") << F1 << alt << "0:P" << -1 << false << false;
    QTest::newRow("F2, disabled: passes on") << F2 << none << "1:D" << -1 << false << false;
    QTest::newRow("F5, disabled: consumed") << F5 << none << "4:D" << 4 << false << true;
    QTest::newRow("F5, empty: passes on") << F5 << none << "" << 4 << false << false;
    QTest::newRow("F3, second choice") << F3 << none << "2:D 12:A" << 12 << false << true;
    QTest::newRow("F3, none available") << F3 << none << "2:D" << -1 << false << false;
}

void tst_BaseForm::functionKeyRules()
{
    QFETCH(int, key);
    QFETCH(Modifier, modifier);
    QFETCH(QString, slots);
    QFETCH(int, pressSlot);
    QFETCH(bool, close);
    QFETCH(bool, consumed);

    const FunctionKeyAction action = DecideFunctionKey(key, modifier, parseSlots(slots));
    QCOMPARE(action.pressSlot, pressSlot);
    QCOMPARE(action.closeWindow, close);
    QCOMPARE(action.consumed, consumed);
}

void tst_BaseForm::enterRules_data()
{
    QTest::addColumn<QString>("order");
    QTest::addColumn<EnterAction>("action");
    QTest::addColumn<int>("target");

    QTest::newRow("edit to edit") << "E* E P" << EnterAction::MoveFocus << 1;
    QTest::newRow("last edit before a push button") << "E E* P" << EnterAction::BounceFocus << 0;
    QTest::newRow("last edit before a bitmap button") << "E E* B" << EnterAction::MoveFocus << 2;
    QTest::newRow("non tab stops skipped") << "E* -E -P E" << EnterAction::MoveFocus << 3;
    QTest::newRow("page control stepped over") << "E* T E" << EnterAction::MoveFocus << 2;
    QTest::newRow("wraps like Tab") << "E E*" << EnterAction::MoveFocus << 0;
    QTest::newRow("the only control") << "E* -E" << EnterAction::PassOn << -1;
    QTest::newRow("check box moves on") << "C* E" << EnterAction::MoveFocus << 1;
    QTest::newRow("multi-line edit moves on") << "M* E" << EnterAction::MoveFocus << 1;
    QTest::newRow("on a push button") << "E P*" << EnterAction::PassOn << -1;
    QTest::newRow("grid") << "E G*" << EnterAction::ChangeToTab << -1;
    QTest::newRow("other control") << "E O*" << EnterAction::PassOn << -1;
}

void tst_BaseForm::enterRules()
{
    QFETCH(QString, order);
    QFETCH(EnterAction, action);
    QFETCH(int, target);

    int active = -1;
    const std::vector<TabOrderEntry> entries = parseOrder(order, &active);
    const EnterPlan plan = PlanEnterStep(entries, active);
    QCOMPARE(plan.action, action);
    QCOMPARE(plan.target, target);
}

void tst_BaseForm::functionKeysInWindow_data()
{
    QTest::addColumn<QString>("buttons"); // slot:kind, kind push | push-disabled | bitmap | speed
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("clickedSlot");
    QTest::addColumn<bool>("reachesField");
    QTest::addColumn<bool>("closed");

    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers alt(Qt::AltModifier);
    QTest::newRow("F10, empty slots") << "" << int(Qt::Key_F10) << none << -1 << false << false;
    QTest::newRow("Shift+F10, empty slots")
        << "" << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier) << -1 << false << false;
    QTest::newRow("Alt+F4, empty slots") << "" << int(Qt::Key_F4) << alt << -1 << false << true;
    QTest::newRow("Ctrl+Alt+F4, empty slots")
        << "" << int(Qt::Key_F4) << (Qt::AltModifier | Qt::ControlModifier) << -1 << false << true;
    QTest::newRow("F10, push button in slot 9") << "9:push" << int(Qt::Key_F10) << none << 9 << false << false;
    QTest::newRow("Alt+F4, push button in slot 9") << "9:push" << int(Qt::Key_F4) << alt << 9 << false << false;
    QTest::newRow("Alt+F4 presses slot 2 first") << "2:push 9:push" << int(Qt::Key_F4) << alt << 2 << false << false;
    QTest::newRow("F10, bitmap button in slot 9") << "9:bitmap" << int(Qt::Key_F10) << none << -1 << false << false;
    QTest::newRow("Alt+F4, bitmap button in slot 9") << "9:bitmap" << int(Qt::Key_F4) << alt << -1 << false << false;
    QTest::newRow("F1, empty slot 0") << "" << int(Qt::Key_F1) << none << -1 << true << false;
    QTest::newRow("F1, speed button in slot 0") << "0:speed" << int(Qt::Key_F1) << none << 0 << false << false;
    QTest::newRow("Shift+F1, speed button in slot 0")
        << "0:speed" << int(Qt::Key_F1) << Qt::KeyboardModifiers(Qt::ShiftModifier) << -1 << true << false;
    QTest::newRow("F5, disabled button") << "4:push-disabled" << int(Qt::Key_F5) << none << -1 << false << false;
    QTest::newRow("F2, disabled button") << "1:push-disabled" << int(Qt::Key_F2) << none << -1 << true << false;
}

void tst_BaseForm::functionKeysInWindow()
{
    QFETCH(QString, buttons);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, clickedSlot);
    QFETCH(bool, reachesField);
    QFETCH(bool, closed);

    KeyForm form;
    auto *field = new QLineEdit(&form);
    form.layout->addWidget(field);
    const KeySpy spy(field);
    int clicked = -1;
    const QStringList parts = buttons.split(u' ', Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const int slot = part.section(u':', 0, 0).toInt();
        const QString kind = part.section(u':', 1, 1);
        QAbstractButton *button = nullptr;
        if (kind == u"bitmap")
            button = new TWBitBtn(u"Za&mknij"_s, &form);
        else if (kind == u"speed")
            button = new TWSpeedButton(&form);
        else
            button = new QPushButton(u"Przycisk"_s, &form);
        button->setEnabled(kind != u"push-disabled");
        form.layout->addWidget(button);
        connect(button, &QAbstractButton::clicked, this, [&clicked, slot] { clicked = slot; });
        form.AssignFunctionKey(slot, button);
    }
    QVERIFY(ShowActive(&form));
    field->setFocus();

    PressKey(&form, key, modifiers);

    QCOMPARE(clicked, clickedSlot);
    QCOMPARE(spy.keys.contains(key), reachesField);
    QCOMPARE(form.closeEvents > 0, closed);
    QCOMPARE(!form.isVisible(), closed);
}

void tst_BaseForm::functionKeyCaptions()
{
    KeyForm form;
    auto *help = new TWSpeedButton(&form);
    auto *close = new QPushButton(u"Zamknij"_s, &form);
    auto *ok = new TWBitBtn(u"&Ok"_s, &form);
    form.AssignFunctionKey(0, help);
    form.AssignFunctionKey(13, close);
    form.AssignFunctionKey(9, ok);
    form.AssignFunctionKey(11, nullptr);

    QCOMPARE(help->text(), u" F1"_s);
    QCOMPARE(close->text(), u"Zamknij F10"_s);
    QCOMPARE(ok->text(), u"&Ok"_s);
    QCOMPARE(form.FunctionKeyControl(9), ok);
    QVERIFY_THROWS_EXCEPTION(IndexError, form.AssignFunctionKey(14, ok));
    QVERIFY_THROWS_EXCEPTION(IndexError, form.AssignFunctionKey(-1, ok));
}

void tst_BaseForm::enterMovesThroughFields_data()
{
    QTest::addColumn<QString>("button"); // the control after the fields: push | bitmap
    QTest::addColumn<int>("start"); // field focused: 0 or 1
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("enterAsTab");
    QTest::addColumn<QString>("focusAfter"); // field0 | field1 | button
    QTest::addColumn<int>("exitHandlings"); // of the field focused at start

    const Qt::KeyboardModifiers none;
    QTest::newRow("first field") << "push" << 0 << none << true << "field1" << 1;
    QTest::newRow("keypad Enter") << "push" << 0 << Qt::KeyboardModifiers(Qt::KeypadModifier) << true << "field1" << 1;
    QTest::newRow("last field before a push button") << "push" << 1 << none << true << "field1" << 1;
    QTest::newRow("last field before a bitmap button") << "bitmap" << 1 << none << true << "button" << 1;
    QTest::newRow("Shift held") << "push" << 0 << Qt::KeyboardModifiers(Qt::ShiftModifier) << true << "field0" << 0;
    QTest::newRow("Ctrl held") << "bitmap" << 1 << Qt::KeyboardModifiers(Qt::ControlModifier) << true << "field1" << 0;
    // The window leaves Enter to the field, which commits by itself.
    QTest::newRow("Enter as Tab off") << "bitmap" << 0 << none << false << "field0" << 1;
}

void tst_BaseForm::enterMovesThroughFields()
{
    QFETCH(QString, button);
    QFETCH(int, start);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, enterAsTab);
    QFETCH(QString, focusAfter);
    QFETCH(int, exitHandlings);

    KeyForm form;
    form.SetEnterAsTab(enterAsTab);
    TEditNew *fields[2] = {new TEditNew(&form), new TEditNew(&form)};
    int exits[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        form.layout->addWidget(fields[i]);
        fields[i]->SetBeforeChangeValue([&exits, i](TEditNew *) { ++exits[i]; });
    }
    QPushButton *ok = button == u"bitmap" ? new TWBitBtn(u"&Ok"_s, &form) : new QPushButton(u"&Ok"_s, &form);
    form.layout->addWidget(ok);
    int clicks = 0;
    connect(ok, &QAbstractButton::clicked, this, [&clicks] { ++clicks; });
    QVERIFY(ShowActive(&form));
    fields[start]->setFocus(Qt::TabFocusReason);
    QVERIFY(fields[start]->hasFocus());

    PressKey(&form, Qt::Key_Return, modifiers);

    QWidget *expected = focusAfter == u"button" ? static_cast<QWidget *>(ok) : fields[focusAfter == u"field1" ? 1 : 0];
    QCOMPARE(QApplication::focusWidget(), expected);
    QCOMPARE(exits[start], exitHandlings);
    QCOMPARE(clicks, 0);
    QVERIFY(form.isVisible());
}

// Enter in the last field before an OK button runs the field's validation: a
// refusal is shown once and the field keeps the focus.
void tst_BaseForm::enterBounceShowsRefusalOnce()
{
    KeyForm form;
    auto *login = new TEditNew(&form);
    auto *password = new TEditNew(&form);
    auto *ok = new QPushButton(u"&Ok"_s, &form);
    form.layout->addWidget(login);
    form.layout->addWidget(password);
    form.layout->addWidget(ok);
    int loginExits = 0;
    login->SetBeforeChangeValue([&loginExits](TEditNew *) { ++loginExits; });
    password->SetBeforeChangeValue([](TEditNew *sender) {
        if (sender->text().size() < 3)
            throw AppError(u"Hasło za krótkie."_s);
    });
    QVERIFY(ShowActive(&form));
    password->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(password, u"ab"_s);
    const int loginExitsBefore = loginExits;

    PressKey(&form, Qt::Key_Return);

    QCOMPARE(m_messages->texts(), QStringList{u"Hasło za krótkie."_s});
    QVERIFY(password->hasFocus());
    QCOMPARE(password->selectedText(), u"ab"_s);
    QCOMPARE(loginExits, loginExitsBefore);
}

void tst_BaseForm::enterOverPageControl()
{
    KeyForm form;
    auto *first = new QLineEdit(&form);
    auto *pages = new QTabWidget(&form);
    auto *page = new QWidget;
    auto *inside = new QLineEdit(page);
    (new QVBoxLayout(page))->addWidget(inside);
    pages->addTab(page, u"Strona"_s);
    form.layout->addWidget(first);
    form.layout->addWidget(pages);
    QVERIFY(ShowActive(&form));
    first->setFocus(Qt::TabFocusReason);

    PressKey(&form, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), inside);
}

// Enter in a grid moves to its next cell, and the window's later key handling
// sees Tab, not Enter.
void tst_BaseForm::enterInGridBecomesTab()
{
    KeyForm form;
    auto *grid = new QTableWidget(2, 3, &form);
    form.layout->addWidget(new QLineEdit(&form));
    form.layout->addWidget(grid);
    QVERIFY(ShowActive(&form));
    grid->setFocus(Qt::TabFocusReason);
    grid->setCurrentCell(0, 0);

    PressKey(&form, Qt::Key_Return);

    QCOMPARE(form.keysAfterBase.value(0), int(Qt::Key_Tab));
    QCOMPARE(grid->currentRow(), 0);
    QCOMPARE(grid->currentColumn(), 1);
    QCOMPARE(QApplication::focusWidget(), grid);
}

void tst_BaseForm::enterNeverBreaksLineInMultiLineEdit()
{
    KeyForm form;
    auto *memo = new QTextEdit(&form);
    form.layout->addWidget(memo);
    QVERIFY(ShowActive(&form));
    memo->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(memo, u"abc"_s);

    PressKey(&form, Qt::Key_Return);
    QCOMPARE(memo->toPlainText(), u"abc"_s);

    // Without Enter as Tab the window leaves Enter to the field.
    form.SetEnterAsTab(false);
    PressKey(&form, Qt::Key_Return);
    QCOMPARE(memo->toPlainText(), u"abc\n"_s);
}

// A plain dialog closes on Escape and lets Enter press a button it picked
// itself; the program's windows press only the buttons they assigned.
void tst_BaseForm::escapeAndEnterPressOnlyAssignedButtons()
{
    KeyForm form;
    form.SetEnterAsTab(false);
    auto *field = new QLineEdit(&form);
    auto *ok = new TWBitBtn(u"&Ok"_s, &form);
    auto *cancel = new TWBitBtn(u"&Anuluj"_s, &form);
    form.layout->addWidget(field);
    form.layout->addWidget(ok);
    form.layout->addWidget(cancel);
    int accepted = 0;
    int cancelled = 0;
    connect(ok, &TWBitBtn::OnClick, this, [&accepted] { ++accepted; });
    connect(cancel, &TWBitBtn::OnClick, this, [&cancelled] { ++cancelled; });
    QVERIFY(ShowActive(&form));
    field->setFocus(Qt::TabFocusReason);

    PressKey(&form, Qt::Key_Escape);
    PressKey(&form, Qt::Key_Return);
    QVERIFY(form.isVisible());
    QCOMPARE(accepted, 0);
    QCOMPARE(cancelled, 0);

    form.SetCancelButton(cancel);
    form.SetDefaultButton(ok);
    PressKey(&form, Qt::Key_Escape);
    PressKey(&form, Qt::Key_Return);
    PressKey(&form, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(cancelled, 1);
    QCOMPARE(accepted, 1);

    // A focused button takes Enter itself.
    cancel->setFocus(Qt::TabFocusReason);
    PressKey(&form, Qt::Key_Return);
    QCOMPARE(cancelled, 2);
    QCOMPARE(accepted, 1);
}

void tst_BaseForm::buildCursorEndsAtEventLoop()
{
    auto form = std::make_unique<KeyForm>();
    QCOMPARE(currentCursor(), Qt::WaitCursor);
    QTRY_COMPARE(overrideDepth(), 0);
    form.reset();
    QCOMPARE(overrideDepth(), 0);
}

// The code that opens a modal window holds the hourglass; the window shows the
// arrow while it is open and the hourglass is back after it closed.
void tst_BaseForm::modalWindowShowsArrow()
{
    Qt::CursorShape whileShown = Qt::BlankCursor;
    {
        const TWaitCursor wait;
        KeyForm dialog;
        WhenModalShown(this, [&whileShown](QWidget *modal) {
            whileShown = currentCursor();
            modal->close();
        });
        dialog.exec();
        QCOMPARE(currentCursor(), Qt::WaitCursor);
        QCOMPARE(overrideDepth(), 1);
    }
    QCOMPARE(whileShown, Qt::ArrowCursor);
    QCOMPARE(overrideDepth(), 0);
}

// Start-up builds the main window and the hidden preview under the hourglass;
// the main window sets the arrow when shown. No hourglass may stay behind.
void tst_BaseForm::windowsBuiltAtStartLeaveNoHourglass()
{
    std::unique_ptr<KeyForm> mainWindow;
    std::unique_ptr<KeyForm> preview;
    {
        const TWaitCursor wait;
        mainWindow = std::make_unique<KeyForm>();
        preview = std::make_unique<KeyForm>();
        mainWindow->show();
        mainWindow->ShowArrowCursor();
        QCOMPARE(currentCursor(), Qt::ArrowCursor);
    }
    QTRY_COMPARE(overrideDepth(), 0);
    mainWindow.reset();
    preview.reset();
    QCOMPARE(overrideDepth(), 0);
}

DOMVEL_GUI_TEST_MAIN(tst_BaseForm)
#include "tst_baseform.moc"

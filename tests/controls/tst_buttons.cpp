#include "testing/GuiTestSupport.h"

#include "common/Errors.h"
#include "controls/ProgramGlyph.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "forms/TForm_Gen_Ex.h"

#include <QImage>
#include <QMouseEvent>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

// An embedded panel of the program, recognised as a frame by its class name.
class TFrame_Sample : public QWidget
{
    Q_OBJECT

public:
    explicit TFrame_Sample(QWidget *parent) : QWidget(parent) { button = new TWSpeedButton(u"Drukuj"_s, this); }
    TWSpeedButton *button;
};

// A window with a bitmap button, a speed button, an edit field and a frame
// holding a speed button of its own.
class GuardWindow : public QWidget
{
public:
    GuardWindow()
    {
        auto *layout = new QVBoxLayout(this);
        field = new TEditNew(this);
        save = new TWBitBtn(u"&Zapisz"_s, this);
        speed = new TWSpeedButton(u"&Odnowienie sesji"_s, this);
        frame = new TFrame_Sample(this);
        layout->addWidget(field);
        layout->addWidget(save);
        layout->addWidget(speed);
        layout->addWidget(frame);
    }

    bool windowButtonsPermitted() const { return save->ClickPermitted() && speed->ClickPermitted(); }

    TEditNew *field;
    TWBitBtn *save;
    TWSpeedButton *speed;
    TFrame_Sample *frame;
};

namespace {

// What a user's click on `button` looks like when it arrives while the program
// is busy: queued, to be delivered the next time events are processed.
void queueUserClick(QWidget *button, QEvent::Type pressType = QEvent::MouseButtonPress)
{
    const QPointF pos(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(pos);
    QCoreApplication::postEvent(
        button, new QMouseEvent(pressType, pos, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(
        button, new QMouseEvent(QEvent::MouseButtonRelease, pos, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
}

} // namespace

class tst_Buttons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void doubleClickRunsActionOnce();
    void clicksDuringActionAreDropped();
    void frameButtonsHaveTheirOwnGuard();
    void frameButtonWithTheWindowsGuard();
    void dialogOpenedByActionHasWorkingButtons();
    void errorReleasesButtonsAndReachesDisplay();
    void speedButtonLetsFieldRefuse();
    void speedButtonWithoutDefocus();
    void componentOwners();
    void glyphs_data();
    void glyphs();

private:
    std::unique_ptr<GuardWindow> m_window;
    std::unique_ptr<MessageRecorder> m_messages;
};

void tst_Buttons::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_window = std::make_unique<GuardWindow>();
    QVERIFY(ShowActive(m_window.get()));
}

void tst_Buttons::cleanup()
{
    m_window.reset();
    m_messages.reset();
}

// The second click of a double click arrives while the first click's action
// still runs (a service call); it is drained and dropped.
void tst_Buttons::doubleClickRunsActionOnce()
{
    GuardWindow *w = m_window.get();
    int runs = 0;
    bool blockedDuringAction = false;
    connect(w->save, &TWBitBtn::OnClick, this, [&] {
        ++runs;
        blockedDuringAction = !w->save->ClickPermitted() && !w->speed->ClickPermitted();
        queueUserClick(w->save, QEvent::MouseButtonDblClick);
    });

    QTest::mouseClick(w->save, Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(runs, 1);
    QVERIFY(blockedDuringAction);
    QVERIFY(w->windowButtonsPermitted());

    QTest::mouseClick(w->save, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(runs, 2);
}

// While one action runs, every other guarded button of the window drops its
// clicks: the user's and the program's.
void tst_Buttons::clicksDuringActionAreDropped()
{
    GuardWindow *w = m_window.get();
    int saveRuns = 0;
    int speedRuns = 0;
    connect(w->speed, &TWSpeedButton::OnClick, this, [&speedRuns] { ++speedRuns; });
    connect(w->save, &TWBitBtn::OnClick, this, [&] {
        ++saveRuns;
        queueUserClick(w->speed);
        w->speed->click();
        w->speed->Click();
    });

    QTest::mouseClick(w->save, Qt::LeftButton);
    QCoreApplication::processEvents();

    QCOMPARE(saveRuns, 1);
    QCOMPARE(speedRuns, 0);
    QTest::mouseClick(w->speed, Qt::LeftButton);
    QCOMPARE(speedRuns, 1);
}

void tst_Buttons::frameButtonsHaveTheirOwnGuard()
{
    GuardWindow *w = m_window.get();
    int frameRuns = 0;
    bool frameButtonPermittedInOwnAction = false;
    bool windowButtonsBlockedByFrameClick = false;
    connect(w->frame->button, &TWSpeedButton::OnClick, this, [&] {
        ++frameRuns;
        frameButtonPermittedInOwnAction = w->frame->button->ClickPermitted();
        windowButtonsBlockedByFrameClick = !w->windowButtonsPermitted();
    });
    connect(w->save, &TWBitBtn::OnClick, this, [&] { w->frame->button->click(); });

    QTest::mouseClick(w->save, Qt::LeftButton);
    QCOMPARE(frameRuns, 1);

    QTest::mouseClick(w->frame->button, Qt::LeftButton);
    QCOMPARE(frameRuns, 2);
    QVERIFY(frameButtonPermittedInOwnAction);
    QVERIFY(windowButtonsBlockedByFrameClick);
    QVERIFY(w->windowButtonsPermitted());
}

// A frame's button whose repeat would do harm (printing) takes the window's
// guard: the second click of a double click is dropped, and the window's
// buttons and it block each other.
void tst_Buttons::frameButtonWithTheWindowsGuard()
{
    GuardWindow *w = m_window.get();
    auto *print = new TWSpeedButton(u"Drukuj"_s, w->frame);
    print->SetGuardedWithWindow(true);
    print->show();
    QCOMPARE(ComponentOwner(print), w->frame);
    QVERIFY(GuardedButtonsOwnedBy(w).contains(print));
    QVERIFY(!GuardedButtonsOwnedBy(w->frame).contains(print));

    int printRuns = 0;
    int speedRuns = 0;
    bool windowBlockedDuringPrint = false;
    connect(w->speed, &TWSpeedButton::OnClick, this, [&speedRuns] { ++speedRuns; });
    connect(print, &TWSpeedButton::OnClick, this, [&] {
        ++printRuns;
        windowBlockedDuringPrint = !print->ClickPermitted() && !w->windowButtonsPermitted();
        queueUserClick(print, QEvent::MouseButtonDblClick);
        queueUserClick(w->speed);
    });
    QTest::mouseClick(print, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(printRuns, 1);
    QCOMPARE(speedRuns, 0);
    QVERIFY(windowBlockedDuringPrint);
    QVERIFY(print->ClickPermitted() && w->windowButtonsPermitted());

    // A click of the window's own button blocks it too.
    connect(w->save, &TWBitBtn::OnClick, this, [print] { print->click(); });
    QTest::mouseClick(w->save, Qt::LeftButton);
    QCOMPARE(printRuns, 1);

    // The frame's other button keeps the frame's guard.
    int frameRuns = 0;
    connect(w->frame->button, &TWSpeedButton::OnClick, this, [&frameRuns] { ++frameRuns; });
    QTest::mouseClick(print, Qt::LeftButton);
    QTest::mouseClick(w->frame->button, Qt::LeftButton);
    QCOMPARE(printRuns, 2);
    QCOMPARE(frameRuns, 1);
}

// A modal dialog opened by an action is another window: its buttons work, and
// their clicks block and release only the dialog's buttons.
void tst_Buttons::dialogOpenedByActionHasWorkingButtons()
{
    GuardWindow *w = m_window.get();
    int dialogRuns = 0;
    bool windowStillBlocked = false;
    connect(w->save, &TWBitBtn::OnClick, this, [&] {
        TForm_Gen_Ex dialog(w);
        auto *ok = new TWBitBtn(u"&Ok"_s, &dialog);
        connect(ok, &TWBitBtn::OnClick, &dialog, [&] {
            ++dialogRuns;
            windowStillBlocked = !w->windowButtonsPermitted();
            dialog.accept();
        });
        WhenModalShown(&dialog, [ok](QWidget *) { QTest::mouseClick(ok, Qt::LeftButton); });
        dialog.exec();
        QVERIFY(!w->windowButtonsPermitted());
    });

    QTest::mouseClick(w->save, Qt::LeftButton);

    QCOMPARE(dialogRuns, 1);
    QVERIFY(windowStillBlocked);
    QVERIFY(w->windowButtonsPermitted());
}

void tst_Buttons::errorReleasesButtonsAndReachesDisplay()
{
    GuardWindow *w = m_window.get();
    int runs = 0;
    connect(w->save, &TWBitBtn::OnClick, this, [&runs] {
        ++runs;
        throw AppError(u"Zapis nie powiódł się."_s);
    });

    QTest::mouseClick(w->save, Qt::LeftButton);
    QCOMPARE(m_messages->texts(), QStringList{u"Zapis nie powiódł się."_s});
    QVERIFY(w->windowButtonsPermitted());

    QTest::mouseClick(w->save, Qt::LeftButton);
    QCOMPARE(runs, 2);

    // The error leaves the click itself, after the buttons were released.
    QVERIFY_THROWS_EXCEPTION(AppError, w->save->Click());
    QVERIFY(w->windowButtonsPermitted());
}

// A speed button never takes the focus, so the edit field would not be left:
// the button makes it finish its validation first.
void tst_Buttons::speedButtonLetsFieldRefuse()
{
    GuardWindow *w = m_window.get();
    int accepted = 0;
    w->field->SetBeforeChangeValue([](TEditNew *sender) {
        if (sender->text() == u"zle")
            throw AppError(u"Wartość niedozwolona."_s);
    });
    w->field->SetAfterChangeValue([&accepted](TEditNew *) { ++accepted; });
    int runs = 0;
    connect(w->speed, &TWSpeedButton::OnClick, this, [&runs] { ++runs; });
    w->field->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(w->field, u"zle"_s);

    QTest::mouseClick(w->speed, Qt::LeftButton);

    QCOMPARE(runs, 0);
    QCOMPARE(m_messages->texts(), QStringList{u"Wartość niedozwolona."_s});
    QVERIFY(w->field->hasFocus());
    QCOMPARE(w->field->selectedText(), u"zle"_s);
    QVERIFY(w->windowButtonsPermitted());

    QTest::keyClicks(w->field, u"dobrze"_s);
    QTest::mouseClick(w->speed, Qt::LeftButton);

    QCOMPARE(runs, 1);
    QCOMPARE(accepted, 1);
    QCOMPARE(w->field->OldValue(), u"dobrze"_s);
    QVERIFY2(w->field->hasFocus(), "the field gets the focus back");
    QCOMPARE(m_messages->texts().size(), 1);
}

void tst_Buttons::speedButtonWithoutDefocus()
{
    GuardWindow *w = m_window.get();
    int checks = 0;
    w->field->SetBeforeChangeValue([&checks](TEditNew *) { ++checks; });
    int runs = 0;
    connect(w->speed, &TWSpeedButton::OnClick, this, [&runs] { ++runs; });
    w->speed->DefocusForce_Set(false);
    w->field->setFocus(Qt::TabFocusReason);

    QTest::mouseClick(w->speed, Qt::LeftButton);
    QCOMPARE(runs, 1);
    QCOMPARE(checks, 0);
}

void tst_Buttons::componentOwners()
{
    GuardWindow *w = m_window.get();
    QCOMPARE(ComponentOwner(w->save), w);
    QCOMPARE(ComponentOwner(w->frame->button), w->frame);

    QWidget plainPanel(w);
    auto *inPanel = new TWBitBtn(&plainPanel);
    QCOMPARE(ComponentOwner(inPanel), w);
    MarkAsFrame(&plainPanel);
    QCOMPARE(ComponentOwner(inPanel), &plainPanel);

    TForm_Gen_Ex dialog(w);
    auto *inDialog = new TWBitBtn(&dialog);
    QCOMPARE(ComponentOwner(inDialog), &dialog);

    const QList<TClickGuarded *> own = GuardedButtonsOwnedBy(w);
    QCOMPARE(own.size(), 2);
    QVERIFY(own.contains(w->save));
    QVERIFY(own.contains(w->speed));
}

void tst_Buttons::glyphs_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"BUT_OK", "BUT_CANCEL", "BUT_CLOSE", "BUT_PRINT", "BUT_PRINT_PREVIEW", "BUT_LOAD",
                             "BUT_MODIFY", "BUT_LOCK", "BUT_EXPLORE", "BUT_CALENDAR", "BUT_ZOOM_FIT", "BUT_ZOOM_PAGE",
                             "BUT_ZOOM_100", "BUT_PAGE_FIRST", "BUT_PAGE_LAST", "BUT_SAVE", "BUT_HELP"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Every glyph the windows name is in the program's resources and draws
// something at button size.
void tst_Buttons::glyphs()
{
    QFETCH(QString, name);
    const QIcon icon = ProgramGlyph(name);
    QVERIFY2(!icon.isNull(), qPrintable(name + u" is missing"_s));
    const QImage image = icon.pixmap(QSize(16, 16)).toImage();
    QCOMPARE(image.size(), QSize(16, 16));
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    QVERIFY2(drawn > 20, qPrintable(name + u" draws next to nothing"_s));

    QVERIFY(ProgramGlyph(name + u"_X"_s).isNull());
}

DOMVEL_GUI_TEST_MAIN(tst_Buttons)
#include "tst_buttons.moc"

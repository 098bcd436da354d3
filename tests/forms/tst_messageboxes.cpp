#include "testing/GuiTestSupport.h"

#include "common/Errors.h"
#include "forms/MessageBoxSink.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// What a shown box looked like.
struct SeenBox
{
    bool shown = false;
    QString caption;
    QString text;
    QString detail;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Acts on the next message box as the user does: "enter", "escape", "close"
// (the window system's close button) or a click on the named standard button.
void AnswerNextBox(QObject *context, const QString &action, SeenBox &seen)
{
    WhenModal<QMessageBox>(context, [action, &seen](QMessageBox *box) {
        seen.shown = true;
        seen.caption = box->windowTitle();
        seen.text = box->text();
        seen.detail = box->detailedText();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons()) {
            const QMessageBox::StandardButton standard = box->standardButton(b);
            if (standard != QMessageBox::NoButton)
                seen.buttons << standard;
        }
        std::sort(seen.buttons.begin(), seen.buttons.end());
        seen.defaultButton = box->standardButton(box->defaultButton());
        if (action == u"enter")
            QTest::keyClick(box, Qt::Key_Return);
        else if (action == u"escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else if (action == u"close")
            box->windowHandle()->close();
        else if (action == u"yes")
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        else if (action == u"no")
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        else if (action == u"cancel")
            QTest::mouseClick(box->button(QMessageBox::Cancel), Qt::LeftButton);
    });
}

} // namespace

// The program's real message boxes (not the recorder of the other tests).
class tst_MessageBoxes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void questions_data();
    void questions();
    void outcomeBoxes_data();
    void outcomeBoxes();

private:
    MessageBoxSink m_sink;
    MessageSink *m_previous = nullptr;
};

void tst_MessageBoxes::init()
{
    m_previous = CurrentMessageSink();
    SetMessageSink(&m_sink);
}

void tst_MessageBoxes::cleanup()
{
    SetMessageSink(m_previous);
}

void tst_MessageBoxes::questions_data()
{
    QTest::addColumn<bool>("withCancel");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer"); // 1 Yes, 0 No, -1 the silent abort
    QTest::newRow("Yes/No: Enter answers No") << false << u"enter"_s << 0;
    QTest::newRow("Yes/No: Escape answers No") << false << u"escape"_s << 0;
    QTest::newRow("Yes/No: close button answers No") << false << u"close"_s << 0;
    QTest::newRow("Yes/No: Yes") << false << u"yes"_s << 1;
    QTest::newRow("Yes/No: No") << false << u"no"_s << 0;
    QTest::newRow("Yes/No/Cancel: Enter aborts") << true << u"enter"_s << -1;
    QTest::newRow("Yes/No/Cancel: Escape aborts") << true << u"escape"_s << -1;
    QTest::newRow("Yes/No/Cancel: close button aborts") << true << u"close"_s << -1;
    QTest::newRow("Yes/No/Cancel: Cancel aborts") << true << u"cancel"_s << -1;
    QTest::newRow("Yes/No/Cancel: Yes") << true << u"yes"_s << 1;
    QTest::newRow("Yes/No/Cancel: No") << true << u"no"_s << 0;
}

void tst_MessageBoxes::questions()
{
    QFETCH(bool, withCancel);
    QFETCH(QString, action);
    QFETCH(int, answer);
    QWidget owner;
    QVERIFY(ShowActive(&owner));
    SeenBox seen;
    QObject driver; // ends the polling with the test
    AnswerNextBox(&driver, action, seen);

    int result = -2;
    try {
        result = AskConfirmation(u"Czy rzeczywiście chcesz zakończyć program?"_s, &owner, withCancel) ? 1 : 0;
    } catch (const SilentAbort &) {
        result = -1;
    }

    QVERIFY(seen.shown);
    QCOMPARE(result, answer);
    QCOMPARE(seen.caption, u"Potwierdzenie"_s);
    QCOMPARE(seen.text, u"Czy rzeczywiście chcesz zakończyć program?"_s);
    QCOMPARE(seen.icon, QMessageBox::Question);
    // In the order of the enumeration (the box lays them out by role).
    QCOMPARE(seen.buttons,
             withCancel ? (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                        : (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No}));
    QCOMPARE(seen.defaultButton, withCancel ? QMessageBox::Cancel : QMessageBox::No);
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_MessageBoxes::outcomeBoxes_data()
{
    QTest::addColumn<int>("kind"); // 0 information, 1 error, 2 already running
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("detail");
    QTest::newRow("information, Enter") << 0 << u"enter"_s << u"Domvel-E-Vadiv"_s << int(QMessageBox::Information)
                                        << QString();
    QTest::newRow("information with detail, Escape")
        << 0 << u"escape"_s << u"Domvel-E-Vadiv"_s << int(QMessageBox::Information) << u"Connection refused"_s;
    QTest::newRow("error, close button") << 1 << u"close"_s << u"Domvel-E-Vadiv"_s << int(QMessageBox::Critical)
                                         << QString();
    QTest::newRow("already running, Enter") << 2 << u"enter"_s << QString() << int(QMessageBox::NoIcon) << QString();
}

// Outcome boxes: one OK button, the program's caption and icon; every way of
// closing them ends the box.
void tst_MessageBoxes::outcomeBoxes()
{
    QFETCH(int, kind);
    QFETCH(QString, action);
    QFETCH(QString, caption);
    QFETCH(int, icon);
    QFETCH(QString, detail);
    SeenBox seen;
    QObject driver; // ends the polling with the test
    AnswerNextBox(&driver, action, seen);
    const QString text = kind == 2 ? u"Program może być uruchomiony tylko jeden raz!"_s : u"Błąd logowania."_s;
    const int closedBefore = ModalsClosedLeftOpen();
    switch (kind) {
    case 0: ShowInformationBox(text, detail); break;
    case 1: ShowErrorBox(text, detail); break;
    default: ShowAlreadyRunningMessage(); break;
    }

    QVERIFY(seen.shown);
    QVERIFY2(ModalsClosedLeftOpen() == closedBefore, "the box closed by the action, not by the test's watchdog");
    QCOMPARE(seen.caption, caption);
    QCOMPARE(seen.text, text);
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.detail, detail);
    QCOMPARE(seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    QCOMPARE(seen.defaultButton, QMessageBox::Ok);
}

DOMVEL_GUI_TEST_MAIN(tst_MessageBoxes)
#include "tst_messageboxes.moc"

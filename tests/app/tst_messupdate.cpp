#include "testing/GuiTestSupport.h"

#include "app/dialogs/TForm_MessUpdateNecessary.h"
#include "controls/TWBitBtn.h"

#include <QLabel>
#include <QListWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

} // namespace

class tst_MessUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixedLines();
    void downloadAddress_data();
    void downloadAddress();
    void closing_data();
    void closing();
};

void tst_MessUpdate::fixedLines()
{
    const TForm_MessUpdateNecessary notice(u"localhost:8443"_s);
    // Two of the lines keep a one-letter word with the next one by a
    // non-breaking space.
    QCOMPARE(
        itemTexts(notice.ListBox1()),
        QStringList({u"Trzeba, niestety, zaktualizować aplikację."_s, u"Aby pobrać nową wersję aplikacji należy:"_s,
                     u"     1.  otworzyć przeglądarkę internetową,"_s,
                     u"     2.  wpisać w\u00A0pole adresowe przeglądarki:"_s}));
    QCOMPARE(itemTexts(notice.ListBox2()),
             QStringList(
                 {u"     3.  kliknąć prawym przyciskiem myszy na nazwę aplikacji Domvel-E-Vadiv.exe,"_s,
                  u"     4.  z\u00A0menu, które pojawi się na ekranie, wybrać: Zapisz element docelowy jako...,"_s,
                  u"     5.  wskazać miejsce na komputerze, gdzie należy zapisać aplikację, sugeruje się pulpit."_s}));
    for (const QListWidget *list : {notice.ListBox1(), notice.ListBox2()}) {
        for (const QString &line : itemTexts(list))
            QVERIFY2(list->fontMetrics().horizontalAdvance(line) < list->width(), qPrintable(u"cut: "_s + line));
    }
    QCOMPARE(notice.windowTitle(), u"Domvel-E-Vadiv"_s);
    QCOMPARE(notice.ButtonOk()->text(), u"&Ok"_s);
    QVERIFY(!notice.ButtonOk()->icon().isNull());
}

void tst_MessUpdate::downloadAddress_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("shown");
    QTest::newRow("host and port") << u"ebok.spoldzielnia.example:8443"_s << u"ftp://ebok.spoldzielnia.example:8443"_s;
    QTest::newRow("host only") << u"192.0.2.10"_s << u"ftp://192.0.2.10"_s;
    QTest::newRow("long host name")
        << u"ebok.spoldzielnia-mieszkaniowa-przykladowa-z-bardzo-dluga-nazwa.example:8443"_s
        << u"ftp://ebok.spoldzielnia-mieszkaniowa-przykladowa-z-bardzo-dluga-nazwa.example:8443"_s;
}

void tst_MessUpdate::downloadAddress()
{
    QFETCH(QString, server);
    QFETCH(QString, shown);
    const TForm_MessUpdateNecessary notice(server);
    QCOMPARE(notice.Lab_FTP_IP()->text(), shown);
    QVERIFY2(notice.Lab_FTP_IP()->width() >= notice.Lab_FTP_IP()->sizeHint().width(), "the address is not cut");
    QVERIFY2(notice.Lab_FTP_IP()->geometry().right() < notice.width(), "the address fits in the window");
}

void tst_MessUpdate::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Ok button") << u"button"_s;
    QTest::newRow("Enter") << u"enter"_s;
    QTest::newRow("Alt+F4") << u"alt+f4"_s;
}

// However the user closes it, the notice's modal run ends (and with it the
// program).
void tst_MessUpdate::closing()
{
    QFETCH(QString, how);
    TForm_MessUpdateNecessary notice(u"localhost:8443"_s);
    bool okFocused = false;
    WhenModalShown(this, [&](QWidget *modal) {
        okFocused = modal->focusWidget() == notice.ButtonOk();
        if (how == u"button")
            QTest::mouseClick(notice.ButtonOk(), Qt::LeftButton);
        else if (how == u"enter")
            PressKey(modal, Qt::Key_Return);
        else
            PressKey(modal, Qt::Key_F4, Qt::AltModifier);
    });
    const int closedBefore = ModalsClosedLeftOpen();
    notice.exec();
    QVERIFY2(ModalsClosedLeftOpen() == closedBefore, "closed by the user, not by the test's safety timer");
    QVERIFY(okFocused);
    QVERIFY(!notice.isVisible());
}

DOMVEL_GUI_TEST_MAIN(tst_MessUpdate)
#include "tst_messupdate.moc"

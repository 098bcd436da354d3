#include "account/Account.h"
#include "testing/ViewsTestSupport.h"

#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "views/GridGeometry.h"
#include "views/TForm_NalCzynszDtl.h"
#include "views/TFrame_InfoCzynszTabela.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

double date(int y, int m, int d)
{
    return DateToValue(QDate(y, m, d));
}

// A charge of `count` components; every other one computed for part of the month.
TU_WEBServiceDokData charge(int count, double from = date(2020, 3, 1), double to = date(2020, 3, 31))
{
    TU_WEBServiceDokData d;
    d.DataOperacji = date(2020, 3, 2);
    d.DataOperRozrach = date(2020, 3, 15);
    d.DataNalFrom = from;
    d.DataNalTo = to;
    d.TrescOper = u"Naliczenie opłat za marzec"_s;
    d.DokKind = 1;
    d.ZasobKind = 1;
    d.SklNumber = count;
    for (int i = 0; i < count; ++i) {
        d.NazwaSkl << u"Składnik %1"_s.arg(i + 1);
        d.IloscAsStr << u"52,40"_s;
        d.Cena << 1.25;
        d.WspolczAsStr << u"1,0000"_s;
        d.UwzglCzescMca << (i % 2 == 0);
        d.ValueNetto << 10.0;
        d.ValueVAT << 0.8;
        d.StVAT << u"8%"_s;
    }
    return d;
}

QLabel *label(const QWidget *w, const QString &name)
{
    auto *l = w->findChild<QLabel *>(name);
    if (!l)
        qFatal("no label %s", qPrintable(name));
    return l;
}

} // namespace

class tst_ChargeDetail : public QObject
{
    Q_OBJECT

    // The account whose header the windows and their printouts show.
    Account m_account;

private Q_SLOTS:
    void markColumn_data();
    void markColumn();
    void visibleRows_data();
    void visibleRows();
    void grossAmounts();
    void onlyColumnLinesBetweenComponents();
    void totalsUnderTheGrossColumn();
    void titleLabelHeight_data();
    void titleLabelHeight();
    void headerTexts();
    void placement_data();
    void placement();
    void shortArrayAbortsOpening();
    void escCloses();
};

void tst_ChargeDetail::markColumn_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("partial");
    QTest::newRow("whole March") << date(2020, 3, 1) << date(2020, 3, 31) << false;
    QTest::newRow("15 to 31 March") << date(2020, 3, 15) << date(2020, 3, 31) << true;
    QTest::newRow("15 February to 14 March") << date(2020, 2, 15) << date(2020, 3, 14) << false;
    QTest::newRow("whole March from noon") << date(2020, 3, 1) + 0.5 << date(2020, 3, 31) << true;
}

void tst_ChargeDetail::markColumn()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(bool, partial);
    TForm_NalCzynszDtl form(10, 10, 20, charge(3, from, to), m_account.Data, m_account.Session);
    const TFrame_InfoCzynszTabela *table = form.Frame_InfoCzynszTabela1();
    QTableWidget *grid = table->SG_Skl();
    QCOMPARE(table->PartialMonth(), partial);
    QCOMPARE(grid->columnCount(), partial ? 7 : 6);
    QCOMPARE(label(table, u"Lab_Legenda"_s)->isHidden(), !partial);
    if (partial) {
        QCOMPARE(grid->horizontalHeaderItem(6)->text(), u" "_s);
        QCOMPARE(grid->columnWidth(6), 21);
        QCOMPARE(grid->item(0, 6)->text(), u"*"_s);
        QCOMPARE(grid->item(1, 6)->text(), u" "_s);
        QCOMPARE(grid->item(2, 6)->text(), u"*"_s);
        const QLabel *legend = label(table, u"Lab_Legenda"_s);
        const QLabel *total = label(table, u"Lab_Opis_Razem"_s);
        QCOMPARE(legend->y(), total->y() + total->height() + 5);
        QCOMPARE(table->height(), legend->y() + legend->height() + 10);
    } else {
        const QLabel *total = label(table, u"Lab_Opis_Razem"_s);
        QCOMPARE(table->height(), total->y() + total->height() + 10);
    }
    QCOMPARE(grid->width(),
             GridGeometry::Width(std::vector<int>(partial ? std::vector<int>{30, 170, 100, 70, 70, 70, 20}
                                                          : std::vector<int>{30, 170, 100, 70, 70, 70})));
}

void tst_ChargeDetail::visibleRows_data()
{
    QTest::addColumn<int>("components");
    QTest::addColumn<int>("visibleRows");
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("1 component") << 1 << 2 << false;
    QTest::newRow("15 components") << 15 << 16 << false;
    QTest::newRow("16 components") << 16 << 16 << true;
    QTest::newRow("40 components") << 40 << 16 << true;
}

void tst_ChargeDetail::visibleRows()
{
    QFETCH(int, components);
    QFETCH(int, visibleRows);
    QFETCH(bool, scrolls);
    TFrame_InfoCzynszTabela table;
    table.LoadComponents(1, components, false, charge(components));
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    QTableWidget *grid = table.SG_Skl();

    QCOMPARE(table.GridRows(), components + 1);
    QCOMPARE(table.VisibleGridRows(), visibleRows);
    QCOMPARE(grid->height(), visibleRows * 21 + 4);
    QCOMPARE(grid->isEnabled(), scrolls);
    const int plain = GridGeometry::Width(TFrame_InfoCzynszTabela::kColumnWidths);
    QCOMPARE(grid->width(), scrolls ? plain + GridGeometry::ScrollBarWidth(grid) + 2 : plain);
    // The title row and the first 15 components show; the rest scroll.
    QCOMPARE(grid->horizontalHeader()->height(), 21);
    QCOMPARE(grid->rowViewportPosition(qMin(components, 15) - 1) + 21 <= grid->viewport()->height(), true);
    QCOMPARE(grid->verticalScrollBar()->maximum() > 0, components > 15);
    QCOMPARE(table.width(), grid->width() + 20);
}

// The component rows are not ruled: only the columns are.
void tst_ChargeDetail::onlyColumnLinesBetweenComponents()
{
    TFrame_InfoCzynszTabela table;
    table.LoadComponents(1, 3, false, charge(3));
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    QTableWidget *grid = table.SG_Skl();
    const GridLinePixels lines = GridLinePixelsAt(grid, 0, 1);
    QCOMPARE(lines.betweenRows, grid->palette().color(QPalette::Base));
    QVERIFY2(lines.rightOfColumn != lines.betweenRows, "a line between the columns");
}

void tst_ChargeDetail::grossAmounts()
{
    TU_WEBServiceDokData d = charge(2);
    d.ValueNetto[1] = 1000.0;
    d.ValueVAT[1] = 80.0;
    TFrame_InfoCzynszTabela table;
    table.LoadComponents(1, 2, false, d);
    QTableWidget *grid = table.SG_Skl();
    QCOMPARE(grid->item(0, 5)->text(), u"10,80"_s);
    QCOMPARE(grid->item(1, 5)->text(), u"1\u00A0080,00"_s);
    QCOMPARE(grid->item(0, 0)->text(), u"1"_s);
    QCOMPARE(grid->item(1, 1)->text(), u"Składnik 2"_s);
    QCOMPARE(grid->item(0, 2)->text(), u"52,40"_s);
    QCOMPARE(grid->item(0, 3)->text(), u"1,25"_s);
    QCOMPARE(grid->item(0, 4)->text(), u"1,0000"_s);
    QCOMPARE(table.GrossTotal(), 1090.8);
    QCOMPARE(label(&table, u"Lab_Brutto_Razem"_s)->text(), u"1\u00A0090,80"_s);
    // Net and VAT totals are never shown.
    QVERIFY(label(&table, u"Lab_Netto_Razem"_s)->isHidden());
    QVERIFY(label(&table, u"Lab_VAT_Razem"_s)->isHidden());
    QCOMPARE(label(&table, u"Lab_Netto_Razem"_s)->text(), u"0,00"_s);
}

void tst_ChargeDetail::totalsUnderTheGrossColumn()
{
    TFrame_InfoCzynszTabela table;
    table.LoadComponents(1, 3, true, charge(3));
    QTableWidget *grid = table.SG_Skl();
    const QLabel *gross = label(&table, u"Lab_Brutto_Razem"_s);
    const QLabel *caption = label(&table, u"Lab_Opis_Razem"_s);
    QCOMPARE(gross->x(), grid->x() + GridGeometry::ColumnOffset(TFrame_InfoCzynszTabela::kColumnWidths, 5));
    QCOMPARE(gross->width(), 70);
    QCOMPARE(gross->y(), grid->y() + grid->height() + 5);
    QCOMPARE(caption->y(), gross->y());
    QCOMPARE(caption->x(), gross->x() - caption->width() - 10);
}

void tst_ChargeDetail::titleLabelHeight_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("height");
    QTest::newRow("short") << u"Czynsz za marzec"_s << 20;
    QTest::newRow("wider than the label") << QString(120, u'W') << 40;
}

void tst_ChargeDetail::titleLabelHeight()
{
    QFETCH(QString, text);
    QFETCH(int, height);
    TU_WEBServiceDokData d = charge(1);
    d.TrescOper = text;
    TForm_NalCzynszDtl form(10, 10, 20, d, m_account.Data, m_account.Session);
    const QLabel *title = label(&form, u"Lab_TrescOper"_s);
    QCOMPARE(title->text(), text);
    QCOMPARE(title->height(), height);
    QCOMPARE(title->width(), 537);
    QCOMPARE(title->y(), (50 - height) / 2);
    QCOMPARE(label(&form, u"Lab_Tytul"_s)->y(), title->y());
    // The window never cuts the text off.
    QVERIFY(form.width() >= title->x() + std::min(title->width(), title->fontMetrics().horizontalAdvance(text)));
}

void tst_ChargeDetail::headerTexts()
{
    TForm_NalCzynszDtl form(10, 10, 20, charge(1, date(2020, 3, 15), date(2020, 3, 31)), m_account.Data,
                            m_account.Session);
    QCOMPARE(form.windowTitle(), u"Szczegóły naliczenia obciążenia"_s);
    QCOMPARE(label(&form, u"Lab_DataOper"_s)->text(), u"2.03.2020"_s);
    QCOMPARE(label(&form, u"Lab_TerminPlatn"_s)->text(), u"15.03.2020"_s);
    QCOMPARE(label(&form, u"Lab_Okres"_s)->text(), u"15.03.2020 - 31.03.2020"_s);
    QCOMPARE(form.Frame_InfoCzynszTabela1()->ZasobKind(), 1);
    QCOMPARE(form.width(), 2 * 10 + form.Frame_InfoCzynszTabela1()->width() + 20);
    QCOMPARE(form.findChild<QWidget *>(u"Panel_Tytul"_s)->width(), form.width());
    QCOMPARE(form.height(), 41 + 105 + form.Frame_InfoCzynszTabela1()->height() + 40);
    QVERIFY(form.Report());
}

void tst_ChargeDetail::placement_data()
{
    QTest::addColumn<int>("anchorY"); // -1: the inner window would end at the screen's bottom
    QTest::addColumn<bool>("above");
    QTest::newRow("row near the top") << 200 << false;
    QTest::newRow("row near the bottom") << kTestScreenHeight - 60 << true;
    QTest::newRow("only the inner window fits") << -1 << true;
}

// The window opens below the clicked row, or above it when its bottom, title
// bar and borders included, would lie below the screen.
void tst_ChargeDetail::placement()
{
    QFETCH(int, anchorY);
    QFETCH(bool, above);
    // The month card the row was clicked in.
    QWidget monthCard;
    monthCard.setGeometry(100, 100, 400, 300);
    QVERIFY(ShowActive(&monthCard));
    if (anchorY < 0)
        anchorY = kTestScreenHeight
            - TForm_NalCzynszDtl(300, 200, 20, charge(4), m_account.Data, m_account.Session).height();

    TForm_NalCzynszDtl form(300, anchorY, 20, charge(4), m_account.Data, m_account.Session);
    const QPoint placed = form.pos();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QRect frame = form.frameGeometry();
    QCOMPARE(placed.x(), 300);
    QCOMPARE(placed.y(), above ? anchorY - frame.height() - 20 - 5 : anchorY);
    QVERIFY2(frame.bottom() < kTestScreenHeight, "the whole window is on the screen");
}

void tst_ChargeDetail::shortArrayAbortsOpening()
{
    TU_WEBServiceDokData d = charge(3);
    d.ValueVAT.removeLast();
    bool threw = false;
    try {
        TForm_NalCzynszDtl::Open(10, 10, 20, d, m_account.Data, m_account.Session);
    } catch (const IndexError &) {
        threw = true;
    }
    QVERIFY2(threw, "a short component array aborts the opening with the index error");
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_ChargeDetail::escCloses()
{
    bool closed = false;
    const QStringList seen
        = DriveModals([&] { TForm_NalCzynszDtl::Open(10, 10, 20, charge(2), m_account.Data, m_account.Session); },
                      [&](QWidget *modal, int) {
                          QTest::keyClick(modal, Qt::Key_Escape);
                          closed = !modal->isVisible();
                      });
    QCOMPARE(seen, QStringList{u"Form_NalCzynszDtl"_s});
    QVERIFY(closed);
}

DOMVEL_VIEWS_TEST_MAIN(tst_ChargeDetail)

#include "tst_chargedetail.moc"

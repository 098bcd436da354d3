#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/ViewsTestSupport.h"

#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "views/BalanceColour.h"
#include "views/GridGeometry.h"
#include "views/TForm_KartMca.h"
#include "views/TForm_NalCzynszDtl.h"
#include "views/TFrame_InfoDokTabela.h"
#include "views/WindowPlacement.h"

#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

double date(int y, int m, int d)
{
    return DateToValue(QDate(y, m, d));
}

// Builds a month's ledger entry by entry.
struct LedgerBuilder
{
    TU_WEBServiceKsgData ledger;

    LedgerBuilder &entry(qint32 side, qint32 kind, double value, double term, const QString &text = {},
                         const QString &number = {}, qint32 id = 0)
    {
        ledger.KsgStrona << side;
        ledger.KsgTypDok << kind;
        ledger.KsgID_Dok_Master << (id ? id : 1000 + int(ledger.KsgStrona.size()));
        ledger.KsgDataOperacji << date(2020, 3, 2);
        ledger.KsgDataOperRozrach << term;
        ledger.KsgValue << value;
        ledger.KsgTrescOper << text;
        ledger.KsgNrDokMaster << number;
        ledger.KsgNumber = qint32(ledger.KsgStrona.size());
        return *this;
    }
    LedgerBuilder &charge(double value, double term, const QString &text = u"Czynsz"_s)
    {
        return entry(0, 1, value, term, text);
    }
    LedgerBuilder &payment(double value, qint32 kind = 3, const QString &text = {}, const QString &number = {})
    {
        return entry(1, kind, value, date(2020, 3, 10), text, number);
    }
};

const AccountState kOpening{180.0, 170.0, -10.0};

QLabel *label(const QWidget *w, const QString &name)
{
    auto *l = w->findChild<QLabel *>(name);
    if (!l)
        qFatal("no label %s", qPrintable(name));
    return l;
}

QString cell(const TFrame_InfoDokTabela &t, int row, int column)
{
    const QTableWidgetItem *item = t.SG_Dok()->item(row, column);
    return item ? item->text() : u"<none>"_s;
}

// The background colour painted at the left edge of a cell.
QColor cellBackground(const TFrame_InfoDokTabela &t, int row, int column)
{
    QTableWidget *grid = t.SG_Dok();
    const QRect rect = grid->visualRect(grid->model()->index(row, column));
    const QImage image = grid->viewport()->grab().toImage();
    return image.pixelColor(rect.left() + 1, rect.top() + 1);
}

QWidget *ownerWindowAt(QWidget &owner, int x)
{
    owner.resize(300, 200);
    owner.move(x, 100);
    owner.show();
    return &owner;
}

} // namespace

class tst_MonthCard : public QObject
{
    Q_OBJECT

    // The account the windows show when a test needs no service behind them.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    // The document table.
    void lateTerms_data();
    void lateTerms();
    void paymentsOnly();
    void operationText_data();
    void operationText();
    void gridSize_data();
    void gridSize();
    void statesAlignedUnderAmountColumns();
    void onlyColumnLinesBetweenEntries();
    void openingBalanceColour_data();
    void openingBalanceColour();
    void shortArrayAbortsOpening_data();
    void shortArrayAbortsOpening();

    // The month card window.
    void titleTexts();
    void windowSizeAndPlace_data();
    void windowSizeAndPlace();
    void frameStaysOnScreen();
    void paymentRowGivesMessage_data();
    void paymentRowGivesMessage();
    void chargeRowOpensDetail_data();
    void chargeRowOpensDetail();
    void failedDetailsOpensNothing();
};

void tst_MonthCard::lateTerms_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<double>("term");
    QTest::addColumn<bool>("yellow");
    QTest::addColumn<QString>("termText");
    QTest::newRow("charge due the last day") << 0 << date(2020, 3, 31) << false << u"31.03.2020"_s;
    QTest::newRow("charge due the next day") << 0 << date(2020, 4, 1) << true << u"1.04.2020"_s;
    QTest::newRow("payment with a later term") << 1 << date(2020, 4, 1) << false << QString();
}

void tst_MonthCard::lateTerms()
{
    QFETCH(int, side);
    QFETCH(double, term);
    QFETCH(bool, yellow);
    QFETCH(QString, termText);
    // Row 0 (selected) is an ordinary charge; row 1 the case.
    TU_WEBServiceKsgData ledger
        = LedgerBuilder().charge(10, date(2020, 3, 20)).entry(side, side ? 3 : 1, 20, term, u"Opłata"_s).ledger;
    TFrame_InfoDokTabela table(m_access);
    table.LoadDocuments(2020, 3, ledger, kOpening, 0);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    QCOMPARE(cell(table, 1, 2), termText);
    QCOMPARE(table.Figures().AnyLateTerm, yellow);
    const QColor white = table.SG_Dok()->palette().color(QPalette::Base);
    QCOMPARE(cellBackground(table, 1, 2), yellow ? kColourYellow : white);
    QCOMPARE(cellBackground(table, 1, 1), white);
    // The legend and its yellow square show only with a late term.
    const QWidget *stanKonc = table.findChild<QWidget *>(u"Panel_StanKonc"_s);
    QCOMPARE(stanKonc->height(),
             yellow ? TFrame_InfoDokTabela::kStanKoncHeight : TFrame_InfoDokTabela::kStanKoncHeightNoLegend);
    const QWidget *legend = table.findChild<QWidget *>(u"Lab_TerminInfo"_s);
    QCOMPARE(legend->geometry().bottom() < stanKonc->height(), yellow);
    QCOMPARE(table.height(), stanKonc->y() + stanKonc->height() + 10);
}

// The entry rows are not ruled: only the columns are; the title row is.
void tst_MonthCard::onlyColumnLinesBetweenEntries()
{
    TU_WEBServiceKsgData ledger = LedgerBuilder().charge(10, date(2020, 3, 20)).payment(5).payment(7).ledger;
    TFrame_InfoDokTabela table(m_access);
    table.LoadDocuments(2020, 3, ledger, kOpening, 0);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    const QColor white = table.SG_Dok()->palette().color(QPalette::Base);

    // Rows 1 and 2: neither is the selected row.
    const GridLinePixels entries = GridLinePixelsAt(table.SG_Dok(), 1, 3);
    QCOMPARE(entries.betweenRows, white);
    QVERIFY2(entries.rightOfColumn != white, "a line between the columns");

    auto *titles = table.findChild<QTableWidget *>(u"SG_Dok_Tytul"_s);
    const GridLinePixels title = GridLinePixelsAt(titles, 0, 3);
    QVERIFY2(title.betweenRows != titles->palette().color(QPalette::Button), "a line under the titles");
}

void tst_MonthCard::paymentsOnly()
{
    TU_WEBServiceKsgData ledger = LedgerBuilder().payment(100).payment(50.5, 4, u"Kasa"_s).ledger;
    TFrame_InfoDokTabela table(m_access);
    table.LoadDocuments(2020, 3, ledger, kOpening, 0);
    for (int r = 0; r < 2; ++r) {
        QCOMPARE(cell(table, r, 2), QString());
        QCOMPARE(cell(table, r, 4), QString());
    }
    QCOMPARE(cell(table, 0, 5), u"100,00"_s);
    QCOMPARE(cell(table, 1, 3), u"wpłata kasa"_s);
    QCOMPARE(label(&table, u"Lab_WN_ObrotyMca"_s)->text(), u"0,00"_s);
    QCOMPARE(label(&table, u"Lab_MA_ObrotyMca"_s)->text(), u"150,50"_s);
    QCOMPARE(label(&table, u"Lab_SaldoMca"_s)->text(), u"150,50"_s);
    QCOMPARE(label(&table, u"Lab_WN_ObrotyNar"_s)->text(), u"180,00"_s);
    QCOMPARE(label(&table, u"Lab_MA_ObrotyNar"_s)->text(), u"320,50"_s);
    QCOMPARE(label(&table, u"Lab_SaldoNar"_s)->text(), u"140,50"_s);
    QCOMPARE(label(&table, u"Lab_IloscOper"_s)->text(), u"2 oper."_s);
    QCOMPARE(table.findChild<QWidget *>(u"Panel_StanKonc"_s)->height(), TFrame_InfoDokTabela::kStanKoncHeightNoLegend);
}

void tst_MonthCard::operationText_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("kindText");
    QTest::newRow("bank payment without text") << 1 << 3 << QString() << u"WB/12/2020"_s << u"wpłata bankowa"_s;
    QTest::newRow("cash payment without text") << 1 << 4 << QString() << u"WB/12/2020"_s << u"wpłata kasa"_s;
    QTest::newRow("welfare payment without text") << 1 << 5 << QString() << u"WB/12/2020"_s << u"wpłata MOPS"_s;
    QTest::newRow("bank payment with text") << 1 << 3 << u"Przelew"_s << u"Przelew"_s << u"wpłata bankowa"_s;
    QTest::newRow("charge without text") << 0 << 1 << QString() << QString() << u"naliczenie opłaty"_s;
    QTest::newRow("re-posting without text") << 1 << 7 << QString() << QString() << u"przeksięgowanie"_s;
}

void tst_MonthCard::operationText()
{
    QFETCH(int, side);
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(QString, kindText);
    TU_WEBServiceKsgData ledger
        = LedgerBuilder().entry(side, kind, 12.3, date(2020, 3, 15), text, u"WB/12/2020"_s).ledger;
    TFrame_InfoDokTabela table(m_access);
    table.LoadDocuments(2020, 3, ledger, kOpening, 0);
    QCOMPARE(cell(table, 0, 6), shown);
    QCOMPARE(cell(table, 0, 3), kindText);
    QCOMPARE(cell(table, 0, 0), u"1"_s);
    QCOMPARE(cell(table, 0, 1), u"2.03.2020"_s);
}

void tst_MonthCard::gridSize_data()
{
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("widened");
    QTest::newRow("1 entry") << 1 << false;
    QTest::newRow("10 entries") << 10 << false;
    QTest::newRow("11 entries") << 11 << true;
    QTest::newRow("40 entries") << 40 << true;
}

void tst_MonthCard::gridSize()
{
    QFETCH(int, entries);
    QFETCH(bool, widened);
    LedgerBuilder builder;
    for (int i = 0; i < entries; ++i)
        builder.charge(1, date(2020, 3, 10));
    TFrame_InfoDokTabela table(m_access);
    table.LoadDocuments(2020, 3, builder.ledger, kOpening, 0);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    QTableWidget *grid = table.SG_Dok();
    const int plain = GridGeometry::Width(TFrame_InfoDokTabela::kColumnWidths);
    QCOMPARE(plain, 829);
    QCOMPARE(grid->width(), widened ? plain + GridGeometry::ScrollBarWidth(grid) + 2 : plain);
    QCOMPARE(grid->height(), entries * 21 + 4);
    QCOMPARE(grid->rowCount(), entries);
    // Every row shows: the grid never scrolls.
    QCOMPARE(grid->verticalScrollBar()->maximum(), 0);
    QVERIFY(grid->visualItemRect(grid->item(entries - 1, 0)).bottom() < grid->viewport()->height());
    QCOMPARE(table.findChild<QWidget *>(u"SG_Dok_Tytul"_s)->width(), grid->width());
    QCOMPARE(table.findChild<QWidget *>(u"Panel_StanKonc"_s)->width(), grid->width());
    QCOMPARE(table.width(), grid->width() + 20);
}

void tst_MonthCard::statesAlignedUnderAmountColumns()
{
    TU_WEBServiceKsgData ledger = LedgerBuilder().charge(100, date(2020, 3, 10)).payment(30).ledger;
    TFrame_InfoDokTabela table(m_access);
    table.LoadDocuments(2020, 3, ledger, kOpening, 0);
    QTableWidget *grid = table.SG_Dok();
    const QWidget *base = grid->parentWidget();
    auto leftOf = [&](const QString &name) { return label(&table, name)->mapTo(base, QPoint(0, 0)).x(); };
    const int debitX = grid->x() + GridGeometry::ColumnOffset(TFrame_InfoDokTabela::kColumnWidths, 4);
    const int creditX = grid->x() + GridGeometry::ColumnOffset(TFrame_InfoDokTabela::kColumnWidths, 5);
    for (const QString &suffix : {u"Pocz"_s, u"Mca"_s, u"Nar"_s}) {
        QCOMPARE(leftOf(u"Lab_WN_Obroty"_s + suffix), debitX);
        QCOMPARE(leftOf(u"Lab_MA_Obroty"_s + suffix), creditX);
        QCOMPARE(leftOf(u"Lab_Saldo"_s + suffix), creditX + 110 + 5);
        QCOMPARE(label(&table, u"Lab_WN_Obroty"_s + suffix)->width(), 110);
    }
    QCOMPARE(leftOf(u"Lab_Opis_Pocz"_s), debitX - 123 - 20);
    QCOMPARE(leftOf(u"Lab_Opis_Mca"_s), leftOf(u"Lab_Opis_Pocz"_s));
    QCOMPARE(leftOf(u"Lab_IloscOper"_s), leftOf(u"Lab_Opis_Mca"_s) + 86 + 5);
    // The document grid's own cells stand in the same columns, inside its border.
    QCOMPARE(grid->viewport()->mapTo(base, grid->visualItemRect(grid->item(0, 4)).topLeft()).x(),
             debitX + grid->frameWidth());
}

void tst_MonthCard::openingBalanceColour_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("-0,00002") << -0.00002 << kColourRed;
    QTest::newRow("-0,00001") << -0.00001 << kColourGreen;
    QTest::newRow("0") << 0.0 << kColourGreen;
}

void tst_MonthCard::openingBalanceColour()
{
    QFETCH(double, balance);
    QFETCH(QColor, colour);
    TU_WEBServiceKsgData ledger = LedgerBuilder().payment(5).ledger;
    TFrame_InfoDokTabela table(m_access);
    table.LoadDocuments(2020, 3, ledger, {10, 10 + balance, balance}, 0);
    QCOMPARE(label(&table, u"Lab_SaldoPocz"_s)->text(), u"0,00"_s);
    QCOMPARE(label(&table, u"Lab_SaldoPocz"_s)->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label(&table, u"Lab_SaldoNar"_s)->palette().color(QPalette::WindowText), kColourGreen);
}

void tst_MonthCard::shortArrayAbortsOpening_data()
{
    QTest::addColumn<QString>("array");
    for (const char *name : {"KsgStrona", "KsgTypDok", "KsgID_Dok_Master", "KsgDataOperacji", "KsgDataOperRozrach",
                             "KsgValue", "KsgTrescOper", "KsgNrDokMaster"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_MonthCard::shortArrayAbortsOpening()
{
    QFETCH(QString, array);
    TU_WEBServiceKsgData ledger = LedgerBuilder().charge(1, date(2020, 3, 5)).payment(2).charge(3, 0).ledger;
    std::apply(
        [&](const auto &...field) {
            ((field.name == array.toStdString() ? (void)(ledger.*(field.member)).removeLast() : void()), ...);
        },
        TU_WEBServiceKsgData::Arrays());

    QWidget owner;
    bool threw = false;
    try {
        TForm_KartMca::Open(2020, 3, 0, &owner, m_access, ledger, kOpening);
    } catch (const IndexError &) {
        threw = true;
    }
    QVERIFY2(threw, "a short array aborts the opening with the index error");
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(w->objectName() != u"Form_KartMca"_s);
}

void tst_MonthCard::titleTexts()
{
    TU_WEBServiceKsgData ledger = LedgerBuilder().charge(1, date(2020, 3, 5)).ledger;
    TForm_KartMca form(2020, 3, 3, nullptr, m_access, ledger, kOpening);
    QCOMPARE(form.windowTitle(), u"Kartoteka miesięczna"_s);
    QCOMPARE(label(&form, u"Lab_Tytul"_s)->text(), u"Kartoteka rozrachunkowa: "_s);
    QCOMPARE(label(&form, u"Lab_Opis_KontoKsg"_s)->text(), u"woda - odsetki"_s);
    QCOMPARE(label(&form, u"Lab_OpisOkres"_s)->text(), u"marzec 2020"_s);
    QVERIFY(form.Report());
}

void tst_MonthCard::windowSizeAndPlace_data()
{
    QTest::addColumn<int>("ownerX");
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("centred");
    QTest::newRow("owner at the left") << 40 << 3 << false;
    QTest::newRow("owner at the right edge") << kTestScreenWidth - 300 << 3 << true;
    QTest::newRow("many documents") << 40 << 30 << false;
}

void tst_MonthCard::windowSizeAndPlace()
{
    QFETCH(int, ownerX);
    QFETCH(int, entries);
    QFETCH(bool, centred);
    LedgerBuilder builder;
    for (int i = 0; i < entries; ++i)
        builder.charge(1, date(2020, 3, 5));
    QWidget owner;
    ownerWindowAt(owner, ownerX);
    QCOMPARE(owner.screen()->geometry().width(), kTestScreenWidth);
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    TForm_KartMca form(2020, 3, 0, &owner, m_access, builder.ledger, kOpening);
    const TFrame_InfoDokTabela *table = form.Frame_InfoDokTabela1();
    QCOMPARE(form.width(), table->width() + 20);
    QCOMPARE(form.height(), 41 + 49 + table->height() + 40);
    QCOMPARE(form.findChild<QWidget *>(u"Panel_Tytul"_s)->width(), form.width());
    // Tall enough for every document.
    QCOMPARE(table->SG_Dok()->height(), entries * 21 + 4);

    const int step = CaptionStep(&form);
    QVERIFY(step > 1);
    // Centred as a whole, borders included (the owner's show what the window system adds).
    const int borders = owner.frameGeometry().width() - owner.width();
    const int expectedX = centred ? (kTestScreenWidth - form.width() - borders) / 2 : owner.pos().x() + step;
    QCOMPARE(form.pos(), QPoint(expectedX, owner.pos().y() + step));
    if (centred)
        QVERIFY(form.pos().x() + form.width() <= kTestScreenWidth);
}

// Where only the inner width would fit beside the screen's edge, the borders
// push the window over it: it is centred.
void tst_MonthCard::frameStaysOnScreen()
{
    TU_WEBServiceKsgData ledger = LedgerBuilder().charge(1, date(2020, 3, 5)).ledger;
    QWidget owner;
    ownerWindowAt(owner, 40);
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    int width = 0;
    int step = 0;
    {
        TForm_KartMca probe(2020, 3, 0, &owner, m_access, ledger, kOpening);
        width = probe.width();
        step = CaptionStep(&probe);
    }
    // The inner window would end one pixel inside the screen.
    owner.move(kTestScreenWidth - 1 - width - step, 100);
    QTRY_COMPARE(owner.pos().x(), kTestScreenWidth - 1 - width - step);

    TForm_KartMca form(2020, 3, 0, &owner, m_access, ledger, kOpening);
    const int borders = owner.frameGeometry().width() - owner.width();
    QCOMPARE(form.pos().x(), (kTestScreenWidth - width - borders) / 2);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY2(form.frameGeometry().right() < kTestScreenWidth, "the whole window is on the screen");
}

void tst_MonthCard::paymentRowGivesMessage_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("Enter") << true;
    QTest::newRow("double click") << false;
}

void tst_MonthCard::paymentRowGivesMessage()
{
    QFETCH(bool, byEnter);
    ServiceFixture fixture;
    TU_WEBServiceKsgData ledger = LedgerBuilder().charge(10, date(2020, 3, 5)).payment(10).ledger;
    QWidget owner;
    ownerWindowAt(owner, 40);

    bool closedByEsc = false;
    const QStringList seen
        = DriveModals([&] { TForm_KartMca::Open(2020, 3, 0, &owner, fixture.access, ledger, kOpening); },
                      [&](QWidget *modal, int) {
                          auto *grid = modal->findChild<QTableWidget *>(u"SG_Dok"_s);
                          if (byEnter) {
                              grid->setCurrentCell(1, 0);
                              QTest::keyClick(grid, Qt::Key_Return);
                          } else {
                              const QPoint at = grid->visualItemRect(grid->item(1, 3)).center();
                              QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
                              QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
                          }
                          QTest::keyClick(grid, Qt::Key_Escape);
                          closedByEsc = !modal->isVisible();
                      });
    QCOMPARE(seen, QStringList{u"Form_KartMca"_s});
    QCOMPARE(fixture.messages.texts(), QStringList{u"Szczegóły są wyświetlane tylko dla naliczeń opłat."_s});
    QCOMPARE(fixture.messages.messages[0].icon, MessageIcon::Information);
    QVERIFY(fixture.service.calls.isEmpty());
    QVERIFY(closedByEsc);
}

void tst_MonthCard::chargeRowOpensDetail_data()
{
    QTest::addColumn<int>("ownerY");
    QTest::addColumn<bool>("above");
    QTest::newRow("row high on the screen: detail below it") << 40 << false;
    QTest::newRow("row near the bottom: detail above it") << 620 << true;
}

void tst_MonthCard::chargeRowOpensDetail()
{
    QFETCH(int, ownerY);
    QFETCH(bool, above);
    ServiceFixture fixture;
    TRemDokDetailsGetData details;
    details.TrescOper = u"Naliczenie za marzec"_s;
    details.DataNalFrom = date(2020, 3, 1);
    details.DataNalTo = date(2020, 3, 31);
    details.SklNumber = 1;
    details.NazwaSkl = {u"Eksploatacja"_s};
    details.IloscAsStr = {u"52,40"_s};
    details.Cena = {2.5};
    details.WspolczAsStr = {u"1,00"_s};
    details.UwzglCzescMca = {false};
    details.ValueNetto = {131.0};
    details.ValueVAT = {0.0};
    details.StVAT = {u"zw"_s};
    fixture.service.details = details;
    TU_WEBServiceKsgData ledger
        = LedgerBuilder().payment(10).entry(0, 1, 131, date(2020, 3, 10), u"Czynsz"_s, {}, 5150).ledger;
    QWidget owner;
    ownerWindowAt(owner, 40);
    owner.move(40, ownerY);

    QString detailTitle;
    QPoint expectedAnchor;
    QPoint detailPos;
    int detailHeight = 0;
    const QStringList seen
        = DriveModals([&] { TForm_KartMca::Open(2020, 3, 2, &owner, fixture.access, ledger, kOpening); },
                      [&](QWidget *modal, int depth) {
                          if (depth == 0) {
                              auto *grid = modal->findChild<QTableWidget *>(u"SG_Dok"_s);
                              grid->setCurrentCell(1, 0);
                              expectedAnchor
                                  = grid->parentWidget()->mapToGlobal(QPoint(grid->x() + 5, 2 * 20 + grid->y() + 5));
                              QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
                              modal->close();
                          } else {
                              detailTitle = modal->windowTitle();
                              detailPos = modal->pos();
                              // The whole window, title bar included, decides.
                              detailHeight = modal->frameGeometry().height();
                              QTest::keyClick(modal, Qt::Key_Escape);
                          }
                      });
    QCOMPARE(seen, (QStringList{u"Form_KartMca"_s, u"Form_NalCzynszDtl"_s}));
    QCOMPARE(detailTitle, u"Szczegóły naliczenia obciążenia"_s);
    QCOMPARE(detailPos.x(), expectedAnchor.x());
    QCOMPARE(detailPos.y(), above ? expectedAnchor.y() - detailHeight - 20 - 5 : expectedAnchor.y());
    QCOMPARE(expectedAnchor.y() + detailHeight > kTestScreenHeight, above);
    const auto calls = fixture.callsOf(u"ZOKA_WS_DokDetailsGet"_s);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].arguments.mid(3), (QStringList{u"5150"_s, u"2"_s, u"2020"_s}));
    QVERIFY(fixture.messages.messages.isEmpty());
}

void tst_MonthCard::failedDetailsOpensNothing()
{
    ServiceFixture fixture;
    TRemDokDetailsGetData refused;
    refused.RetCode = 3;
    refused.RetCodeAsString = u"Brak dokumentu"_s;
    fixture.service.details = refused;
    TU_WEBServiceKsgData ledger = LedgerBuilder().charge(10, date(2020, 3, 5)).ledger;
    TForm_KartMca form(2020, 3, 0, nullptr, fixture.access, ledger, kOpening);
    form.Frame_InfoDokTabela1()->SG_DokDblClick();
    QCOMPARE(fixture.callsOf(u"ZOKA_WS_DokDetailsGet"_s).size(), 1);
    QVERIFY(!QApplication::activeModalWidget());
}

DOMVEL_VIEWS_TEST_MAIN(tst_MonthCard)

#include "tst_monthcard.moc"

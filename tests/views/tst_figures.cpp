#include "common/BalanceRules.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "views/ChargePeriod.h"
#include "views/GridGeometry.h"
#include "views/MonthCardFigures.h"
#include "views/WindowPlacement.h"
#include "views/YearSettlementFigures.h"

#include <QTest>

// The computations behind the yearly table, the month card and the charge
// detail, checked without a window.
class tst_Figures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void balanceRules_data();
    void balanceRules();
    void openingAndJanuary();
    void hiddenMonthsAreIgnored();
    void arraysOfOtherLengths_data();
    void arraysOfOtherLengths();
    void openingStateBefore_data();
    void openingStateBefore();
    void monthCard();
    void monthCardLateTerms_data();
    void monthCardLateTerms();
    void monthCardShortArray();
    void partialMonth_data();
    void partialMonth();
    void gridExtent();
    void cellTextX_data();
    void cellTextX();
    void monthCardPosition_data();
    void monthCardPosition();
    void chargeDetailTop_data();
    void chargeDetailTop();
};

void tst_Figures::balanceRules_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("description");
    QTest::newRow("exact zero") << 0.0 << kColourGreen << QString();
    QTest::newRow("-0.00002") << -0.00002 << kColourRed << QStringLiteral("(niedopłata)");
    QTest::newRow("+0.00002") << 0.00002 << kColourGreen << QStringLiteral("(nadpłata)");
    QTest::newRow("-0.00001 is not below the tolerance") << -0.00001 << kColourGreen << QString();
    QTest::newRow("-60") << -60.0 << kColourRed << QStringLiteral("(niedopłata)");
    QTest::newRow("70") << 70.0 << kColourGreen << QStringLiteral("(nadpłata)");
}

void tst_Figures::balanceRules()
{
    QFETCH(double, balance);
    QFETCH(QColor, colour);
    QFETCH(QString, description);
    QCOMPARE(BalanceColour(balance), colour);
    QCOMPARE(BalanceDescription(balance), description);
}

void tst_Figures::openingAndJanuary()
{
    // Opening debit 100, credit 40; January debit 50, credit 120.
    const auto f = YearSettlementFigures::Compute(1, {100, 50}, {40, 120});
    QCOMPARE(f.SaldoNar[0], -60.0);
    QCOMPARE(f.MonthBalance(1), 70.0);
    QCOMPARE(f.SaldoNar[1], 10.0);
    QCOMPARE(f.FinalBalance(), 10.0);
    QCOMPARE(f.CreditTotal - f.DebitTotal, f.FinalBalance());
    QCOMPARE(BalanceColour(f.SaldoNar[0]), kColourRed);
    QCOMPARE(BalanceColour(f.SaldoNar[1]), kColourGreen);
}

void tst_Figures::hiddenMonthsAreIgnored()
{
    QList<double> debits(13, 10.0), credits(13, 4.0);
    const auto f = YearSettlementFigures::Compute(5, debits, credits);
    QCOMPARE(f.MonthCount, 5);
    QCOMPARE(f.DebitTotal, 60.0);   // opening + January..May
    QCOMPARE(f.CreditTotal, 24.0);
    QCOMPARE(f.FinalBalance(), -36.0);
    for (int j = 6; j <= 12; ++j)
        QCOMPARE(f.SaldoNar[j], 0.0);
}

void tst_Figures::arraysOfOtherLengths_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<double>("december");
    QTest::newRow("12 values: December is 0") << 12 << 0.0;
    QTest::newRow("13 values") << 13 << 13.0;
    QTest::newRow("15 values: the rest ignored") << 15 << 13.0;
    QTest::newRow("empty") << 0 << 0.0;
}

void tst_Figures::arraysOfOtherLengths()
{
    QFETCH(int, length);
    QFETCH(double, december);
    QList<double> values;
    for (int i = 0; i < length; ++i)
        values << i + 1.0;
    const auto f = YearSettlementFigures::Compute(12, values, values);
    QCOMPARE(f.ObrotyWN[12], december);
    QCOMPARE(f.FinalBalance(), 0.0);
}

void tst_Figures::openingStateBefore_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<double>("debits");
    QTest::addColumn<double>("credits");
    QTest::addColumn<double>("balance");
    QTest::newRow("January: the opening slot alone") << 1 << 100.0 << 40.0 << -60.0;
    QTest::newRow("March") << 3 << 100.0 + 50 + 30 << 40.0 + 120 + 10 << -60.0 + 70 - 20;
}

void tst_Figures::openingStateBefore()
{
    QFETCH(int, month);
    QFETCH(double, debits);
    QFETCH(double, credits);
    QFETCH(double, balance);
    const auto f = YearSettlementFigures::Compute(4, {100, 50, 30, 1}, {40, 120, 10, 2});
    const auto s = f.OpeningStateBefore(month);
    QCOMPARE(s.Debits, debits);
    QCOMPARE(s.Credits, credits);
    QCOMPARE(s.Balance, balance);
}

void tst_Figures::monthCard()
{
    const double monthEnd = DateToValue(QDate(2020, 3, 31));
    // charge 100, bank payment 30, charge 20.50, cash payment 200
    const auto f = MonthCardFigures::Compute({250, 100, -150}, 4, {0, 1, 0, 2}, {100, 30, 20.5, 200},
                                             {monthEnd, monthEnd + 5, monthEnd, 0}, monthEnd);
    QCOMPARE(f.Month.Debits, 120.5);
    QCOMPARE(f.Month.Credits, 230.0);
    QCOMPARE(f.Month.Balance, 109.5);
    QCOMPARE(f.Cumulative.Debits, 370.5);
    QCOMPARE(f.Cumulative.Credits, 330.0);
    QCOMPARE(f.Cumulative.Balance, -40.5);
    QVERIFY2(!f.AnyLateTerm, "a payment's later date is not a late term");
}

void tst_Figures::monthCardLateTerms_data()
{
    QTest::addColumn<double>("term");
    QTest::addColumn<bool>("late");
    const double monthEnd = DateToValue(QDate(2020, 3, 31));
    QTest::newRow("last day of the month") << monthEnd << false;
    QTest::newRow("the next day") << monthEnd + 1 << true;
    QTest::newRow("earlier") << monthEnd - 20 << false;
}

void tst_Figures::monthCardLateTerms()
{
    QFETCH(double, term);
    QFETCH(bool, late);
    const double monthEnd = DateToValue(QDate(2020, 3, 31));
    const auto f = MonthCardFigures::Compute({}, 1, {0}, {10}, {term}, monthEnd);
    QCOMPARE(f.LateTerm, QList<bool>{late});
    QCOMPARE(f.AnyLateTerm, late);
}

void tst_Figures::monthCardShortArray()
{
    QVERIFY_THROWS_EXCEPTION(IndexError, MonthCardFigures::Compute({}, 3, {0, 0, 0}, {1, 2}, {0, 0, 0}, 0));
}

void tst_Figures::partialMonth_data()
{
    QTest::addColumn<QDateTime>("from");
    QTest::addColumn<QDateTime>("to");
    QTest::addColumn<bool>("partial");
    const auto d = [](int y, int m, int day) { return QDateTime(QDate(y, m, day), QTime(0, 0)); };
    QTest::newRow("whole March") << d(2020, 3, 1) << d(2020, 3, 31) << false;
    QTest::newRow("second half of March") << d(2020, 3, 15) << d(2020, 3, 31) << true;
    QTest::newRow("across months") << d(2020, 2, 15) << d(2020, 3, 14) << false;
    QTest::newRow("whole leap February") << d(2024, 2, 1) << d(2024, 2, 29) << false;
    QTest::newRow("February without its last day") << d(2024, 2, 1) << d(2024, 2, 28) << true;
    QTest::newRow("whole month but noon start") << QDateTime(QDate(2020, 3, 1), QTime(12, 0)) << d(2020, 3, 31) << true;
}

void tst_Figures::partialMonth()
{
    QFETCH(QDateTime, from);
    QFETCH(QDateTime, to);
    QFETCH(bool, partial);
    QCOMPARE(IsPartialMonth(DateTimeToValue(from), DateTimeToValue(to)), partial);
}

void tst_Figures::gridExtent()
{
    // Each row and column carries a one-pixel line; the border adds 4 in height, 2 in width.
    const std::array<int, 7> documents{30, 100, 110, 110, 110, 110, 250};
    QCOMPARE(GridGeometry::Height(3), 3 * 21 + 4);
    QCOMPARE(GridGeometry::Height(0), 4);
    QCOMPARE(GridGeometry::Width(documents), 820 + 7 + 2);
    QCOMPARE(GridGeometry::ColumnOffset(documents, 0), 0);
    QCOMPARE(GridGeometry::ColumnOffset(documents, 4), 31 + 101 + 111 + 111);
    QCOMPARE(GridGeometry::ColumnOffset(documents, 5), 31 + 101 + 111 + 111 + 111);
}

void tst_Figures::cellTextX_data()
{
    using GridGeometry::Align;
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("textWidth");
    QTest::addColumn<int>("x");
    // A cell at 100, 110 wide.
    QTest::newRow("left: 2 px margin") << int(Align::Left) << 40 << 102;
    QTest::newRow("right: 4 px margin") << int(Align::Right) << 40 << 100 + 110 - 40 - 4;
    QTest::newRow("right, too wide: kept in the cell") << int(Align::Right) << 150 << 100;
    QTest::newRow("centred, odd remainder rounded toward zero") << int(Align::Centre) << 41 << 100 + 34;
    QTest::newRow("centred, too wide: kept in the cell") << int(Align::Centre) << 130 << 100;
}

void tst_Figures::cellTextX()
{
    QFETCH(int, align);
    QFETCH(int, textWidth);
    QFETCH(int, x);
    QCOMPARE(GridGeometry::TextX(GridGeometry::Align(align), 100, 110, textWidth), x);
    QCOMPARE(GridGeometry::TextY(40, 20, 15), 42);
}

void tst_Figures::monthCardPosition_data()
{
    QTest::addColumn<QPoint>("owner");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("width");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1600, 1000);
    QTest::newRow("down and right by one step") << QPoint(100, 50) << screen << 869 << QPoint(125, 75);
    QTest::newRow("exactly at the right edge") << QPoint(706, 50) << screen << 869 << QPoint(731, 75);
    QTest::newRow("one pixel past: centred") << QPoint(707, 50) << screen << 869 << QPoint(365, 75);
    QTest::newRow("wider than the screen: centred, rounded toward zero")
        << QPoint(0, 0) << QRect(0, 0, 800, 600) << 869 << QPoint(-34, 25);
    QTest::newRow("second screen") << QPoint(2400, 10) << QRect(1600, 0, 1280, 1024) << 869
                                   << QPoint(1600 + 205, 35);
}

void tst_Figures::monthCardPosition()
{
    QFETCH(QPoint, owner);
    QFETCH(QRect, screen);
    QFETCH(int, width);
    QFETCH(QPoint, expected);
    QCOMPARE(MonthCardPosition(owner, 25, screen, width), expected);
}

void tst_Figures::chargeDetailTop_data()
{
    QTest::addColumn<int>("anchorY");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expected");
    // Screen 1000 high, rows 20 high.
    QTest::newRow("fits below the row") << 300 << 500 << 300;
    QTest::newRow("bottom exactly at the screen's edge") << 500 << 500 << 500;
    QTest::newRow("one pixel below: above the row") << 601 << 400 << 601 - 400 - 20 - 5;
    QTest::newRow("taller than the room above: at the top") << 900 << 950 << 0;
}

void tst_Figures::chargeDetailTop()
{
    QFETCH(int, anchorY);
    QFETCH(int, height);
    QFETCH(int, expected);
    QCOMPARE(ChargeDetailTop(anchorY, height, 20, QRect(0, 0, 1600, 1000)), expected);
}

QTEST_GUILESS_MAIN(tst_Figures)
#include "tst_figures.moc"

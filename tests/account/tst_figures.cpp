#include "account/BalanceRules.h"
#include "account/ChargePeriod.h"
#include "account/MonthCardFigures.h"
#include "account/YearSettlementFigures.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "views/BalanceColour.h"

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
    QCOMPARE(f.SaldoMca(1), 70.0);
    QCOMPARE(f.SaldoNar[1], 10.0);
    QCOMPARE(f.SaldoNarRazem(), 10.0);
    QCOMPARE(f.RazemMA - f.RazemWN, f.SaldoNarRazem());
    QCOMPARE(BalanceColour(f.SaldoNar[0]), kColourRed);
    QCOMPARE(BalanceColour(f.SaldoNar[1]), kColourGreen);
}

void tst_Figures::hiddenMonthsAreIgnored()
{
    QList<double> debits(13, 10.0), credits(13, 4.0);
    const auto f = YearSettlementFigures::Compute(5, debits, credits);
    QCOMPARE(f.MonthCount, 5);
    QCOMPARE(f.RazemWN, 60.0); // opening + January..May
    QCOMPARE(f.RazemMA, 24.0);
    QCOMPARE(f.SaldoNarRazem(), -36.0);
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
    QCOMPARE(f.SaldoNarRazem(), 0.0);
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
    QCOMPARE(s.ObrotyWN, debits);
    QCOMPARE(s.ObrotyMA, credits);
    QCOMPARE(s.Saldo, balance);
}

void tst_Figures::monthCard()
{
    const double monthEnd = DateToValue(QDate(2020, 3, 31));
    // charge 100, bank payment 30, charge 20.50, cash payment 200
    const auto f = MonthCardFigures::Compute({250, 100, -150}, 4, {0, 1, 0, 2}, {100, 30, 20.5, 200},
                                             {monthEnd, monthEnd + 5, monthEnd, 0}, monthEnd);
    QCOMPARE(f.Mca.ObrotyWN, 120.5);
    QCOMPARE(f.Mca.ObrotyMA, 230.0);
    QCOMPARE(f.Mca.Saldo, 109.5);
    QCOMPARE(f.Nar.ObrotyWN, 370.5);
    QCOMPARE(f.Nar.ObrotyMA, 330.0);
    QCOMPARE(f.Nar.Saldo, -40.5);
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

QTEST_GUILESS_MAIN(tst_Figures)
#include "tst_figures.moc"

#include "common/DateHelpers.h"

#include <QTest>

namespace {
double at(int y, int m, int d, int h = 0, int min = 0, int s = 0)
{
    return DateTimeToValue(QDateTime(QDate(y, m, d), QTime(h, min, s)));
}
} // namespace

class tst_Dates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leapYear_data();
    void leapYear();
    void monthDayCount_data();
    void monthDayCount();
    void monthBoundaries_data();
    void monthBoundaries();
    void dateDiffMonths_data();
    void dateDiffMonths();
    void dateDiffMinutes_data();
    void dateDiffMinutes();
    void valueConversion_data();
    void valueConversion();
};

void tst_Dates::leapYear_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("leap");
    QTest::newRow("1900 century") << 1900 << false;
    QTest::newRow("2000 divisible by 400") << 2000 << true;
    QTest::newRow("2024") << 2024 << true;
    QTest::newRow("2023") << 2023 << false;
    QTest::newRow("2100 century") << 2100 << false;
}

void tst_Dates::leapYear()
{
    QFETCH(int, year);
    QFETCH(bool, leap);
    QCOMPARE(LeapYear(year), leap);
}

void tst_Dates::monthDayCount_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("days");
    QTest::newRow("February 2024") << 2024 << 2 << 29;
    QTest::newRow("February 2023") << 2023 << 2 << 28;
    QTest::newRow("February 1900") << 1900 << 2 << 28;
    QTest::newRow("April") << 2023 << 4 << 30;
    QTest::newRow("December") << 2023 << 12 << 31;
    QTest::newRow("month 0") << 2023 << 0 << 0;
    QTest::newRow("month 13") << 2023 << 13 << 0;
}

void tst_Dates::monthDayCount()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, days);
    QCOMPARE(MonthDayCount(year, month), days);
}

void tst_Dates::monthBoundaries_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::newRow("1 Feb 2024") << at(2024, 2, 1) << QDate(2024, 2, 1) << QDate(2024, 2, 29) << 2024 << 2;
    QTest::newRow("15 Feb 2024 afternoon")
        << at(2024, 2, 15, 16, 30) << QDate(2024, 2, 1) << QDate(2024, 2, 29) << 2024 << 2;
    QTest::newRow("29 Feb 2024 late") << at(2024, 2, 29, 23, 59, 59) << QDate(2024, 2, 1) << QDate(2024, 2, 29) << 2024
                                      << 2;
    QTest::newRow("31 Dec 2019") << at(2019, 12, 31) << QDate(2019, 12, 1) << QDate(2019, 12, 31) << 2019 << 12;
    QTest::newRow("epoch") << 0.0 << QDate(1899, 12, 1) << QDate(1899, 12, 31) << 1899 << 12;
}

void tst_Dates::monthBoundaries()
{
    QFETCH(double, value);
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(int, year);
    QFETCH(int, month);
    QCOMPARE(ValueToDate(MonthStartDate(value)), start);
    QCOMPARE(ValueToDate(MonthEndDate(value)), end);
    QCOMPARE(MonthEndDate(value), std::trunc(MonthEndDate(value))); // time 0
    QCOMPARE(ValueToDate(MonthLastDayDate(year, month)), end);
    QCOMPARE(int(DateYear(value)), year);
    QCOMPARE(int(DateMonth(value)), month);
}

void tst_Dates::dateDiffMonths_data()
{
    QTest::addColumn<double>("later");
    QTest::addColumn<double>("earlier");
    QTest::addColumn<int>("months");
    QTest::newRow("across the new year") << at(2020, 1, 1) << at(2019, 12, 31) << 1;
    QTest::newRow("same month") << at(2020, 1, 31) << at(2020, 1, 1) << 0;
    QTest::newRow("fourteen months") << at(2021, 3, 1) << at(2020, 1, 31) << 14;
    QTest::newRow("backwards") << at(2019, 12, 31) << at(2020, 1, 1) << -1;
}

void tst_Dates::dateDiffMonths()
{
    QFETCH(double, later);
    QFETCH(double, earlier);
    QFETCH(int, months);
    QCOMPARE(DateDiffMonths(later, earlier), months);
}

void tst_Dates::dateDiffMinutes_data()
{
    QTest::addColumn<double>("later");
    QTest::addColumn<double>("earlier");
    QTest::addColumn<double>("minutes");
    QTest::newRow("90.5 minutes") << at(2024, 5, 6, 11, 30, 30) << at(2024, 5, 6, 10) << 90.5;
    QTest::newRow("one day and one minute") << at(2024, 5, 7, 10, 1) << at(2024, 5, 6, 10) << 1441.0;
    QTest::newRow("exactly 15 minutes") << at(2024, 5, 6, 10, 15) << at(2024, 5, 6, 10) << 15.0;
    QTest::newRow("15 minutes 1 second") << at(2024, 5, 6, 10, 15, 1) << at(2024, 5, 6, 10) << 15.0 + 1.0 / 60;
    QTest::newRow("across midnight") << at(2024, 5, 7, 0, 5) << at(2024, 5, 6, 23, 55) << 10.0;
    QTest::newRow("milliseconds dropped") << at(2024, 5, 6, 10) + 0.4 / 86400 << at(2024, 5, 6, 10) << 0.0;
    QTest::newRow("same instant") << at(2024, 5, 6, 10) << at(2024, 5, 6, 10) << 0.0;
}

void tst_Dates::dateDiffMinutes()
{
    QFETCH(double, later);
    QFETCH(double, earlier);
    QFETCH(double, minutes);
    QCOMPARE(DateDiffMinutes(later, earlier), minutes);
}

void tst_Dates::valueConversion_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QDateTime>("dateTime");
    QTest::newRow("epoch") << 0.0 << QDateTime(QDate(1899, 12, 30), QTime(0, 0));
    QTest::newRow("1 January 2020") << 43831.0 << QDateTime(QDate(2020, 1, 1), QTime(0, 0));
    QTest::newRow("noon") << 43831.5 << QDateTime(QDate(2020, 1, 1), QTime(12, 0));
    QTest::newRow("before the epoch, 6 a.m.") << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
}

void tst_Dates::valueConversion()
{
    QFETCH(double, value);
    QFETCH(QDateTime, dateTime);
    QCOMPARE(ValueToDateTime(value), dateTime);
    QCOMPARE(ValueToDate(value), dateTime.date());
    QCOMPARE(DateTimeToValue(dateTime), value);
}

QTEST_GUILESS_MAIN(tst_Dates)
#include "tst_dates.moc"

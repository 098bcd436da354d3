#include "common/DateHelpers.h"

#include <QTest>

class tst_Dates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leapYear_data();
    void leapYear();
};

void tst_Dates::leapYear_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<bool>("leap");
    QTest::newRow("1900") << 1900 << false;
    QTest::newRow("2000") << 2000 << true;
}

void tst_Dates::leapYear()
{
    QFETCH(int, year);
    QFETCH(bool, leap);
    QCOMPARE(LeapYear(year), leap);
}

QTEST_GUILESS_MAIN(tst_Dates)
#include "tst_dates.moc"

#include "account/BalanceSummary.h"
#include "account/TU_WEBServiceData.h"
#include "common/DateHelpers.h"

#include <QDate>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

double Date(int y, int m, int d)
{
    return DateToValue(QDate(y, m, d));
}

// A year of 13 equal slots.
QList<double> Slots(double each)
{
    return QList<double>(13, each);
}

// A store holding the current year: rents and water offered, rent open in
// June 2024 and water in May, both kept since 2010.
TU_WEBServiceData CurrentYear()
{
    TU_WEBServiceData s;
    s.CZMain_Service_F = true;
    s.WOMain_Service_F = true;
    s.SysCZPeriodEwidActive = Date(2024, 6, 10);
    s.SysCZPeriodStart = Date(2010, 1, 1);
    s.SysCZYearEwidActive = 2024;
    s.SysWOPeriodEwidActive = Date(2024, 5, 1);
    s.SysWOPeriodStart = Date(2010, 1, 1);
    s.ShowYear = 2024;
    s.ShowPeriodEwid = s.SysCZPeriodEwidActive;
    return s;
}

} // namespace

// The account's state at a glance: which categories count, up to which
// period, the sum, its words and its threshold.
class tst_BalanceSummary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void summary_data();
    void summary();
    void anotherYearShownGivesNothing();
    void newFiguresOfTheCurrentYearReplaceTheOld();
};

void tst_BalanceSummary::summary_data()
{
    QTest::addColumn<TU_WEBServiceData>("store");
    QTest::addColumn<QList<int>>("categories");
    QTest::addColumn<double>("total");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");

    const auto owing = int(BalanceSummary::Kind::Owing);
    const auto overpaid = int(BalanceSummary::Kind::Overpaid);
    const auto settled = int(BalanceSummary::Kind::Settled);

    TU_WEBServiceData zero = CurrentYear();
    zero.ObrotyCZMain_WN = Slots(100);
    zero.ObrotyCZMain_MA = Slots(100);
    QTest::newRow("zero") << zero << QList<int>{0, 2} << 0.0 << settled << u"Rozliczone"_s;

    // Rent: 7 slots (opening + January..June) of -10; water: 6 slots (to May) of -2.
    // The months after the open period are not counted, though delivered.
    TU_WEBServiceData owes = CurrentYear();
    owes.ObrotyCZMain_WN = Slots(110);
    owes.ObrotyCZMain_MA = Slots(100);
    owes.ObrotyWOMain_WN = Slots(5);
    owes.ObrotyWOMain_MA = Slots(3);
    QTest::newRow("owing") << owes << QList<int>{0, 2} << -82.0 << owing << u"Do zapłaty: 82,00 zł"_s;

    TU_WEBServiceData over = CurrentYear();
    over.ObrotyCZMain_MA = {12.0};
    QTest::newRow("overpaid") << over << QList<int>{0, 2} << 12.0 << overpaid << u"Nadpłata: 12,00 zł"_s;

    // Figures of categories not offered never count.
    TU_WEBServiceData notOffered = CurrentYear();
    notOffered.WOMain_Service_F = false;
    notOffered.ObrotyCZMain_MA = {1234.5};
    notOffered.ObrotyWOMain_WN = Slots(1000);
    notOffered.ObrotyOdpady_WN = Slots(1000);
    QTest::newRow("categories not offered")
        << notOffered << QList<int>{0} << 1234.5 << overpaid << u"Nadpłata: 1\u00A0234,50 zł"_s;

    TU_WEBServiceData tiny = CurrentYear();
    tiny.ObrotyCZMain_WN = {0.000005};
    QTest::newRow("within the threshold") << tiny << QList<int>{0, 2} << -0.000005 << settled << u"Rozliczone"_s;
    TU_WEBServiceData beyond = CurrentYear();
    beyond.ObrotyCZMain_WN = {0.00002};
    QTest::newRow("beyond the threshold")
        << beyond << QList<int>{0, 2} << -0.00002 << owing << u"Do zapłaty: 0,00 zł"_s;

    // A community whose books end in December 2012: all twelve months count,
    // and waste was then settled with the rents, so its figures stay out.
    TU_WEBServiceData community;
    community.CZMain_Service_F = true;
    community.CZOds_Service_F = true;
    community.Odpady_Service_F = true;
    community.SysCZPeriodEwidActive = Date(2012, 12, 1);
    community.SysCZPeriodStart = Date(2011, 1, 1);
    community.SysCZYearEwidActive = 2012;
    community.ShowYear = 2012;
    community.ObrotyCZMain_WN = Slots(10);
    community.ObrotyCZOds_MA = {0.5};
    community.ObrotyOdpady_WN = Slots(99);
    QTest::newRow("housing community") << community << QList<int>{0, 1} << -129.5 << owing
                                       << u"Do zapłaty: 129,50 zł"_s;
}

void tst_BalanceSummary::summary()
{
    QFETCH(TU_WEBServiceData, store);
    QFETCH(QList<int>, categories);
    QFETCH(double, total);
    QFETCH(int, kind);
    QFETCH(QString, text);

    const std::optional<BalanceSummary> s = BalanceSummary::FromStore(store, 0);
    QVERIFY(s);
    QList<int> shown;
    double sum = 0;
    for (const BalanceSummary::Category &c : s->Categories) {
        shown << c.Index;
        sum += c.Balance;
    }
    QCOMPARE(shown, categories);
    QVERIFY2(qAbs(s->Total - total) < 1e-9, qPrintable(u"total %1, expected %2"_s.arg(s->Total).arg(total)));
    QCOMPARE(s->Total, sum);
    QCOMPARE(int(s->TotalKind()), kind);
    QCOMPARE(s->TotalText(), text);
    // Without a service date the state is that of the open rent period.
    QCOMPARE(s->Date, store.SysCZPeriodEwidActive);
}

void tst_BalanceSummary::anotherYearShownGivesNothing()
{
    TU_WEBServiceData store = CurrentYear();
    store.ShowYear = 2022;
    QVERIFY(!BalanceSummary::FromStore(store, 0));
    QVERIFY(!BalanceSummary::FromStore(TU_WEBServiceData(), 0));
}

void tst_BalanceSummary::newFiguresOfTheCurrentYearReplaceTheOld()
{
    TU_WEBServiceData store = CurrentYear();
    store.ObrotyCZMain_WN = Slots(10);
    const auto before = BalanceSummary::FromStore(store, Date(2024, 6, 12));
    QVERIFY(before);
    QCOMPARE(before->TotalText(), u"Do zapłaty: 70,00 zł"_s);
    QCOMPARE(before->DateText(), u"Stan na 12.06.2024"_s);
    QCOMPARE(BalanceSummary::CategoryText(before->Categories.first()), u"czynsze: -70,00 zł"_s);

    // A query for the current year brings newer figures: they replace the old.
    TRemYearRozrachGetData answer;
    answer.RetCode = 0;
    answer.ObrotyCZMain_WN = Slots(10);
    answer.ObrotyCZMain_MA = Slots(10);
    store.LoadYearFrom(2024, answer);
    QCOMPARE(BalanceSummary::FromStore(store, 0)->TotalText(), u"Rozliczone"_s);
    // A past year's answer gives no summary: the shown one stays.
    store.LoadYearFrom(2023, answer);
    QVERIFY(!BalanceSummary::FromStore(store, 0));
}

QTEST_GUILESS_MAIN(tst_BalanceSummary)
#include "tst_balancesummary.moc"

#include "testing/ReportPageProbe.h"

#include "account/CsvTable.h"
#include "account/TU_WEBServiceSession.h"
#include "account/YearChartData.h"
#include "account/YearSettlementFigures.h"
#include "engine/BandedReport.h"
#include "reports/TPrn_YearChart.h"
#include "reports/YearChartLayout.h"

#include <QTest>

#include <cmath>

using namespace Qt::Literals::StringLiterals;
using namespace ReportPageProbe;

namespace {

YearSettlementFigures Figures(int monthCount)
{
    QList<double> debits{50}, credits{20};
    for (int m = 1; m <= 12; ++m) {
        debits << 100.0 + m;
        credits << (m % 3 == 0 ? 350.0 : 0.0);
    }
    return YearSettlementFigures::Compute(monthCount, debits, credits);
}

} // namespace

// The chart of a year: its figures are the table's rows, its axis holds them
// all, its layout puts them where the axis says, and the report page carries
// the same picture.
class tst_YearChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dataIsTheTablesRows_data();
    void dataIsTheTablesRows();
    void axis_data();
    void axis();
    void barsStandOnTheZeroLine();
    void reportPage();
};

void tst_YearChart::dataIsTheTablesRows_data()
{
    QTest::addColumn<int>("monthCount");
    QTest::newRow("past year") << 12;
    QTest::newRow("current year, open in May") << 6;
    QTest::newRow("January") << 2;
}

void tst_YearChart::dataIsTheTablesRows()
{
    QFETCH(int, monthCount);
    const YearSettlementFigures f = Figures(monthCount);
    const YearChartData d = YearChartData::From(2024, 2, f);
    QCOMPARE(d.Months.size(), monthCount);
    QCOMPARE(d.OpeningBalance, f.SaldoNar[0]);
    for (const YearChartData::Month &m : d.Months) {
        QCOMPARE(m.Charges, f.ObrotyWN[m.Number]);
        QCOMPARE(m.Payments, f.ObrotyMA[m.Number]);
        QCOMPARE(m.Balance, f.SaldoNar[m.Number]);
    }
    QCOMPARE(d.Months.first().Name, u"styczeń"_s);
    QCOMPARE(d.Months.first().ShortName, u"sty"_s);
    QCOMPARE(d.Title(), u"Rozrachunki roku 2024 – woda"_s);
}

void tst_YearChart::axis_data()
{
    QTest::addColumn<QList<double>>("debits");
    QTest::addColumn<QList<double>>("credits");
    QTest::newRow("all zero") << QList<double>{} << QList<double>{};
    QTest::newRow("owing") << QList<double>(13, 412.37) << QList<double>(13, 0.0);
    QTest::newRow("overpaid") << QList<double>(13, 0.0) << QList<double>(13, 1999.99);
    QTest::newRow("grosze") << QList<double>{0, 0.03} << QList<double>{0, 0.01};
    QTest::newRow("large") << QList<double>{1.5e6, 2e5} << QList<double>{0, 3e5};
    QTest::newRow("not a number") << QList<double>{0, std::nan("")} << QList<double>{0, 10};
}

void tst_YearChart::axis()
{
    QFETCH(QList<double>, debits);
    QFETCH(QList<double>, credits);
    const YearChartData d = YearChartData::From(2024, 0, YearSettlementFigures::Compute(12, debits, credits));
    QVERIFY(d.AxisStep >= 0.01);
    QVERIFY2(d.AxisMin <= 0 && d.AxisMax >= 0, "zero is on the axis");
    QVERIFY2(d.AxisMax > d.AxisMin, "the axis has a span");
    const double steps = (d.AxisMax - d.AxisMin) / d.AxisStep;
    QVERIFY2(steps <= 10.5, qPrintable(u"%1 steps"_s.arg(steps)));
    QVERIFY2(std::abs(steps - std::round(steps)) < 1e-6, "whole steps");
    for (const YearChartData::Month &m : d.Months) {
        for (const double v : {m.Charges, m.Payments, m.Balance}) {
            if (std::isfinite(v))
                QVERIFY2(v >= d.AxisMin - 1e-9 && v <= d.AxisMax + 1e-9, qPrintable(u"%1 on the axis"_s.arg(v)));
        }
    }
}

void tst_YearChart::barsStandOnTheZeroLine()
{
    const YearChartData d = YearChartData::From(2024, 0, Figures(12));
    const QRectF area(0, 0, 600, 400);
    const QList<YearChartItem> items = LayoutYearChart(d, area, YearChartMetrics{16, 70});
    // Bars lie in the plot, under the legend's two lines.
    QList<QRectF> charges, payments;
    for (const YearChartItem &i : items) {
        if (i.kind == YearChartItem::Kind::Rectangle && i.fill == ChartChargesColour() && i.box.top() >= 32)
            charges << i.box;
        if (i.kind == YearChartItem::Kind::Rectangle && i.fill == ChartPaymentsColour() && i.box.top() >= 32)
            payments << i.box;
    }
    QCOMPARE(charges.size(), 12);
    QCOMPARE(payments.size(), 12);
    // Heights in proportion to the figures: 101 zł against 112 zł.
    QVERIFY(std::abs(charges[0].height() / charges[11].height() - 101.0 / 112.0) < 1e-6);
    for (int m = 0; m < 12; ++m) {
        QVERIFY(area.contains(charges[m]));
        QVERIFY2(charges[m].left() < payments[m].left(), "charges left of payments");
        if (m > 0)
            QVERIFY2(charges[m].left() > charges[m - 1].right(), "months in order");
    }
    // Month names under the bars, and the amounts of the axis.
    QStringList texts;
    for (const YearChartItem &i : items) {
        if (i.kind == YearChartItem::Kind::Text)
            texts << i.text;
    }
    QVERIFY(texts.contains(u"gru"_s));
    QVERIFY(texts.contains(u"Saldo narastająco"_s));
    QVERIFY(texts.contains(AxisAmountText(0, d.AxisStep)));
    QCOMPARE(AxisAmountText(1500, 500), u"1\u00A0500"_s);
    QCOMPARE(AxisAmountText(0.3000000004, 0.1), u"0,30"_s);
}

void tst_YearChart::reportPage()
{
    TU_WEBServiceSession session;
    session.Z_UlicaNr = u"Piotrkowska 12 m. 3"_s;
    session.U_Nazwisko1 = u"Śliwińska"_s;
    const YearChartData d = YearChartData::From(2024, 0, Figures(12));
    TPrn_YearChart report(d, session);
    const auto pages = report.Report().generate();
    QCOMPARE(pages->pageCount(), 1);
    const ReportPage &page = pages->page(0);
    QVERIFY(Find(page, u"2024  \"czynsze\""_s));
    QVERIFY(Find(page, u"sty"_s) && Find(page, u"gru"_s));
    // Every bar of the window is a filled rectangle on the page.
    const int bars = int(std::count_if(page.rects.begin(), page.rects.end(), [](const PageRect &r) {
        return r.fill == ChartChargesColour().rgba() || r.fill == ChartPaymentsColour().rgba();
    }));
    QVERIFY2(bars >= 24, qPrintable(u"%1 bars"_s.arg(bars)));

    // Its table for spreadsheets holds the charted figures.
    const std::optional<CsvTable> table = report.SpreadsheetTable();
    QVERIFY(table);
    QCOMPARE(table->Rows.size(), 13);
    QCOMPARE(table->Rows[3], (QStringList{u"marzec"_s, u"103,00"_s, u"350,00"_s, CsvAmount(d.Months[2].Balance)}));
}

QTEST_MAIN(tst_YearChart)
#include "tst_yearchart.moc"

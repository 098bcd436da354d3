#include "testing/ReportPageProbe.h"

#include "account/FormatAmount.h"
#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceSession.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "engine/BandedReport.h"
#include "engine/HtmlExportFilter.h"
#include "engine/TextExportFilter.h"
#include "reports/TPrn_NalCzynszDtl.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace ReportPageProbe;

namespace {

// Margins 25 mm left and 20 mm top: the column header starts at 58.9 and the
// first line at 64.6.
constexpr double kLeft = 25.0;
constexpr double kTop = 20.0;
constexpr double kFirstLineTop = kTop + 38.9 + 5.7;
constexpr double kLineHeight = 5.7;

struct Fixture
{
    TU_WEBServiceSession session;
    TU_WEBServiceData yearData;
    TU_WEBServiceDokData details;

    Fixture()
    {
        session.ServiceDate = DateToValue(QDate(2020, 4, 2));
        session.Z_UlicaNr = u"Lipowa 7/12"_s;
        session.Z_Miejscowosc = u"00-950 Warszawa"_s;
        session.U_Nazwisko1 = u"Kowalski"_s;
        session.U_Imie1 = u"Jan"_s;
        session.U_Nazwisko2 = u"Kowalska"_s;
        session.U_Imie2 = u"Anna"_s;
        yearData.ShowYear = 2020;
        details.DataOperacji = DateToValue(QDate(2020, 3, 1));
        details.DataOperRozrach = DateToValue(QDate(2020, 3, 10));
        details.DataNalFrom = DateToValue(QDate(2020, 3, 15));
        details.DataNalTo = DateToValue(QDate(2020, 3, 31));
        details.TrescOper = u"Naliczenie opłat za marzec"_s;
        details.DokKind = 1;
        details.KontoKsg = 0;
    }

    void Add(const QString &name, const QString &quantity, double price, const QString &coefficient, double net,
             double vat, bool partOfMonth = false)
    {
        details.NazwaSkl.append(name);
        details.IloscAsStr.append(quantity);
        details.Cena.append(price);
        details.WspolczAsStr.append(coefficient);
        details.UwzglCzescMca.append(partOfMonth);
        details.ValueNetto.append(net);
        details.ValueVAT.append(vat);
        details.StVAT.append(u"8%"_s);
        ++details.SklNumber;
    }

    std::unique_ptr<TPrn_NalCzynszDtl> MakeReport()
    {
        return std::make_unique<TPrn_NalCzynszDtl>(details, yearData, session);
    }
};

int LineY(int line)
{
    return Mm(kFirstLineTop + line * kLineHeight + 0.9);
}

} // namespace

class tst_ReportChargeDetail : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header();
    void componentsAndTotal();
    void partOfMonthHasNoMarks();
    void printingTwiceGivesSameTotal();
    void shortComponentArraysFailTheRun();
    void longNameIsCutAtItsColumn();
};

void tst_ReportChargeDetail::header()
{
    Fixture f;
    f.Add(u"Eksploatacja"_s, u"52,30"_s, 2.5, u"1,0000"_s, 130.75, 0);
    auto report = f.MakeReport();
    const auto pages = report->Report().generate();
    QCOMPARE(pages->title(), u"Wydruk kartoteki rozrachunkowej"_s);
    const ReportPage &page = pages->page(0);
    QCOMPARE(Row(page, Mm(kTop + 1.1)),
             (QStringList{u"Rozrachunki roku"_s, u"2020  \"czynsze\""_s, u"Data: 2.04.2020"_s}));
    QCOMPARE(Row(page, Mm(kTop + 6.6)), (QStringList{u"Obciążenie: "_s, u"Naliczenie opłat za marzec"_s}));
    QCOMPARE(AtLeft(page, Mm(kLeft + 26.5), Mm(kTop + 6.6))->text, u"Naliczenie opłat za marzec"_s);
    QCOMPARE(Row(page, Mm(kTop + 20.5)), (QStringList{u"00-950 Warszawa"_s, u"Kowalska Anna"_s}));
    QCOMPARE(
        Row(page, Mm(kTop + 27.6)),
        (QStringList{u"Data operacji: "_s, u"1.03.2020"_s, u"Obciążenie za okres:"_s, u"15.03.2020 - 31.03.2020"_s}));
    QCOMPARE(AtLeft(page, Mm(kLeft + 118.8), Mm(kTop + 27.6))->text, u"15.03.2020 - 31.03.2020"_s);
    QCOMPARE(Row(page, Mm(kTop + 32.0)), (QStringList{u"Termin płatności: "_s, u"10.03.2020"_s}));
    QCOMPARE(AtLeft(page, Mm(kLeft + 30.5), Mm(kTop + 32.0))->text, u"10.03.2020"_s);
    QCOMPARE(Row(page, Mm(kTop + 38.9 + 1.1)),
             (QStringList{u"Lp"_s, u"Nazwa składnika"_s, u"Ilość"_s, u"Cena"_s, u"Współcz."_s, u"Opłata (brutto)"_s}));
}

void tst_ReportChargeDetail::componentsAndTotal()
{
    Fixture f;
    f.Add(u"Eksploatacja"_s, u"52,30"_s, 2.5, u"1,0000"_s, 130.75, 0);
    f.Add(u"Woda zimna"_s, u"3,125"_s, 14.07, u"1,0000"_s, 40.71, 3.26);
    f.Add(u"Fundusz remontowy"_s, u"52,30"_s, 1234.1, u"0,5000"_s, 1000.004, 0.003);
    auto report = f.MakeReport();
    const ReportPage page = report->Report().generate()->page(0);

    QCOMPARE(Row(page, LineY(0)),
             (QStringList{u"1"_s, u"Eksploatacja"_s, u"52,30"_s, u"2,50"_s, u"1,0000"_s, u"130,75"_s}));
    QCOMPARE(Row(page, LineY(1)),
             (QStringList{u"2"_s, u"Woda zimna"_s, u"3,125"_s, u"14,07"_s, u"1,0000"_s, u"43,97"_s}));
    QCOMPARE(
        Row(page, LineY(2)),
        (QStringList{u"3"_s, u"Fundusz remontowy"_s, u"52,30"_s, u"1\u00A0234,10"_s, u"0,5000"_s, u"1\u00A0000,01"_s}));
    // Text-sized amounts keep their right edges; the number its box's.
    QCOMPARE(AtRight(page, Mm(kLeft + 93.8), LineY(1))->text, u"3,125"_s);
    QCOMPARE(AtRight(page, Mm(kLeft + 116.2), LineY(2))->text, u"1\u00A0234,10"_s);
    QCOMPARE(AtRight(page, Mm(kLeft + 134.3), LineY(2))->text, u"0,5000"_s);
    QCOMPARE(AtRight(page, Mm(kLeft + 162.1), LineY(0))->text, u"130,75"_s);
    QCOMPARE(AtRight(page, Mm(kLeft + 1.5 + 6.6), LineY(2))->text, u"3"_s);
    QCOMPARE(AtLeft(page, Mm(kLeft + 12.8), LineY(1))->text, u"Woda zimna"_s);

    // The total is the sum of the gross amounts as delivered, rounded once.
    const double total = (130.75 + 0) + (40.71 + 3.26) + (1000.004 + 0.003);
    QCOMPARE(report->GrossTotal(), total);
    const int summaryY = Mm(kFirstLineTop + 3 * kLineHeight + 1.3);
    QCOMPARE(Row(page, summaryY), (QStringList{u"RAZEM"_s, FormatAmount(total)}));
    QCOMPARE(FormatAmount(total), u"1\u00A0174,73"_s);
    QCOMPARE(AtRight(page, Mm(kLeft + 134.3), summaryY)->text, u"RAZEM"_s);
    QCOMPARE(AtRight(page, Mm(kLeft + 162.1), summaryY)->text, u"1\u00A0174,73"_s);
    QVERIFY(Find(page, u"Strona ostatnia"_s));
    QVERIFY(Find(page, u"Wyemitowano z programu: Domvel-E-Vadiv"_s));
}

void tst_ReportChargeDetail::partOfMonthHasNoMarks()
{
    Fixture f;
    f.Add(u"Eksploatacja"_s, u"52,30"_s, 2.5, u"0,5484"_s, 71.70, 0, true);
    f.Add(u"Śmieci"_s, u"2"_s, 13, u"0,5484"_s, 14.26, 1.14, true);
    auto report = f.MakeReport();
    const auto pages = report->Report().generate();
    QVERIFY2(!AnyContains(*pages, u"*"_s), "no partial-month marks");
    QVERIFY(!AnyContains(*pages, u"8%"_s)); // nor VAT rates
    QVERIFY(Find(pages->page(0), u"87,10"_s));
}

void tst_ReportChargeDetail::printingTwiceGivesSameTotal()
{
    Fixture f;
    f.Add(u"A"_s, u"1"_s, 1, u"1"_s, 10, 0.8);
    f.Add(u"B"_s, u"1"_s, 1, u"1"_s, 20, 1.6);
    auto report = f.MakeReport();
    const auto first = report->Report().generate();
    const auto second = report->Report().generate();
    QCOMPARE(report->GrossTotal(), 32.4);
    QVERIFY(first->page(0) == second->page(0));
}

void tst_ReportChargeDetail::shortComponentArraysFailTheRun()
{
    Fixture f;
    f.Add(u"A"_s, u"1"_s, 1, u"1"_s, 10, 0.8);
    f.details.SklNumber = 2;
    auto report = f.MakeReport();
    QVERIFY_THROWS_EXCEPTION(IndexError, report->Report().generate());
}

void tst_ReportChargeDetail::longNameIsCutAtItsColumn()
{
    Fixture f;
    const QString name = u"Fundusz remontowy części wspólnych nieruchomości wraz z modernizacją dźwigu osobowego"_s;
    QCOMPARE(name.size(), 85);
    f.Add(name, u"52,30"_s, 2.5, u"1,0000"_s, 130.75, 0);
    auto report = f.MakeReport();
    const auto pages = report->Report().generate();
    const ReportPage &page = pages->page(0);
    const PageText *text = Find(page, name);
    QVERIFY2(text, "the page keeps the whole name");
    const PageText *quantity = AtRight(page, Mm(kLeft + 93.8), LineY(0));
    const PageText *price = AtRight(page, Mm(kLeft + 116.2), LineY(0));
    QVERIFY(quantity && price);

    // The name's box ends at 65.1 mm; "Ilość" and "Cena" stay clear.
    const double boxRight = kLeft + 12.8 + 52.3;
    const QImage image = Painted(*pages, 0);
    QVERIFY2(InkBetween(image, boxRight - 5, boxRight, *text) > 0, "the name is printed up to its box's edge");
    QCOMPARE(InkBetween(image, boxRight + 0.3, ReportUnits::ToMillimetres(quantity->x) - 0.3, *text), 0);
    QCOMPARE(InkBetween(image, ReportUnits::ToMillimetres(quantity->x + quantity->width) + 0.3,
                        ReportUnits::ToMillimetres(price->x) - 0.3, *text),
             0);

    // Text and HTML exports keep the whole name.
    QVERIFY(TextExportFilter::documentText(*pages).contains(name));
    QVERIFY(HtmlExportFilter::documentHtml(*pages).contains(name));
}

QTEST_MAIN(tst_ReportChargeDetail)
#include "tst_report_chargedetail.moc"

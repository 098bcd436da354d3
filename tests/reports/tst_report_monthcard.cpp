#include "testing/ReportPageProbe.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "engine/BandedReport.h"
#include "engine/HtmlExportFilter.h"
#include "engine/TextExportFilter.h"
#include "reports/TPrn_KartMca.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace ReportPageProbe;

namespace {

// Margins of 10 mm: the title band starts at (10, 10), the column header at
// 38.1, the opening state at 47.2 and the first line at 53.8 (page 1); later
// pages start their lines under the column header at 19.1.
constexpr double kLeft = 10.0;
constexpr double kHeaderTop = 10.0 + 28.1;
constexpr double kOpeningTop = kHeaderTop + 9.1;
constexpr double kFirstLineTop = kOpeningTop + 6.6;
constexpr double kLineHeight = 4.4;

int TextY(double bandTopMm, double labelTopMm)
{
    return Mm(bandTopMm) + Mm(labelTopMm);
}

struct Fixture
{
    TU_WEBServiceSession session;
    TU_WEBServiceData yearData;
    TU_WEBServiceKsgData ledger;

    Fixture()
    {
        session.ServiceDate = DateToValue(QDate(2020, 4, 2));
        session.Z_UlicaNr = u"Lipowa 7/12"_s;
        session.Z_Miejscowosc = u"00-950 Warszawa"_s;
        session.U_Nazwisko1 = u"Kowalski"_s;
        session.U_Imie1 = u"Jan"_s;
        yearData.ShowYear = 2020;
        // Water (category 2): opening debit 100, credit 50; each month debit
        // 30, credit 20. Before March: debits 160, credits 90, balance -70.
        yearData.ObrotyWOMain_WN = {100, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30};
        yearData.ObrotyWOMain_MA = {50, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20};
        ledger.KontoKsg = 2;
        ledger.Year = 2020;
        ledger.Month = 3;
    }

    // Appends one entry; side 0 is a debit.
    void Add(qint32 side, double value, qint32 kind = 1, const QString &text = u"Opłata za wodę"_s,
             const QString &number = u"NR/1"_s)
    {
        const int day = ledger.KsgNumber % 28 + 1;
        ledger.KsgStrona.append(side);
        ledger.KsgTypDok.append(kind);
        ledger.KsgID_Dok_Master.append(1000 + ledger.KsgNumber);
        ledger.KsgDataOperacji.append(DateToValue(QDate(2020, 3, day)));
        ledger.KsgDataOperRozrach.append(DateToValue(QDate(2020, 3, 10)));
        ledger.KsgValue.append(value);
        ledger.KsgTrescOper.append(text);
        ledger.KsgNrDokMaster.append(number);
        ++ledger.KsgNumber;
    }

    std::unique_ptr<TPrn_KartMca> MakeReport() { return std::make_unique<TPrn_KartMca>(ledger, yearData, session); }
};

// Texts of the summary band, which follows the last line of the last page.
QStringList SummaryRow(const ReportPage &page, double summaryTopMm, double labelTopMm)
{
    return Row(page, TextY(summaryTopMm, labelTopMm));
}

} // namespace

class tst_ReportMonthCard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerAndOpeningState();
    void lines();
    void longCardRepeatsColumnTitles();
    void paymentsOnly();
    void operationCount_data();
    void operationCount();
    void printingTwiceGivesSameTotals();
    void shortLedgerArraysFailTheRun();
    void storeWithoutOpeningStateFailsOnlyTheRun();
    void longOperationTextStaysInsideTheMargin();
};

void tst_ReportMonthCard::headerAndOpeningState()
{
    Fixture f;
    f.Add(0, 30);
    auto report = f.MakeReport();
    QCOMPARE(report->Report().title(), QString());
    const ReportPage page = report->Report().generate()->page(0);

    QCOMPARE(Row(page, Mm(10 + 1.1)), (QStringList{u"Rozrachunki roku"_s, u"2020  \"woda\""_s, u"Data: 2.04.2020"_s}));
    QCOMPARE(AtLeft(page, Mm(kLeft + 156.8), Mm(10 + 1.1))->text, u"Data: 2.04.2020"_s);
    QCOMPARE(Row(page, Mm(10 + 6.6)), (QStringList{u"Kartoteka miesiąca:"_s, u"marzec 2020"_s}));
    QCOMPARE(AtLeft(page, Mm(kLeft + 40.9), Mm(10 + 6.6))->text, u"marzec 2020"_s);
    QCOMPARE(AtLeft(page, Mm(kLeft + 105.1), Mm(10 + 16.1))->text, u"Kowalski Jan"_s);
    QVERIFY2(!AtLeft(page, Mm(kLeft + 105.1), Mm(10 + 20.5)), "no second holder");

    // The opening state: periods 0 to 2 of the category.
    QCOMPARE(Row(page, TextY(kOpeningTop, 1.3)),
             (QStringList{u"Stan początkowy:"_s, u"160,00"_s, u"90,00"_s, u"-70,00"_s}));
    QCOMPARE(AtRight(page, Mm(kLeft + 129.6 + 21.2), TextY(kOpeningTop, 1.3))->text, u"-70,00"_s);
    QCOMPARE(report->Opening().Saldo, -70.0);
}

void tst_ReportMonthCard::lines()
{
    Fixture f;
    f.Add(0, 1234.5, 1, u"Opłata za wodę"_s);
    f.Add(1, 200, 3, QString(), u"WB/2020/17"_s); // a bank payment without a text
    f.Add(1, 20, 6, QString(), u"PK/3"_s); // a re-posting keeps its empty text
    auto report = f.MakeReport();
    const ReportPage page = report->Report().generate()->page(0);

    const int y0 = TextY(kFirstLineTop, 0.3);
    QCOMPARE(Row(page, y0),
             (QStringList{u"1"_s, u"1.03.2020"_s, u"10.03.2020"_s, u"naliczenie opłaty"_s, u"1\u00A0234,50"_s,
                          u"Opłata za wodę"_s}));
    QCOMPARE(AtRight(page, Mm(kLeft + 79.6 + 21.2), y0)->text, u"1\u00A0234,50"_s);
    QCOMPARE(AtLeft(page, Mm(kLeft + 124.1), y0)->text, u"Opłata za wodę"_s);
    QCOMPARE(AtRight(page, Mm(kLeft + 6.6), y0)->text, u"1"_s);

    const int y1 = TextY(kFirstLineTop + kLineHeight, 0.3);
    QCOMPARE(Row(page, y1), (QStringList{u"2"_s, u"2.03.2020"_s, u"wpłata bankowa"_s, u"200,00"_s, u"WB/2020/17"_s}));
    QCOMPARE(AtRight(page, Mm(kLeft + 101.9 + 21.2), y1)->text, u"200,00"_s);
    const int y2 = TextY(kFirstLineTop + 2 * kLineHeight, 0.3);
    QCOMPARE(Row(page, y2), (QStringList{u"3"_s, u"3.03.2020"_s, u"przeksięgowanie"_s, u"20,00"_s}));

    // Month: debits 1234.50, credits 220; cumulative adds the opening state.
    const double summaryTop = kFirstLineTop + 3 * kLineHeight;
    QCOMPARE(SummaryRow(page, summaryTop, 1.3),
             (QStringList{u"W miesiącu:"_s, u"3 oper."_s, u"1\u00A0234,50"_s, u"220,00"_s, u"-1\u00A0014,50"_s}));
    QCOMPARE(SummaryRow(page, summaryTop, 5.6),
             (QStringList{u"Narastająco:"_s, u"1\u00A0394,50"_s, u"310,00"_s, u"-1\u00A0084,50"_s}));
    QCOMPARE(AtLeft(page, Mm(kLeft + 58.5), TextY(summaryTop, 1.3))->text, u"3 oper."_s);
}

void tst_ReportMonthCard::longCardRepeatsColumnTitles()
{
    Fixture f;
    const int entries = 130;
    for (int i = 0; i < entries; ++i)
        f.Add(i % 3 == 0 ? 1 : 0, 10);
    auto report = f.MakeReport();
    const auto pages = report->Report().generate();
    // 52 lines on page 1 (under the opening state), 60 on each later page.
    QCOMPARE(pages->pageCount(), 3);

    int nextLine = 1;
    for (int p = 0; p < pages->pageCount(); ++p) {
        const ReportPage &page = pages->page(p);
        const double headerTop = p == 0 ? kHeaderTop : 10.0;
        QCOMPARE(Count(page, u"Typ dokumentu"_s), 1);
        QCOMPARE(Find(page, u"Typ dokumentu"_s)->y, TextY(headerTop, 2.7));
        QCOMPARE(Count(page, u"Stan początkowy:"_s), p == 0 ? 1 : 0);
        // Lines follow the column titles (and the opening state on page 1), numbered on.
        const double firstLine = p == 0 ? kFirstLineTop : headerTop + 9.1;
        QCOMPARE(AtRight(page, Mm(kLeft + 6.6), TextY(firstLine, 0.3))->text, QString::number(nextLine));
        for (const PageText &t : page.texts) {
            if (t.x + t.width == Mm(kLeft + 6.6) && t.y >= TextY(firstLine, 0.3))
                QCOMPARE(t.text, QString::number(nextLine++));
        }
        // Marks on the last page only.
        const bool last = p == pages->pageCount() - 1;
        QCOMPARE(bool(Find(page, u"Strona ostatnia"_s)), last);
        QCOMPARE(bool(Find(page, u"Wyemitowano z programu: Domvel-E-Vadiv"_s)), last);
    }
    QCOMPARE(nextLine, entries + 1);
    // The footer spans the 190 mm between this report's own margins.
    const ReportPage &last = pages->page(2);
    const PageText *emission = Find(last, u"Wyemitowano z programu: Domvel-E-Vadiv"_s);
    QCOMPARE(emission->x + emission->width, Mm(kLeft + 190));
    QCOMPARE(Find(last, u"Strona ostatnia"_s)->x, Mm(kLeft));
    QCOMPARE(Find(last, u"Strona ostatnia"_s)->y, Mm(297 - 10 - 2.65));
    QVERIFY(Find(pages->page(2), u"130 oper."_s));
}

void tst_ReportMonthCard::paymentsOnly()
{
    Fixture f;
    f.Add(1, 100, 3, u"Wpłata"_s);
    f.Add(1, 50.25, 4, u"Wpłata w kasie"_s);
    auto report = f.MakeReport();
    const ReportPage page = report->Report().generate()->page(0);
    for (int line = 0; line < 2; ++line) {
        const int y = TextY(kFirstLineTop + line * kLineHeight, 0.3);
        for (const PageText &t : page.texts) {
            if (t.y != y)
                continue;
            const bool inTermColumn = t.x >= Mm(kLeft + 27.3) && t.x < Mm(kLeft + 27.3 + 18.5);
            const bool inDebitColumn = t.x >= Mm(kLeft + 79.6) && t.x < Mm(kLeft + 79.6 + 21.2);
            QVERIFY2(!inTermColumn && !inDebitColumn, qPrintable(u"a payment line prints \"%1\" there"_s.arg(t.text)));
        }
    }
    const double summaryTop = kFirstLineTop + 2 * kLineHeight;
    QCOMPARE(SummaryRow(page, summaryTop, 1.3),
             (QStringList{u"W miesiącu:"_s, u"2 oper."_s, u"0,00"_s, u"150,25"_s, u"150,25"_s}));
}

void tst_ReportMonthCard::operationCount_data()
{
    QTest::addColumn<int>("entries");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("twelve") << 12;
}

void tst_ReportMonthCard::operationCount()
{
    QFETCH(int, entries);
    Fixture f;
    for (int i = 0; i < entries; ++i)
        f.Add(i % 2, 5);
    auto report = f.MakeReport();
    const auto pages = report->Report().generate();
    QCOMPARE(pages->pageCount(), 1);
    QVERIFY(Find(pages->page(0), QString::number(entries) + u" oper."_s));
    QCOMPARE(Count(pages->page(0), u"Stan początkowy:"_s), 1);
}

void tst_ReportMonthCard::printingTwiceGivesSameTotals()
{
    Fixture f;
    for (int i = 0; i < 5; ++i)
        f.Add(i % 2, 12.5);
    auto report = f.MakeReport();
    const auto first = report->Report().generate();
    const auto second = report->Report().generate();
    QVERIFY2(first->page(0) == second->page(0), "totals and count are reset before each run");
    QCOMPARE(report->Figures().Mca.ObrotyWN, 37.5);
    QCOMPARE(report->Figures().Mca.ObrotyMA, 25.0);

    // A run reads the store afresh: another entry shows in the next run.
    f.Add(0, 1);
    QVERIFY(Find(report->Report().generate()->page(0), u"6 oper."_s));
}

void tst_ReportMonthCard::shortLedgerArraysFailTheRun()
{
    Fixture f;
    f.Add(0, 10);
    f.Add(0, 10);
    f.ledger.KsgTrescOper.removeLast();
    auto report = f.MakeReport();
    QVERIFY_THROWS_EXCEPTION(IndexError, report->Report().generate());
}

void tst_ReportMonthCard::storeWithoutOpeningStateFailsOnlyTheRun()
{
    Fixture f;
    f.ledger.Month = 0; // an empty ledger store
    std::unique_ptr<TPrn_KartMca> report;
    report = f.MakeReport(); // must not throw: the window stays usable
    QVERIFY_THROWS_EXCEPTION(IndexError, report->Report().generate());
}

void tst_ReportMonthCard::longOperationTextStaysInsideTheMargin()
{
    Fixture f;
    const QString text
        = u"Korekta naliczenia opłat za ciepłą i zimną wodę wraz z odprowadzeniem ścieków za lata 2018-2019"_s;
    f.Add(0, 30, 1, text);
    auto report = f.MakeReport();
    const auto pages = report->Report().generate();
    const PageText *operation = Find(pages->page(0), text);
    QVERIFY2(operation, "the page keeps the whole text");
    QVERIFY2(operation->x + operation->width > Mm(200), "the text is longer than its column");

    // The column ends at 198.7 mm, inside the right margin; nothing reaches the paper's edge.
    const double boxRight = kLeft + 124.1 + 64.6;
    const QImage image = Painted(*pages, 0);
    QVERIFY2(InkBetween(image, boxRight - 5, boxRight, *operation) > 0, "the text is printed up to its box's edge");
    QCOMPARE(InkBetween(image, boxRight + 0.3, 210, *operation), 0);
    QVERIFY(TextExportFilter::documentText(*pages).contains(text));
    QVERIFY(HtmlExportFilter::documentHtml(*pages).contains(text));
}

QTEST_MAIN(tst_ReportMonthCard)
#include "tst_report_monthcard.moc"

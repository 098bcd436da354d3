#include "testing/ReportPageProbe.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceSession.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "engine/BandedReport.h"
#include "reports/TPrn_InfoRozrZasob.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;
using namespace ReportPageProbe;

namespace {

// Page geometry of the report: margins 25 mm left and 20 mm top, so the title
// band starts at (25, 20), the column header at 47.2 and the first line at 52.9.
constexpr double kLeft = 25.0;
constexpr double kFirstLineTop = 20.0 + 27.2 + 5.7;
constexpr double kLineHeight = 6.0;

int LineTextY(int line)
{
    return Mm(kFirstLineTop + line * kLineHeight + 0.9);
}

struct Fixture
{
    TU_WEBServiceSession session;
    TU_WEBServiceData yearData;
    std::unique_ptr<TPrn_InfoRozrZasob> report;

    Fixture()
    {
        session.ServiceDate = DateToValue(QDate(2020, 3, 15));
        session.Z_UlicaNr = u"Lipowa 7/12"_s;
        session.Z_Miejscowosc = u"00-950 Warszawa"_s;
        session.U_Nazwisko1 = u"Kowalski"_s;
        session.U_Imie1 = u"Jan"_s;
        session.U_Nazwisko2 = u"Kowalska"_s;
        session.U_Imie2 = u"Anna"_s;
        report = std::make_unique<TPrn_InfoRozrZasob>(session, yearData);
    }

    // The year through `months` months: opening debit 100 and credit 40, each
    // month a debit of 10 * m and a credit of 12 * m.
    void LoadYear(int months, double finalBalance = 0, bool forceFinal = false)
    {
        YearSettlementFigures figures;
        figures.MonthCount = months;
        double running = 0;
        for (int r = 0; r <= 12; ++r) {
            figures.ObrotyWN[r] = r == 0 ? 100 : 10.0 * r;
            figures.ObrotyMA[r] = r == 0 ? 40 : 12.0 * r;
            running += figures.ObrotyMA[r] - figures.ObrotyWN[r];
            figures.SaldoNar[r] = running;
            if (r <= months) {
                figures.RazemWN += figures.ObrotyWN[r];
                figures.RazemMA += figures.ObrotyMA[r];
            }
        }
        if (forceFinal)
            figures.SaldoNar[months] = finalBalance;
        report->LoadYear(2020, figures, u"\"czynsze\""_s);
    }

    std::shared_ptr<PageStore> Generate() { return report->Report().generate(); }
};

} // namespace

class tst_ReportSettlements : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void yearThroughMarch();
    void titleAndAccount();
    void secondHolder_data();
    void secondHolder();
    void balanceDescription_data();
    void balanceDescription();
    void otherObligationsNote_data();
    void otherObligationsNote();
    void printingTwiceGivesSamePages();
    void countOutsideTheSlotsIsRefused();
    void lastPageMarks();
};

void tst_ReportSettlements::yearThroughMarch()
{
    Fixture f;
    f.LoadYear(3);
    const auto pages = f.Generate();
    QCOMPARE(pages->pageCount(), 1);
    const ReportPage &page = pages->page(0);

    // Opening line without a month balance; then one line per month with
    // debits, credits, month balance and running balance.
    QCOMPARE(Row(page, LineTextY(0)), (QStringList{u"Stan na początek roku"_s, u"100,00"_s, u"40,00"_s, u"-60,00"_s}));
    QCOMPARE(Row(page, LineTextY(1)), (QStringList{u"styczeń"_s, u"10,00"_s, u"12,00"_s, u"2,00"_s, u"-58,00"_s}));
    QCOMPARE(Row(page, LineTextY(2)), (QStringList{u"luty"_s, u"20,00"_s, u"24,00"_s, u"4,00"_s, u"-54,00"_s}));
    QCOMPARE(Row(page, LineTextY(3)), (QStringList{u"marzec"_s, u"30,00"_s, u"36,00"_s, u"6,00"_s, u"-48,00"_s}));
    QVERIFY2(!Find(page, u"kwiecień"_s), "April lies after the shown months");

    // Amounts end at the right edges of their boxes.
    QVERIFY(AtRight(page, Mm(kLeft + 37.1 + 27.4), LineTextY(1)));
    QVERIFY(AtRight(page, Mm(kLeft + 66.9 + 27.4), LineTextY(1)));
    QVERIFY(AtRight(page, Mm(kLeft + 97.0 + 27.4), LineTextY(1)));
    QCOMPARE(AtRight(page, Mm(kLeft + 127.0 + 27.4), LineTextY(3))->text, u"-48,00"_s);
    QCOMPARE(AtLeft(page, Mm(kLeft + 1.1), LineTextY(2))->text, u"luty"_s);

    // One rule across the band, 5.5 mm under the top of the opening line; the
    // summary's own rule comes after the last line.
    const int summaryTop = Mm(kFirstLineTop + 4 * kLineHeight);
    QList<int> rules;
    for (const PageLine &l : HorizontalLines(page, Mm(165))) {
        if (l.y1 > Mm(kFirstLineTop) && l.y1 < summaryTop + Mm(19.4) && l.x1 == Mm(kLeft))
            rules.append(l.y1);
    }
    QCOMPARE(rules, (QList<int>{Mm(kFirstLineTop + 5.5), summaryTop + Mm(0.2)}));

    // Totals over the shown slots and the final balance.
    QCOMPARE(Row(page, summaryTop + Mm(1.3)), (QStringList{u"RAZEM"_s, u"160,00"_s, u"112,00"_s, u"-48,00"_s}));
}

void tst_ReportSettlements::titleAndAccount()
{
    Fixture f;
    f.LoadYear(12);
    const ReportPage page = f.Generate()->page(0);
    const int top = Mm(20 + 1.1);
    QCOMPARE(Row(page, top), (QStringList{u"Rozrachunki roku"_s, u"2020  \"czynsze\""_s, u"Data: 15.03.2020"_s}));
    QCOMPARE(AtLeft(page, Mm(kLeft + 37.3), top)->text, u"2020  \"czynsze\""_s);
    QCOMPARE(AtLeft(page, Mm(kLeft + 132.5), top)->text, u"Data: 15.03.2020"_s);
    QCOMPARE(AtLeft(page, Mm(kLeft + 1.1), Mm(20 + 6.6))->text, u"Zestawienie miesięczne"_s);
    QCOMPARE(Row(page, Mm(20 + 16.1)),
             (QStringList{u"Adres:"_s, u"ul. Lipowa 7/12"_s, u"Użytkownik:"_s, u"Kowalski Jan"_s}));
    QCOMPARE(AtRight(page, Mm(kLeft + 1.3 + 12.8), Mm(20 + 16.1))->text, u"Adres:"_s);
    QCOMPARE(AtLeft(page, Mm(kLeft + 104.9), Mm(20 + 16.1))->text, u"Kowalski Jan"_s);
    QCOMPARE(Row(page, Mm(20 + 20.5)), (QStringList{u"00-950 Warszawa"_s, u"Kowalska Anna"_s}));
    QCOMPARE(Row(page, Mm(20 + 27.2 + 1.1)),
             (QStringList{u"Okres"_s, u"Obciążenia"_s, u"Zapłaty"_s, u"Saldo miesiąca"_s, u"Saldo narastająco"_s}));
    QCOMPARE(f.Generate()->title(), u"Wydruk kartoteki rozrachunkowej"_s);
}

void tst_ReportSettlements::secondHolder_data()
{
    QTest::addColumn<QString>("surname");
    QTest::addColumn<bool>("printed");
    QTest::newRow("named") << u"Nowak"_s << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks only") << u"   "_s << false;
}

void tst_ReportSettlements::secondHolder()
{
    QFETCH(QString, surname);
    QFETCH(bool, printed);
    Fixture f;
    f.session.U_Nazwisko2 = surname;
    f.LoadYear(2);
    const ReportPage page = f.Generate()->page(0);
    const PageText *second = AtLeft(page, Mm(kLeft + 104.9), Mm(20 + 20.5));
    QCOMPARE(bool(second), printed);
    if (printed)
        QCOMPARE(second->text, surname + u" Anna"_s);
    QVERIFY(Find(page, u"Kowalski Jan"_s));
}

void tst_ReportSettlements::balanceDescription_data()
{
    QTest::addColumn<double>("finalBalance");
    QTest::addColumn<QString>("description");
    QTest::newRow("underpayment just past the tolerance") << -0.00002 << u"(niedopłata)"_s;
    QTest::newRow("overpayment just past the tolerance") << 0.00002 << u"(nadpłata)"_s;
    QTest::newRow("within the tolerance") << -0.000005 << QString();
    QTest::newRow("plain underpayment") << -48.0 << u"(niedopłata)"_s;
}

void tst_ReportSettlements::balanceDescription()
{
    QFETCH(double, finalBalance);
    QFETCH(QString, description);
    Fixture f;
    f.LoadYear(3, finalBalance, true);
    const auto pages = f.Generate();
    const int summaryTop = Mm(kFirstLineTop + 4 * kLineHeight);
    const PageText *text = AtRight(pages->page(0), Mm(kLeft + 127.0 + 27.4), summaryTop + Mm(5.3));
    if (description.isEmpty()) {
        QVERIFY2(!text, "no description within the tolerance");
        QVERIFY(!AnyContains(*pages, u"płata)"_s));
    } else {
        QVERIFY(text);
        QCOMPARE(text->text, description);
    }
}

void tst_ReportSettlements::otherObligationsNote_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<bool>("printed");
    QTest::newRow("kind 1, flag set") << 1 << true << true;
    QTest::newRow("kind 1, flag clear") << 1 << false << false;
    QTest::newRow("kind 2, flag set") << 2 << true << false;
    QTest::newRow("kind 3, flag set") << 3 << true << false;
}

void tst_ReportSettlements::otherObligationsNote()
{
    QFETCH(int, kind);
    QFETCH(bool, flag);
    QFETCH(bool, printed);
    Fixture f;
    f.yearData.SaldaOtherKnt_InfoHandlingKind = kind;
    f.yearData.SaldaWNOtherKnt_ShowF = flag;
    f.LoadYear(12);
    const auto pages = f.Generate();
    QCOMPARE(AnyContains(*pages, u"Istnieją jeszcze inne"_s), printed);
    if (!printed)
        return;
    // Word-wrapped into its 128.1 mm box under the totals; all of it printed.
    const ReportPage &page = pages->page(0);
    const int noteTop = Mm(kFirstLineTop + 13 * kLineHeight + 10.2);
    QString note;
    for (const PageText &t : page.texts) {
        if (t.y >= noteTop && t.y < noteTop + Mm(8.4)) {
            QCOMPARE(t.x, Mm(kLeft + 1.1));
            QVERIFY(t.width <= Mm(128.1));
            note += (note.isEmpty() ? u""_s : u" "_s) + t.text;
        }
    }
    QCOMPARE(note.simplified(), TPrn_InfoRozrZasob::OtherObligationsNote().simplified());
}

void tst_ReportSettlements::printingTwiceGivesSamePages()
{
    Fixture f;
    f.LoadYear(5);
    const auto first = f.Generate();
    const auto second = f.Generate();
    QCOMPARE(second->pageCount(), first->pageCount());
    QVERIFY2(second->page(0) == first->page(0), "a second run starts again at the opening line");
}

void tst_ReportSettlements::countOutsideTheSlotsIsRefused()
{
    Fixture f;
    f.LoadYear(3);
    YearSettlementFigures past;
    past.MonthCount = 13;
    QVERIFY_THROWS_EXCEPTION(IndexError, f.report->LoadYear(2021, past, u"x"_s));
    QCOMPARE(f.report->Year(), 2020);
    QCOMPARE(Row(f.Generate()->page(0), LineTextY(3)).value(0), u"marzec"_s);
}

void tst_ReportSettlements::lastPageMarks()
{
    Fixture f;
    f.LoadYear(12);
    const ReportPage page = f.Generate()->page(0);
    const PageText *last = Find(page, u"Strona ostatnia"_s);
    const PageText *emission = Find(page, u"Wyemitowano z programu: Domvel-E-Vadiv"_s);
    QVERIFY(last && emission);
    // In the footer band at the foot of the printable area (297 - 20 - 2.65 mm).
    const int footerTop = Mm(297 - 20 - 2.65);
    QCOMPARE(last->y, footerTop);
    QCOMPARE(last->x, Mm(kLeft));
    QCOMPARE(emission->x + emission->width, Mm(kLeft + 165));
}

QTEST_MAIN(tst_ReportSettlements)
#include "tst_report_settlements.moc"

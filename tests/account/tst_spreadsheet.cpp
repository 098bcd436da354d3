#include "account/CsvExports.h"
#include "account/CsvTable.h"
#include "account/FormatAmount.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/YearSettlementFigures.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

double Date(int y, int m, int d)
{
    return DateToValue(QDate(y, m, d));
}

// The figure a window's amount text stands for.
double Figure(const QString &windowText)
{
    const std::optional<double> v = ParseCsvAmount(windowText);
    if (!v)
        qFatal("not an amount: %s", qPrintable(windowText));
    return *v;
}

} // namespace

// Tables for spreadsheets: the file's form, escaping, atomic saving, and the
// three views' rows against what the windows show.
class tst_Spreadsheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void form();
    void fields_data();
    void fields();
    void amountsAndDates_data();
    void amountsAndDates();
    void savedAtomically();
    void yearTableRoundTrip();
    void monthCardRoundTrip();
    void chargeDetailRoundTrip();
    void shortArraysRaise();
};

void tst_Spreadsheet::form()
{
    CsvTable t;
    t.Header = {u"Okres"_s, u"Kwota"_s};
    t.Rows = {{u"styczeń"_s, u"-1234,50"_s}};
    const QByteArray bytes = t.ToBytes();
    QVERIFY2(bytes.startsWith("\xEF\xBB\xBF"), "UTF-8 with a byte-order mark");
    QCOMPARE(bytes.mid(3), u"Okres;Kwota\r\nstyczeń;-1234,50\r\n"_s.toUtf8());
}

void tst_Spreadsheet::fields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("plain") << u"czynsze"_s << QByteArray("czynsze");
    QTest::newRow("separator") << u"a;b"_s << QByteArray("\"a;b\"");
    QTest::newRow("quotes") << u"Spółdzielnia \"Zorza\""_s << QByteArray("\"Spółdzielnia \"\"Zorza\"\"\"");
    QTest::newRow("line break") << u"wiersz 1\nwiersz 2"_s << QByteArray("\"wiersz 1\nwiersz 2\"");
    QTest::newRow("carriage return") << u"a\r\nb"_s << QByteArray("\"a\r\nb\"");
    QTest::newRow("only a quote") << u"\""_s << QByteArray("\"\"\"\"");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("leading blanks") << u"  x "_s << QByteArray("  x ");
}

void tst_Spreadsheet::fields()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    CsvTable t;
    t.Header = {u"Pierwsza"_s, u"Druga"_s};
    t.Rows = {{text, u"koniec"_s}, {u"następny"_s, text}};
    const QByteArray bytes = t.ToBytes();
    QVERIFY2(bytes.contains("\r\n" + written + ";koniec\r\n"), bytes.constData());
    const std::optional<CsvTable> back = CsvTable::FromBytes(bytes);
    QVERIFY(back);
    QCOMPARE(back->Header, t.Header);
    QCOMPARE(back->Rows, t.Rows);
}

void tst_Spreadsheet::amountsAndDates_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << u"0,00"_s;
    QTest::newRow("grouped in the window") << 1234567.5 << u"1234567,50"_s;
    QTest::newRow("negative") << -12.3 << u"-12,30"_s;
    QTest::newRow("rounded as the window") << 2.675 << u"2,68"_s;
    QTest::newRow("tiny negative") << -0.001 << u"0,00"_s;
}

void tst_Spreadsheet::amountsAndDates()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(CsvAmount(value), text);
    // The same figure the window shows, grouping aside.
    QCOMPARE(ParseCsvAmount(text), ParseCsvAmount(FormatAmount(value)));
    QCOMPARE(CsvDate(Date(2024, 3, 5)), u"05.03.2024"_s);
    QCOMPARE(CsvDate(0), QString());
}

void tst_Spreadsheet::savedAtomically()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"zestawienie.csv"_s);
    CsvTable t;
    t.Header = {u"A"_s};
    QVERIFY(t.Save(name));
    QFile file(name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), t.ToBytes());
    // A folder that does not exist: an error, and no file.
    QString error;
    QVERIFY(!t.Save(dir.filePath(u"brak/plik.csv"_s), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(u"brak/plik.csv"_s)));
}

void tst_Spreadsheet::yearTableRoundTrip()
{
    QList<double> debits, credits;
    for (int j = 0; j < 13; ++j) {
        debits << 1000.10 * j + 0.005;
        credits << 990.0 * j;
    }
    const YearSettlementFigures f = YearSettlementFigures::Compute(5, debits, credits);
    const std::optional<CsvTable> back = CsvTable::FromBytes(YearTableCsv(f).ToBytes());
    QVERIFY(back);
    QCOMPARE(back->Header.first(), u"Okres"_s);
    QCOMPARE(back->Rows.size(), 1 + 5 + 1); // the opening, five months, the totals
    QCOMPARE(back->Rows[1][0], u"styczeń"_s);
    QCOMPARE(back->Rows[5][0], u"maj"_s);
    for (int m = 0; m <= 5; ++m) {
        const QStringList &row = back->Rows[m];
        QCOMPARE(Figure(row[1]), Figure(FormatAmount(f.ObrotyWN[m])));
        QCOMPARE(Figure(row[2]), Figure(FormatAmount(f.ObrotyMA[m])));
        QCOMPARE(Figure(row[3]), Figure(FormatAmount(m == 0 ? 0.0 : f.SaldoMca(m))));
        QCOMPARE(Figure(row[4]), Figure(FormatAmount(f.SaldoNar[m])));
    }
    const QStringList &total = back->Rows.last();
    QCOMPARE(total[0], u"Razem"_s);
    QCOMPARE(Figure(total[1]), Figure(FormatAmount(f.RazemWN)));
    QCOMPARE(Figure(total[4]), Figure(FormatAmount(f.SaldoNarRazem())));
    QCOMPARE(total[5], u"(niedopłata)"_s);
}

void tst_Spreadsheet::monthCardRoundTrip()
{
    TU_WEBServiceKsgData ledger;
    ledger.Year = 2024;
    ledger.Month = 3;
    ledger.KsgNumber = 3;
    ledger.KsgStrona = {0, 1, 1};
    ledger.KsgTypDok = {1, 3, 4};
    ledger.KsgID_Dok_Master = {7, 8, 9};
    ledger.KsgDataOperacji = {Date(2024, 3, 1), Date(2024, 3, 10), Date(2024, 3, 11)};
    ledger.KsgDataOperRozrach = {Date(2024, 4, 15), Date(2024, 3, 10), 0};
    ledger.KsgValue = {512.34, 500.0, 12.34};
    ledger.KsgTrescOper = {u"Opłata; marzec \"lokal\""_s, QString(), u"kasa"_s};
    ledger.KsgNrDokMaster = {u"N/1"_s, u"WB 12/2024"_s, u"K/3"_s};
    const MonthCardFigures figures = MonthCardFigures::Compute({10, 20, 10}, 3, ledger.KsgStrona, ledger.KsgValue,
                                                               ledger.KsgDataOperRozrach, Date(2024, 3, 31));
    const std::optional<CsvTable> back = CsvTable::FromBytes(MonthCardCsv(ledger, figures).ToBytes());
    QVERIFY(back);
    QCOMPARE(back->Rows.size(), 3 + 3);
    QCOMPARE(back->Rows[0],
             (QStringList{u"1"_s, u"01.03.2024"_s, u"15.04.2024"_s, u"naliczenie opłaty"_s, u"512,34"_s, QString(),
                          u"Opłata; marzec \"lokal\""_s}));
    // A bank payment without a text shows its document number; payments have no term.
    QCOMPARE(back->Rows[1],
             (QStringList{u"2"_s, u"10.03.2024"_s, QString(), u"wpłata bankowa"_s, QString(), u"500,00"_s,
                          u"WB 12/2024"_s}));
    QCOMPARE(back->Rows[4][0], u"3 oper."_s);
    QCOMPARE(back->Rows[4][3], u"W miesiącu:"_s);
    QCOMPARE(Figure(back->Rows[4][4]), figures.Mca.ObrotyWN);
    QCOMPARE(Figure(back->Rows[4][5]), figures.Mca.ObrotyMA);
    QCOMPARE(Figure(back->Rows[5][6]), figures.Nar.Saldo);
}

void tst_Spreadsheet::chargeDetailRoundTrip()
{
    TU_WEBServiceDokData d;
    d.DataNalFrom = Date(2020, 3, 15);
    d.DataNalTo = Date(2020, 3, 31);
    d.SklNumber = 2;
    d.NazwaSkl = {u"Eksploatacja"_s, u"Woda; zimna"_s};
    d.IloscAsStr = {u"48,50"_s, u"3"_s};
    d.Cena = {2.1, 12.5};
    d.WspolczAsStr = {u"1,00"_s, u"0,50"_s};
    d.UwzglCzescMca = {true, false};
    d.ValueNetto = {10.0, 37.5};
    d.ValueVAT = {0.8, 3.0};
    d.StVAT = {u"8"_s, u"8"_s};
    const std::optional<CsvTable> back = CsvTable::FromBytes(ChargeDetailCsv(d).ToBytes());
    QVERIFY(back);
    QCOMPARE(back->Header.size(), 7); // the partial-month mark column
    QCOMPARE(back->Rows[0],
             (QStringList{u"1"_s, u"Eksploatacja"_s, u"48,50"_s, u"2,10"_s, u"1,00"_s, u"10,80"_s, u"*"_s}));
    QCOMPARE(back->Rows[1][1], u"Woda; zimna"_s);
    QCOMPARE(back->Rows[2][4], u"Razem:"_s);
    QCOMPARE(Figure(back->Rows[2][5]), 51.3);

    // A whole month: no mark column.
    d.DataNalFrom = Date(2020, 3, 1);
    QCOMPARE(ChargeDetailCsv(d).Header.size(), 6);
}

void tst_Spreadsheet::shortArraysRaise()
{
    TU_WEBServiceDokData d;
    d.SklNumber = 2;
    d.NazwaSkl = {u"A"_s};
    QVERIFY_THROWS_EXCEPTION(IndexError, ChargeDetailCsv(d));
}

QTEST_GUILESS_MAIN(tst_Spreadsheet)
#include "tst_spreadsheet.moc"

#include "testing/PrnGenTestReport.h"

#include "common/Errors.h"
#include "engine/BandedReport.h"
#include "engine/HtmlExportFilter.h"
#include "engine/PageExport.h"
#include "engine/PageStore.h"
#include "engine/PdfExportFilter.h"
#include "engine/ReportEngineError.h"
#include "engine/ReportPage.h"
#include "engine/TextExportFilter.h"
#include "forms/TApplication.h"
#include "reports/ReportErrorText.h"
#include "reports/TPrn_Preview.h"
#include "testing/MessageRecorder.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// The printer the report base finds, for the length of a test: none, or one
// that prints into a PDF file.
class PrinterScope
{
public:
    explicit PrinterScope(std::optional<ReportPrinterSettings> printer)
    {
        TPrn_Gen::SetPrinterLookup([printer] { return printer; });
    }
    ~PrinterScope()
    {
        TPrn_Gen::SetPrinterLookup([] { return std::optional<ReportPrinterSettings>(); });
    }
};

std::optional<ReportPrinterSettings> PdfPrinter(const QString &fileName)
{
    ReportPrinterSettings printer;
    printer.outputFileName = fileName;
    return printer;
}

// Text of a PDF file through pdftotext; pages are separated by form feeds.
QString PdfText(const QString &fileName)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, fileName, u"-"_s});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPageCount(const QString &fileName)
{
    QProcess process;
    process.start(u"pdfinfo"_s, {fileName});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return -1;
    for (const QString &line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(u"Pages:"_s))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

bool HavePopplerTools()
{
    return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()
        && !QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty();
}

} // namespace

class tst_PrnGen : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void footerMarksOnTheLastPageOnly_data();
    void footerMarksOnTheLastPageOnly();
    void repeatedPreviewsMarkTheirOwnLastPage_data();
    void repeatedPreviewsMarkTheirOwnLastPage();
    void exportCarriesNoMarks_data();
    void exportCarriesNoMarks();

    void printWithoutPrinterShowsTheNotice();
    void printsAllPagesOnTheSelectedPrinter();
    void failuresAreShownAndReturnFalse_data();
    void failuresAreShownAndReturnFalse();
    void backgroundEngineErrorIsWorded();
    void reportErrorText_data();
    void reportErrorText();

private:
    std::unique_ptr<TPrn_Preview> m_preview;
    std::unique_ptr<MessageRecorder> m_messages;
};

void tst_PrnGen::initTestCase()
{
    // No test lists the system's printers.
    TPrn_Gen::SetPrinterLookup([] { return std::optional<ReportPrinterSettings>(); });
}

void tst_PrnGen::cleanupTestCase()
{
    TPrn_Gen::SetPrinterLookup(nullptr);
}

void tst_PrnGen::init()
{
    m_messages = std::make_unique<MessageRecorder>();
    m_preview = std::make_unique<TPrn_Preview>();
    SetPrn_Preview(m_preview.get());
}

void tst_PrnGen::cleanup()
{
    SetPrn_Preview(nullptr);
    m_preview.reset();
    m_messages.reset();
}

void tst_PrnGen::footerMarksOnTheLastPageOnly_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("emissionOnEveryPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("no rows: one page") << 0 << false << 1;
    QTest::newRow("one page") << 3 << false << 1;
    QTest::newRow("three pages") << 120 << false << 3;
    QTest::newRow("emission on every page") << 120 << true << 3;
}

void tst_PrnGen::footerMarksOnTheLastPageOnly()
{
    QFETCH(int, rows);
    QFETCH(bool, emissionOnEveryPage);
    QFETCH(int, pages);

    TestPrnReport report(rows);
    report.SetShowEmissionOnEveryPage(emissionOnEveryPage);
    const auto store = PreviewAndWait(report);
    QVERIFY(store);
    QCOMPARE(store->pageCount(), pages);
    QCOMPARE(report.PageCount(), pages);
    QVERIFY2(m_preview->isVisible(), "the preview shows the report");
    QVERIFY2(m_messages->messages.isEmpty(), qPrintable(m_messages->texts().join(u'|')));

    for (int i = 0; i < pages; ++i) {
        const QStringList texts = PageTexts(store->page(i));
        const bool last = i == pages - 1;
        QVERIFY2(texts.contains(LastPageMark) == last, qPrintable(u"page %1: %2"_s.arg(i + 1).arg(texts.join(u'|'))));
        QVERIFY2(texts.contains(EmissionNote) == (last || emissionOnEveryPage),
                 qPrintable(u"page %1: %2"_s.arg(i + 1).arg(texts.join(u'|'))));
    }
    if (rows > 0)
        QVERIFY(PageTexts(store->page(pages - 1)).contains(u"Wiersz %1"_s.arg(rows)));

    // The mark stands at the footer's left edge, the note ends at its right edge.
    const ReportPageSetup &setup = report.Report().pageSetup();
    for (const PageText &text : store->page(pages - 1).texts) {
        if (text.text == LastPageMark)
            QCOMPARE(text.x, setup.printableLeft());
        if (text.text == EmissionNote)
            QVERIFY(qAbs(text.x + text.width - (setup.printableLeft() + setup.printableWidth())) <= 1);
    }
}

void tst_PrnGen::repeatedPreviewsMarkTheirOwnLastPage_data()
{
    QTest::addColumn<QList<int>>("rowsPerRun");
    QTest::newRow("fewer pages the second time") << QList<int>{120, 3};
    QTest::newRow("more pages the second time") << QList<int>{3, 120};
    QTest::newRow("three, two, three pages") << QList<int>{120, 60, 120};
}

void tst_PrnGen::repeatedPreviewsMarkTheirOwnLastPage()
{
    QFETCH(QList<int>, rowsPerRun);

    TestPrnReport report;
    for (int rows : rowsPerRun) {
        report.rows = rows;
        const auto store = PreviewAndWait(report);
        QVERIFY(store);
        QCOMPARE(report.PageCount(), store->pageCount());
        QStringList marked;
        for (int i = 0; i < store->pageCount(); ++i) {
            if (PageTexts(store->page(i)).contains(LastPageMark))
                marked << QString::number(i + 1);
        }
        QCOMPARE(marked.join(u','), QString::number(store->pageCount()));
    }
}

void tst_PrnGen::exportCarriesNoMarks_data()
{
    QTest::addColumn<QString>("extension");
    QTest::newRow("text") << u"txt"_s;
    QTest::newRow("HTML") << u"htm"_s;
    QTest::newRow("PDF") << u"pdf"_s;
}

void tst_PrnGen::exportCarriesNoMarks()
{
    QFETCH(QString, extension);
    if (extension == u"pdf"_s && !HavePopplerTools())
        QSKIP("pdftotext is not installed (poppler-utils)");

    TestPrnReport report(120);
    report.SetShowEmissionOnEveryPage(true);
    const auto store = PreviewAndWait(report);
    QVERIFY(store);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(u"raport."_s + extension);
    std::unique_ptr<ExportFilter> filter;
    if (extension == u"txt"_s)
        filter = std::make_unique<TextExportFilter>(fileName);
    else if (extension == u"htm"_s)
        filter = std::make_unique<HtmlExportFilter>(fileName);
    else
        filter = std::make_unique<PdfExportFilter>(fileName);
    PageExport::exportTo(*store, *filter);

    QString text;
    if (extension == u"pdf"_s) {
        text = PdfText(fileName);
    } else {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        text = QString::fromUtf8(file.readAll());
    }
    QVERIFY2(text.contains(u"Wiersz 120"_s), "the export holds the whole report");
    QVERIFY2(!text.contains(u"Strona ostatnia"_s), qPrintable(text.right(300)));
    QVERIFY2(!text.contains(u"Wyemitowano"_s), qPrintable(text.right(300)));

    // The shown pages keep their marks.
    QVERIFY(PageTexts(store->page(store->pageCount() - 1)).contains(LastPageMark));
}

void tst_PrnGen::printWithoutPrinterShowsTheNotice()
{
    const PrinterScope noPrinter(std::nullopt);
    TestPrnReport report(10);
    int rowsAsked = 0;
    report.onRow = [&rowsAsked](int) { ++rowsAsked; };

    QVERIFY(!report.PrintReport());
    QCOMPARE(
        m_messages->texts(),
        QStringList{u"W systemie Windows nie zainstalowano żadnej drukarki.\nProgram nie może zostać uruchomiony."_s});
    QCOMPARE(rowsAsked, 0);

    // Preview needs no printer.
    m_messages->messages.clear();
    QVERIFY(PreviewAndWait(report));
    QVERIFY(m_messages->messages.isEmpty());
}

void tst_PrnGen::printsAllPagesOnTheSelectedPrinter()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fileName = dir.filePath(u"drukarka.pdf"_s);
    const PrinterScope printer(PdfPrinter(fileName));

    TestPrnReport report(120);
    // Settings left over from elsewhere do not cut the print short.
    report.Report().printerSettings().firstPage = 2;
    report.Report().printerSettings().lastPage = 2;
    report.Report().printerSettings().copies = 3;

    QVERIFY(report.PrintReport());
    QVERIFY2(m_messages->messages.isEmpty(), qPrintable(m_messages->texts().join(u'|')));
    QCOMPARE(report.PageCount(), 3);
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY2(!m_preview->isVisible(), "printing shows no preview");
    if (!HavePopplerTools())
        return;
    QCOMPARE(PdfPageCount(fileName), 3);
    const QStringList sheets = PdfText(fileName).split(u'\f');
    QVERIFY(sheets.size() >= 3);
    QVERIFY(!sheets[0].contains(u"Strona ostatnia"_s));
    QVERIFY(!sheets[1].contains(u"Strona ostatnia"_s));
    QVERIFY(sheets[2].contains(u"Strona ostatnia"_s));
    QVERIFY(sheets[2].contains(u"Wyemitowano z programu"_s));
}

void tst_PrnGen::failuresAreShownAndReturnFalse_data()
{
    QTest::addColumn<bool>("print");
    QTest::addColumn<bool>("rowFails");
    QTest::addColumn<QString>("message");
    QTest::newRow("preview, a row fails") << false << true << u"Brak danych wiersza 7."_s;
    QTest::newRow("print, a row fails") << true << true << u"Brak danych wiersza 7."_s;
    QTest::newRow("print, the printer refuses") << true << false << u"Nie można rozpocząć wydruku."_s;
}

void tst_PrnGen::failuresAreShownAndReturnFalse()
{
    QFETCH(bool, print);
    QFETCH(bool, rowFails);
    QFETCH(QString, message);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A PDF "printer" whose folder does not exist cannot start.
    const QString output = rowFails ? dir.filePath(u"wydruk.pdf"_s) : dir.filePath(u"brak/wydruk.pdf"_s);
    const PrinterScope printer(PdfPrinter(output));

    TestPrnReport report(20);
    if (rowFails) {
        report.onRow = [](int row) {
            if (row == 7)
                throw AppError(u"Brak danych wiersza %1."_s.arg(row));
        };
    }
    QCOMPARE(print ? report.PrintReport() : report.PreviewReport(), false);
    QCOMPARE(m_messages->messages.size(), 1);
    QCOMPARE(m_messages->messages[0].icon, MessageIcon::Error);
    if (!message.isEmpty())
        QCOMPARE(m_messages->messages[0].text, message);
    else
        QVERIFY(!m_messages->messages[0].text.isEmpty());
    QVERIFY2(!m_preview->isVisible(), "a failed run shows no preview");
    QVERIFY(!QFile::exists(output));
    QVERIFY(!report.Report().isRunning());
}

void tst_PrnGen::backgroundEngineErrorIsWorded()
{
    // A fault of the report's code that the engine finds on a later page of a
    // preview, after the first pages are already shown.
    TestPrnReport report(400);
    report.onRow = [&report](int row) {
        if (row == 300 && !report.Report().isPreparing())
            report.BandPageFooter().label(u"Lab_Brak"_s);
    };
    QVERIFY(report.PreviewReport());
    QTRY_COMPARE_WITH_TIMEOUT(m_messages->messages.size(), 1, 20000);
    QCOMPARE(m_messages->messages[0].icon, MessageIcon::Error);
    QCOMPARE(m_messages->messages[0].text, u"Raport nie ma pola „Lab_Brak” w sekcji „BandPageFooter”."_s);
    QVERIFY(!report.Report().isRunning());
}

void tst_PrnGen::reportErrorText_data()
{
    using Kind = ReportEngineError::Kind;
    using Damage = ReportEngineError::Damage;
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<int>("damage");
    QTest::addColumn<QString>("text");

    const auto row = [](const char *tag, Kind kind) -> QTestData & { return QTest::newRow(tag) << int(kind); };
    row("busy", Kind::Busy) << QString() << QString() << QString() << QString() << qint64(0) << 0
                            << u"Raport jest właśnie przygotowywany; spróbuj ponownie po jego zakończeniu."_s;
    row("child band", Kind::ChildBandAdded)
        << u"ChildBand_SP"_s << QString() << QString() << QString() << qint64(0) << 0
        << u"Sekcję podrzędną „ChildBand_SP” dodaje się do jej sekcji nadrzędnej."_s;
    row("second band", Kind::DuplicateBand) << u"BandDetail"_s << QString() << QString() << QString() << qint64(0) << 0
                                            << u"Raport ma już sekcję tego rodzaju co „BandDetail”."_s;
    row("unknown label", Kind::UnknownLabel) << u"QR_Lp"_s << u"BandDetail"_s << QString() << QString() << qint64(0)
                                             << 0 << u"Raport nie ma pola „QR_Lp” w sekcji „BandDetail”."_s;
    row("unknown shape", Kind::UnknownShape) << u"QRShape_1"_s << u"BandDetail"_s << QString() << QString() << qint64(0)
                                             << 0 << u"Raport nie ma linii „QRShape_1” w sekcji „BandDetail”."_s;
    row("page setup", Kind::UnusablePageSetup) << QString() << QString() << QString() << QString() << qint64(0) << 0
                                               << u"Ustawienia strony raportu nie zostawiają miejsca na wydruk."_s;
    row("rows", Kind::TooManyRows) << QString() << QString() << QString() << QString() << qint64(10000000) << 0
                                   << u"Raport przekroczył 10000000 wierszy; wydruk przerwano."_s;
    row("pages", Kind::TooManyPages) << QString() << QString() << QString() << QString() << qint64(100000) << 0
                                     << u"Raport przekroczył 100000 stron; wydruk przerwano."_s;
    row("fonts", Kind::TooManyFonts) << QString() << QString() << QString() << QString() << qint64(0) << 0
                                     << u"Raport używa zbyt wielu czcionek."_s;
    row("no pages", Kind::NoPages) << QString() << QString() << QString() << QString() << qint64(0) << 0
                                   << u"Wydruk nie ma żadnej strony."_s;
    row("empty range", Kind::EmptyPageRange) << QString() << QString() << QString() << QString() << qint64(12) << 0
                                             << u"Wybrany zakres stron jest pusty (wydruk ma 12 str.)."_s;
    row("not started", Kind::PrintNotStarted)
        << QString() << QString() << QString() << QString() << qint64(0) << 0 << u"Nie można rozpocząć wydruku."_s;
    row("interrupted", Kind::PrintInterrupted)
        << QString() << QString() << QString() << QString() << qint64(3) << 0 << u"Wydruk przerwano przy stronie 3."_s;
    row("not finished", Kind::PrintNotFinished)
        << QString() << QString() << QString() << QString() << qint64(0) << 0 << u"Nie można zakończyć wydruku."_s;
    row("no printer", Kind::NoPrinter) << QString() << QString() << QString() << QString() << qint64(0) << 0
                                       << u"W systemie nie ma drukarki, na której można wydrukować raport."_s;
    row("printer unavailable", Kind::PrinterUnavailable)
        << u"HP-2"_s << QString() << QString() << QString() << qint64(0) << 0 << u"Drukarka „HP-2” jest niedostępna."_s;
    row("save while generating", Kind::StillGeneratingSave)
        << QString() << QString() << QString() << QString() << qint64(0) << 0
        << u"Wydruk jest jeszcze przygotowywany; można go zapisać po zakończeniu."_s;
    row("export while generating", Kind::StillGeneratingExport)
        << QString() << QString() << QString() << QString() << qint64(0) << 0
        << u"Wydruk jest jeszcze przygotowywany; można go wyeksportować po zakończeniu."_s;
    row("not written", Kind::FileNotWritten)
        << QString() << QString() << u"/tmp/a.pdf"_s << u"Permission denied"_s << qint64(0) << 0
        << u"Nie można zapisać pliku „/tmp/a.pdf”: Permission denied."_s;
    row("not opened", Kind::FileNotOpened)
        << QString() << QString() << u"a.prn"_s << u"No such file or directory"_s << qint64(0) << 0
        << u"Nie można otworzyć pliku „a.prn”: No such file or directory."_s;
    row("not read", Kind::FileNotRead) << QString() << QString() << u"a.prn"_s << u"Input/output error"_s << qint64(0)
                                       << 0 << u"Nie można odczytać pliku „a.prn”: Input/output error."_s;
    row("file too large", Kind::FileTooLarge) << QString() << QString() << u"film.mkv"_s << QString() << qint64(0) << 0
                                              << u"Plik „film.mkv” jest zbyt duży, by był plikiem wydruku."_s;
    row("not a print file", Kind::NotAPrintFile) << QString() << QString() << QString() << QString() << qint64(0) << 0
                                                 << u"Plik nie jest plikiem wydruku tego programu."_s;
    row("damaged: checksum", Kind::DamagedPrintFile)
        << QString() << QString() << QString() << QString() << qint64(0) << int(Damage::ChecksumMismatch)
        << u"Plik wydruku jest uszkodzony: suma kontrolna nie zgadza się."_s;
    row("damaged: truncated", Kind::DamagedPrintFile)
        << QString() << QString() << QString() << QString() << qint64(0) << int(Damage::Truncated)
        << u"Plik wydruku jest uszkodzony: plik jest niekompletny."_s;
    row("damaged: value", Kind::DamagedPrintFile)
        << u"page height"_s << QString() << QString() << QString() << qint64(0) << int(Damage::ValueOutOfRange)
        << u"Plik wydruku jest uszkodzony: wartość spoza zakresu (wysokość strony)."_s;
    row("damaged: count", Kind::DamagedPrintFile)
        << u"rectangles"_s << QString() << QString() << QString() << qint64(0) << int(Damage::ImplausibleCount)
        << u"Plik wydruku jest uszkodzony: nieprawdopodobna liczba elementów (prostokąty)."_s;
    row("damaged: trailing", Kind::DamagedPrintFile)
        << QString() << QString() << QString() << QString() << qint64(0) << int(Damage::TrailingData)
        << u"Plik wydruku jest uszkodzony: nadmiarowe dane na końcu pliku."_s;
    row("newer format", Kind::NewerPrintFile) << QString() << QString() << QString() << QString() << qint64(7) << 0
                                              << u"Plik wydruku zapisała nowsza wersja programu (format 7)."_s;
    row("too large to save", Kind::PrintFileTooLarge) << QString() << QString() << QString() << QString() << qint64(0)
                                                      << 0 << u"Wydruk jest zbyt duży, by zapisać go w pliku."_s;
    row("unknown font", Kind::UnknownFont) << QString() << QString() << QString() << QString() << qint64(0) << 0
                                           << u"Wydruk odwołuje się do nieznanej czcionki."_s;
}

void tst_PrnGen::reportErrorText()
{
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, band);
    QFETCH(QString, fileName);
    QFETCH(QString, reason);
    QFETCH(qint64, number);
    QFETCH(int, damage);
    QFETCH(QString, text);

    ReportEngineError::Details details;
    details.name = name;
    details.band = band;
    details.fileName = fileName;
    details.reason = reason;
    details.number = number;
    details.damage = ReportEngineError::Damage(damage);
    const ReportEngineError error(ReportEngineError::Kind(kind), details);
    QCOMPARE(ReportErrorText(error), text);
    QVERIFY2(!QString::fromUtf8(error.what()).contains(text), "the engine's own text is technical, not the user's");

    // Where the report base words it, the user sees exactly that text.
    try {
        std::rethrow_exception(WordedReportError(std::make_exception_ptr(error)));
    } catch (const AppError &worded) {
        QCOMPARE(worded.message(), text);
    }
    // The report's own errors pass unchanged.
    try {
        std::rethrow_exception(WordedReportError(std::make_exception_ptr(AppError(u"Brak danych."_s))));
    } catch (const AppError &own) {
        QCOMPARE(own.message(), u"Brak danych."_s);
    }
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_PrnGen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_prn_gen.moc"

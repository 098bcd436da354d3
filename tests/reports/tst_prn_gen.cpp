#include "reports/tst_prn_gen_report.h"

#include "app/TApplication.h"
#include "common/Errors.h"
#include "reports/TPrn_Preview.h"
#include "reports/engine/BandedReport.h"
#include "reports/engine/HtmlExportFilter.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/PdfExportFilter.h"
#include "reports/engine/ReportPage.h"
#include "reports/engine/TextExportFilter.h"
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
    ~PrinterScope() { TPrn_Gen::SetPrinterLookup([] { return std::optional<ReportPrinterSettings>(); }); }
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
    store->exportTo(*filter);

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
    QCOMPARE(m_messages->texts(),
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
    QTest::newRow("print, the printer refuses") << true << false << QString();
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

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_PrnGen test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_prn_gen.moc"

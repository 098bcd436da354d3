#include "testing/EngineTestReport.h"

#include "common/Errors.h"
#include "engine/HtmlExportFilter.h"
#include "engine/PageExport.h"
#include "engine/PageStore.h"
#include "engine/PdfExportFilter.h"
#include "engine/PrintFile.h"
#include "engine/TextExportFilter.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// 100 rows: three pages; row 7 carries text that must be escaped in HTML.
std::unique_ptr<EngineTestReport> MakeReport()
{
    auto report = std::make_unique<EngineTestReport>(100);
    report->amountText = [](int row) {
        if (row == 7)
            return u"<b>Zażółć & \"gęślą\"</b>"_s;
        if (row == 8)
            return u"x\fy\u0007z"_s;
        return u"%1,%2"_s.arg(row * 1013).arg(row % 100, 2, 10, QChar(u'0'));
    };
    return report;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a poppler tool; skips the test when it is not installed.
QString Poppler(const QString &tool, const QStringList &arguments)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return QString();
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return u"<%1 failed: %2>"_s.arg(tool, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class tst_EngineExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void pdfHoldsTheTextsWithEmbeddedFonts();
    void pdfKeepsLandscapePages();
    void htmlIsOneValidEscapedDocument();
    void textPutsEachRowOnALine();
    void exportRunsTheReportAgain();
    void loadedPagesExportAsTheyAre();
    void failedExportLeavesNoFile();

private:
    QTemporaryDir m_dir;
};

void tst_EngineExport::init()
{
    QVERIFY(m_dir.isValid());
}

void tst_EngineExport::pdfHoldsTheTextsWithEmbeddedFonts()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("poppler-utils not installed");
    const auto report = MakeReport();
    const auto pages = report->generate();
    const QString path = m_dir.filePath(u"raport.pdf"_s);
    PdfExportFilter filter(path);
    PageExport::exportTo(*pages, filter);

    QVERIFY(ReadAll(path).startsWith("%PDF-"));
    const QString info = Poppler(u"pdfinfo"_s, {path});
    QVERIFY2(info.contains(QRegularExpression(u"Pages:\\s+3\\n"_s)), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"_s)),
             qPrintable(info));
    QVERIFY2(info.contains(u"Raport testowy"_s), "the title goes into the document information");

    const QString text = Poppler(u"pdftotext"_s, {u"-layout"_s, path, u"-"_s});
    for (const QString &expected : {u"Rozrachunki roku"_s, u"Obciążenia"_s, u"Stan początkowy:"_s, u"Wiersz 1"_s,
                                    u"Wiersz 100"_s, u"<b>Zażółć & \"gęślą\"</b>"_s, u"RAZEM"_s, u"Strona 3"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" missing from the PDF"_s));
    QCOMPARE(text.count(u'\f'), 3);

    // Every font of the document is embedded.
    const QStringList fonts = Poppler(u"pdffonts"_s, {path}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &line : fonts) {
        const QStringList columns = line.split(u' ', Qt::SkipEmptyParts);
        QVERIFY2(columns.size() >= 5 && columns.at(columns.size() - 5) == u"yes",
                 qPrintable(u"not embedded: "_s + line));
        QVERIFY2(line.contains(u"Liberation"_s), qPrintable(line));
    }
}

void tst_EngineExport::pdfKeepsLandscapePages()
{
    if (QStandardPaths::findExecutable(u"pdfinfo"_s).isEmpty())
        QSKIP("poppler-utils not installed");
    EngineTestReport report(100);
    report.pageSetup().setOrientation(ReportPageSetup::Orientation::Landscape);
    const auto pages = report.generate();
    QCOMPARE(pages->page(0).width, 29700);
    QCOMPARE(pages->page(0).height, 21000);
    QCOMPARE(pages->pageCount(), report.prepare());
    const QString path = m_dir.filePath(u"poziomo.pdf"_s);
    PdfExportFilter filter(path);
    PageExport::exportTo(*pages, filter);
    const QString info = Poppler(u"pdfinfo"_s, {path});
    QVERIFY2(info.contains(QRegularExpression(u"Pages:\\s+%1\\n"_s.arg(pages->pageCount()))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(u"Page size:\\s+84[12](\\.\\d+)? x 595(\\.\\d+)? pts"_s)),
             qPrintable(info));
}

void tst_EngineExport::htmlIsOneValidEscapedDocument()
{
    const auto report = MakeReport();
    const auto pages = report->generate();
    const QString path = m_dir.filePath(u"raport.htm"_s);
    HtmlExportFilter filter(path);
    PageExport::exportTo(*pages, filter);

    const QByteArray bytes = ReadAll(path);
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString html = decoder.decode(bytes);
    QVERIFY2(!decoder.hasError(), "the document is valid UTF-8");
    QVERIFY(html.startsWith(u"<!DOCTYPE html>\n<html lang=\"pl\">"_s));
    QVERIFY(html.contains(u"<meta charset=\"utf-8\">"_s));
    QCOMPARE(html.count(u"<html"_s), 1);
    QCOMPARE(html.count(u"</html>"_s), 1);
    QCOMPARE(html.count(u"<div class=\"p\""_s), 3);
    QVERIFY(html.contains(u"<title>Raport testowy</title>"_s));

    QVERIFY(html.contains(u"&lt;b&gt;Zażółć &amp; &quot;gęślą&quot;&lt;/b&gt;"_s));
    QVERIFY(!html.contains(u"<b>"_s));
    // Control characters never reach the document.
    QVERIFY(html.contains(u">x y z</div>"_s));
    for (QChar c : html)
        QVERIFY2(c.unicode() >= 0x20 || c == u'\n', "no control characters");
    for (const QString &expected : {u"Obciążenia"_s, u"Wiersz 100"_s, u"Strona 3"_s})
        QVERIFY2(html.contains(expected), qPrintable(expected));
}

void tst_EngineExport::textPutsEachRowOnALine()
{
    const auto report = MakeReport();
    const auto pages = report->generate();
    const QString path = m_dir.filePath(u"raport.txt"_s);
    TextExportFilter filter(path);
    PageExport::exportTo(*pages, filter);

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(ReadAll(path));
    QVERIFY(!decoder.hasError());
    const QStringList sheets = text.split(u'\f');
    QCOMPARE(sheets.size(), 3);

    const QRegularExpression row(u"^ *(\\d+) +Wiersz (\\d+) +(\\S.*)$"_s);
    int rows = 0;
    qsizetype rowEnd = -1;
    for (const QString &line : text.split(u'\n')) {
        QVERIFY2(!line.endsWith(u' '), "no trailing blanks");
        if (!line.contains(u"Wiersz"))
            continue;
        const auto match = row.match(line);
        QVERIFY2(match.hasMatch(), qPrintable(line));
        QCOMPARE(match.captured(1), match.captured(2));
        ++rows;
        // Right-aligned amounts end in one column; the row number's box too.
        if (rowEnd < 0)
            rowEnd = line.size();
        QVERIFY2(line.size() == rowEnd, qPrintable(u"amount not aligned: "_s + line));
    }
    QCOMPARE(rows, 100);
    QVERIFY(text.contains(u"x y z"_s));
    QVERIFY(sheets.at(0).startsWith(u"Rozrachunki roku"_s));
    QVERIFY(sheets.at(2).contains(u"RAZEM"_s));
}

void tst_EngineExport::exportRunsTheReportAgain()
{
    const auto report = MakeReport();
    const auto pages = report->generate();
    QCOMPARE(pages->sourceReport(), report.get());
    QVERIFY(TextExportFilter::documentText(*pages).contains(u"Strona ostatnia"_s));

    // The export run has the exporting flag set, so this report leaves the mark out.
    const QString path = m_dir.filePath(u"raport.txt"_s);
    TextExportFilter filter(path);
    const int runsBefore = report->beforePrintCalls;
    PageExport::exportTo(*pages, filter);
    QCOMPARE(report->beforePrintCalls, runsBefore + 1);
    const QString text = QString::fromUtf8(ReadAll(path));
    QVERIFY(!text.contains(u"Strona ostatnia"_s));
    QVERIFY(text.contains(u"Wiersz 100"_s));
    QVERIFY(!report->isExporting());
}

void tst_EngineExport::loadedPagesExportAsTheyAre()
{
    std::shared_ptr<PageStore> pages;
    {
        const auto report = MakeReport();
        pages = report->generate();
    }
    // The report is gone: the store exports its own pages.
    QVERIFY(!pages->sourceReport());
    PageStore loaded;
    PrintFile::loadBytes(loaded, PrintFile::toBytes(*pages));
    for (PageStore *store : {pages.get(), &loaded}) {
        const QString path = m_dir.filePath(u"raport.txt"_s);
        TextExportFilter filter(path);
        PageExport::exportTo(*store, filter);
        const QString text = QString::fromUtf8(ReadAll(path));
        QCOMPARE(text, TextExportFilter::documentText(*pages));
        QVERIFY(text.contains(u"Strona ostatnia"_s));
    }
}

void tst_EngineExport::failedExportLeavesNoFile()
{
    const auto report = MakeReport();
    const auto pages = report->generate();
    const QString path = m_dir.filePath(u"brak/raport"_s);
    HtmlExportFilter html(path + u".htm"_s);
    TextExportFilter text(path + u".txt"_s);
    PdfExportFilter pdf(path + u".pdf"_s);
    for (ExportFilter *filter : std::initializer_list<ExportFilter *>{&html, &text, &pdf}) {
        QCOMPARE(EngineErrorKind([&] { PageExport::exportTo(*pages, *filter); }),
                 ReportEngineError::Kind::FileNotWritten);
        QVERIFY(!QFile::exists(filter->fileName()));
    }
    QVERIFY(!report->isRunning());

    // An empty store has no PDF page to write.
    PageStore empty;
    PdfExportFilter emptyPdf(m_dir.filePath(u"pusty.pdf"_s));
    QCOMPARE(EngineErrorKind([&] { PageExport::exportTo(empty, emptyPdf); }), ReportEngineError::Kind::NoPages);
    QVERIFY(!QFile::exists(emptyPdf.fileName()));
}

QTEST_MAIN(tst_EngineExport)
#include "tst_engine_export.moc"

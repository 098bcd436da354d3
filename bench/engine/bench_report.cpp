// Generates, paginates and exports a report of 10,000 detail rows (a month
// card's layout: seven fields per row) and prints the times; then compares
// the generation's cost per row at a tenth of the rows and at ten times as
// many, and ends with 1 when it grows more than threefold.
//
//   bench_report [rows] [output folder]

#include "bench/common/BenchFigure.h"
#include "engine/BandedReport.h"
#include "engine/HtmlExportFilter.h"
#include "engine/PageExport.h"
#include "engine/PagePainter.h"
#include "engine/PageStore.h"
#include "engine/PdfExportFilter.h"
#include "engine/PrintFile.h"
#include "engine/TextExportFilter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

class BenchReport : public BandedReport
{
public:
    explicit BenchReport(int rows) : m_rows(rows)
    {
        setTitle(QStringLiteral("Kartoteka miesiąca"));
        setFont(ReportFont(QStringLiteral("Arial"), 8));
        pageSetup().setMarginsTenths(100, 100, 100, 100);

        ReportBand &title = addBand(BandKind::Title, QStringLiteral("Title"), 28.1);
        title.addLabel(QStringLiteral("L_Titel"), 1.1, 1.1)
            .setCaption(QStringLiteral("Rozrachunki roku"))
            .font()
            .setPointSize(11)
            .setBold(true);
        title.addLabel(QStringLiteral("QRL_Date"), 156.8, 1.1)
            .setCaption(QStringLiteral("Data: 2024-03-01"))
            .font()
            .setPointSize(9);

        ReportBand &header = addBand(BandKind::ColumnHeader, QStringLiteral("Header"), 9.1);
        header.setBackgroundColor(QColor(0xEE, 0xEE, 0xEE)).setFrame(ReportBand::Frame::all());
        const ReportFont mono(QStringLiteral("Courier New"), 8, true);
        const struct
        {
            const char *text;
            double left, top, width, height;
        } columns[] = {{"Lp.", 0, 2.7, 6.6, 4},
                       {"Data operacji", 7.7, 0.9, 18.6, 7.7},
                       {"Termin płatności", 27.2, 0.9, 18.6, 7.7},
                       {"Typ dokumentu", 46.8, 2.7, 31.8, 4},
                       {"Obciążenia", 79.7, 2.7, 21.2, 4},
                       {"Zapłaty", 101.8, 2.7, 21.2, 4},
                       {"Treść operacji / Saldo", 124.1, 2.7, 64.5, 4}};
        for (const auto &c : columns)
            header.addLabel(QString::fromUtf8(c.text), c.left, c.top, c.width, c.height)
                .setCaption(QString::fromUtf8(c.text))
                .setFont(mono)
                .setAlignment(TextAlignment::Center)
                .setWordWrap(true);
        for (double x : {7.1, 26.7, 46.3, 79.1, 101.3, 123.6})
            header.addVerticalLine(QString(), x, 0, 9.1);

        ReportBand &detail = addBand(BandKind::Detail, QStringLiteral("Detail"), 4.4);
        m_lp = &detail.addLabel(QStringLiteral("QR_Lp"), 0, 0.3, 6.6, 4).setAlignment(TextAlignment::Right);
        m_date = &detail.addLabel(QStringLiteral("QR_DataOper"), 7.7, 0.3, 18.5, 4).setAlignment(TextAlignment::Center);
        m_term = &detail.addLabel(QStringLiteral("QR_TerminPlatn"), 27.3, 0.3, 18.5, 4)
                      .setAlignment(TextAlignment::Center);
        m_kind = &detail.addLabel(QStringLiteral("QR_TypDok"), 46.8, 0.3, 31.8, 4);
        m_debit = &detail.addLabel(QStringLiteral("QR_WN"), 79.6, 0.3, 21.2, 4).setAlignment(TextAlignment::Right);
        m_credit = &detail.addLabel(QStringLiteral("QR_MA"), 101.9, 0.3, 21.2, 4).setAlignment(TextAlignment::Right);
        m_text = &detail.addLabel(QStringLiteral("QR_TrescOper"), 124.1, 0.3, 64.6, 4);

        ReportBand &summary = addBand(BandKind::Summary, QStringLiteral("Summary"), 10.6);
        summary.addHorizontalLine(QStringLiteral("Line_SummaryFooter"), 0, 0.3, 0).setWidth(summary.width());
        summary.addLabel(QStringLiteral("QRL_WOkresie"), 31.8, 1.3).setCaption(QStringLiteral("W miesiącu:"));

        ReportBand &footer = addBand(BandKind::PageFooter, QStringLiteral("Footer"), 2.65);
        footer.addHorizontalLine(QStringLiteral("Line_PageFooter"), 0, 0, 0).setWidth(footer.width());
        ReportLabel &last
            = footer.addLabel(QStringLiteral("Lab_PgLast"), 0, 0.2).setCaption(QStringLiteral("Strona ostatnia"));
        last.font().setPointSize(4).setBold(true);
        footer.setOnBeforePrint(
            [this, last = &last](ReportBand &, bool &) { last->setEnabled(isLastPage() && !isExporting()); });

        setOnBeforePrint([this] { m_next = 0; });
        setOnNeedData([this] { return nextRow(); });
    }

private:
    bool nextRow()
    {
        if (m_next >= m_rows)
            return false;
        const int i = m_next++;
        const bool debit = i % 3 != 0;
        m_lp->setCaption(QString::number(i + 1));
        m_date->setCaption(QStringLiteral("2024-03-%1").arg(i % 28 + 1, 2, 10, QChar(u'0')));
        m_term->setCaption(debit ? QStringLiteral("2024-04-10") : QString());
        m_kind->setCaption(debit ? QStringLiteral("Naliczenie") : QStringLiteral("Wpłata"));
        const QString amount = QStringLiteral("%1,%2").arg(100 + i * 37 % 9000).arg(i % 100, 2, 10, QChar(u'0'));
        m_debit->setCaption(debit ? amount : QString());
        m_credit->setCaption(debit ? QString() : amount);
        m_text->setCaption(QStringLiteral("Opłata za lokal nr %1, marzec 2024").arg(i % 120 + 1));
        return true;
    }

    int m_rows;
    int m_next = 0;
    ReportLabel *m_lp, *m_date, *m_term, *m_kind, *m_debit, *m_credit, *m_text;
};

double Seconds(QElapsedTimer &timer)
{
    const double s = timer.nsecsElapsed() / 1e9;
    timer.restart();
    return s;
}

void Line(const char *what, double seconds, int pages)
{
    PrintLine("%-34s %8.3f s  %9.0f pages/s\n", what, seconds, pages / seconds);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 10000;
    QTemporaryDir temp;
    const QDir out(argc > 2 ? QString::fromLocal8Bit(argv[2]) : temp.path());

    BenchReport report(rows);
    QElapsedTimer timer;
    timer.start();

    const int prepared = report.prepare();
    Line("prepare (count pages)", Seconds(timer), prepared);

    const auto pages = report.generate();
    const int count = pages->pageCount();
    const double generateSeconds = Seconds(timer);
    Line("generate and paginate", generateSeconds, count);

    // Incremental run from the event loop, as the preview does it; the longest
    // stretch without an event-loop turn is what the user could feel.
    qint64 longestGap = 0;
    QElapsedTimer gap;
    gap.start();
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, gap.nsecsElapsed());
        gap.restart();
    });
    QEventLoop loop;
    const auto previewed = report.preview();
    QObject::connect(previewed.get(), &PageStore::statusChanged, &loop, &QEventLoop::quit);
    ticker.start();
    gap.restart();
    timer.restart();
    loop.exec();
    ticker.stop();
    const double previewSeconds = Seconds(timer);
    Line("preview (slices from event loop)", previewSeconds, previewed->pageCount());

    const QString prn = out.filePath(QStringLiteral("bench.prn"));
    PrintFile::save(*pages, prn);
    Line("save print file", Seconds(timer), count);
    PageStore loaded;
    PrintFile::load(loaded, prn);
    Line("load print file", Seconds(timer), count);

    QImage screen(794, 1123, QImage::Format_ARGB32_Premultiplied);
    for (int p = 0; p < count; ++p) {
        screen.fill(Qt::white);
        QPainter painter(&screen);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(PagePainter::pageTransform(96, 96));
        PagePainter(*pages).paintPage(p, painter);
    }
    Line("paint at 100 % (96 dpi)", Seconds(timer), count);

    PdfExportFilter pdf(out.filePath(QStringLiteral("bench.pdf")));
    PageExport::exportTo(*pages, pdf);
    const double pdfSeconds = Seconds(timer);
    Line("export PDF (runs report again)", pdfSeconds, count);
    TextExportFilter text(out.filePath(QStringLiteral("bench.txt")));
    PageExport::exportTo(*pages, text);
    Line("export text (runs report again)", Seconds(timer), count);
    HtmlExportFilter html(out.filePath(QStringLiteral("bench.htm")));
    PageExport::exportTo(*pages, html);
    Line("export HTML (runs report again)", Seconds(timer), count);

    PrintLine("\nrows %d, pages %d, longest event-loop gap during preview %.1f ms\n", rows, count, longestGap / 1e6);
    PrintLine("file sizes: prn %lld KiB, pdf %lld KiB, txt %lld KiB, htm %lld KiB\n", QFileInfo(prn).size() / 1024,
              QFileInfo(pdf.fileName()).size() / 1024, QFileInfo(text.fileName()).size() / 1024,
              QFileInfo(html.fileName()).size() / 1024);
    const QByteArray what
        = QStringLiteral("Report engine, %1 rows (%2 pages): generate / PDF export").arg(rows).arg(count).toUtf8();
    PrintFigure(what.constData(), "%.2f s / %.2f s", generateSeconds, pdfSeconds);
    PrintFigure("Report engine preview of the same rows: all pages / longest stretch without an event-loop turn",
                "%.2f s / %.0f ms", previewSeconds, longestGap / 1e6);

    PrintLine("\nGeneration cost per row by report length\n");
    std::vector<int> sizes{std::max(1, rows / 10), rows, rows * 10};
    std::vector<double> perRow;
    for (int n : sizes) {
        BenchReport sized(n);
        timer.restart();
        const int pagesOfSize = sized.generate()->pageCount();
        perRow.push_back(timer.nsecsElapsed() / 1e3 / n);
        PrintLine("  %8d rows  %6d pages  %7.2f us/row\n", n, pagesOfSize, perRow.back());
    }
    if (!PrintScaling("Report engine generation, cost per row", " rows", sizes, perRow, 1)) {
        std::fprintf(stderr, "the cost per row grows with the report's length\n");
        return 1;
    }
    return 0;
}

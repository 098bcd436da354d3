// Times the month card report over a long ledger (default 10,000 documents):
// creation, the preparation pass, the generation, both as a preview or print
// runs them, and a PDF export of the pages.
//
//   bench_reports [documents]

#include "DemoReportData.h"
#include "bench/common/BenchFigure.h"

#include "engine/BandedReport.h"
#include "engine/PageStore.h"
#include "engine/PdfExportFilter.h"
#include "reports/TPrn_KartMca.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double Seconds(QElapsedTimer &timer)
{
    const double s = timer.nsecsElapsed() / 1e9;
    timer.restart();
    return s;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int documents = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 10000;
    const DemoReportData data(documents);

    QElapsedTimer timer;
    timer.start();
    TPrn_KartMca report(data.ledger, data.yearData, data.session);
    PrintLine("%-36s %8.3f s\n", "create (header, opening state)", Seconds(timer));

    const int prepared = report.Report().prepare();
    const double prepare = Seconds(timer);
    PrintLine("%-36s %8.3f s  (%d pages)\n", "preparation pass", prepare, prepared);

    const std::shared_ptr<PageStore> pages = report.Report().generate();
    const double generate = Seconds(timer);
    PrintLine("%-36s %8.3f s  (%d pages)\n", "generate", generate, pages->pageCount());
    PrintLine("%-36s %8.3f s\n", "preparation + generation", prepare + generate);

    QTemporaryDir temp;
    PdfExportFilter pdf(temp.filePath(QStringLiteral("month-card.pdf")));
    pdf.exportPages(*pages);
    const double pdfSeconds = Seconds(timer);
    PrintLine("%-36s %8.3f s\n", "PDF of the generated pages", pdfSeconds);

    // Twice more, to show that runs do not slow down or accumulate.
    report.Report().generate();
    PrintLine("%-36s %8.3f s\n", "second generation", Seconds(timer));
    PrintLine("\ndocuments %d, pages %d\n", documents, pages->pageCount());
    const QByteArray what = QStringLiteral("Month card report of %1 documents (%2 pages): prepare + generate / PDF")
                                .arg(documents)
                                .arg(pages->pageCount())
                                .toUtf8();
    PrintFigure(what.constData(), "%.2f s / %.2f s", prepare + generate, pdfSeconds);
    return 0;
}

// Writes one PDF per account report from plausible data, as the preview and
// the printer show them (footer marks included):
//
//   render_reports <output folder>
//
// gives report-settlements.pdf, report-month-card.pdf, report-charge-detail.pdf.

#include "DemoReportData.h"
#include "bench/common/BenchFigure.h"

#include "account/DisplayTexts.h"
#include "account/YearSettlementFigures.h"
#include "engine/BandedReport.h"
#include "engine/PageStore.h"
#include "engine/PdfExportFilter.h"
#include "reports/TPrn_InfoRozrZasob.h"
#include "reports/TPrn_KartMca.h"
#include "reports/TPrn_NalCzynszDtl.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

void Write(TPrn_Gen &report, const QDir &out, const QString &name)
{
    const std::shared_ptr<PageStore> pages = report.Report().generate();
    PdfExportFilter pdf(out.filePath(name));
    pdf.exportPages(*pages);
    PrintLine("%s: %d page(s)\n", qPrintable(pdf.fileName()), pages->pageCount());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_reports <output folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    DemoReportData data;

    TPrn_InfoRozrZasob settlements(data.session, data.yearData);
    const int category = 0;
    const YearSettlementFigures year
        = YearSettlementFigures::Compute(3, data.yearData.ObrotyWN(category), data.yearData.ObrotyMA(category));
    settlements.LoadYear(data.yearData.ShowYear, year, CategoryName(category));
    Write(settlements, out, u"report-settlements.pdf"_s);

    TPrn_KartMca monthCard(data.ledger, data.yearData, data.session);
    Write(monthCard, out, u"report-month-card.pdf"_s);

    TPrn_NalCzynszDtl chargeDetail(data.details, data.yearData, data.session);
    Write(chargeDetail, out, u"report-charge-detail.pdf"_s);
    return 0;
}

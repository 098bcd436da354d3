#include "reports/TPrn_Gen.h"

#include "common/Errors.h"
#include "common/Messages.h"
#include "engine/BandedReport.h"
#include "engine/PageStore.h"
#include "engine/ReportBand.h"
#include "engine_widgets/ReportPrinter.h"
#include "reports/ReportErrorText.h"
#include "reports/TPrn_Preview.h"

#include <QPrinterInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kLabPgLast = u"Lab_PgLast"_s;
const QString kLabVemra = u"Lab_Vemra"_s;

TPrn_Gen::PrinterLookup &PrinterLookupOverride()
{
    static TPrn_Gen::PrinterLookup lookup;
    return lookup;
}

std::optional<ReportPrinterSettings> SystemPrinter()
{
    // Without a printing system Qt lists no printer and would fall back to PDF
    // output with no file name.
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty())
        return std::nullopt;
    ReportPrinterSettings printer;
    printer.printerName = QPrinterInfo::defaultPrinterName();
    if (printer.printerName.isEmpty())
        printer.printerName = names.first();
    return printer;
}

} // namespace

TPrn_Gen::TPrn_Gen(const QString &title) : m_report(std::make_unique<BandedReport>()), m_title(title)
{
    BandedReport &report = *m_report;
    report.pageSetup().setA4();
    report.pageSetup().setOrientation(ReportPageSetup::Orientation::Portrait);
    report.pageSetup().setMarginsTenths(200, 200, 250, 200);
    report.setFont(ReportFont::fromDesignPixels(u"Arial"_s, 13));
    report.setTitle(m_title);
    report.setPageHeaderOnFirstPage(true);
    report.setPageFooterOnLastPage(true);
    report.setPrintIfEmpty(true);
    report.setOnError([](std::exception_ptr error) { ShowErrorDisplay(WordedReportError(error)); });
    report.printerSettings() = ReportPrinterSettings{};

    ReportBand &footer = report.addBand(BandKind::PageFooter, u"BandPageFooter"_s, 2.65);
    footer.setBackgroundColor(Qt::white);
    const ReportFont markFont(u"Arial"_s, 4, true);
    footer.addLabel(kLabPgLast, 0, 0)
        .setCaption(u"Strona ostatnia"_s)
        .setFont(markFont)
        .setAlignment(TextAlignment::Left)
        .setAutoSize(true)
        .setWordWrap(true)
        .setTransparent(true)
        .setEnabled(false);
    // Text-sized and right-aligned: the label keeps its right edge at the
    // band's right edge whatever its text.
    footer.addLabel(kLabVemra, 0, 0)
        .setCaption(u"Wyemitowano z programu: "_s + ApplicationTitle())
        .setFont(markFont)
        .setAlignment(TextAlignment::Right)
        .setAutoSize(true)
        .setWordWrap(true)
        .setTransparent(true)
        .setEnabled(false)
        .setWidth(footer.width());
    footer.setOnBeforePrint([this](ReportBand &, bool &) { BandPageFooterBeforePrint(); });
    footer.setOnAfterPrint([this](ReportBand &) { BandPageFooterAfterPrint(); });
    m_bandPageFooter = &footer;

    report.setOnBeforePrint([this] { ReportBeforePrint(); });
    report.setOnNeedData([this] { return ReportNeedData(); });
    report.setOnPreview([this](const std::shared_ptr<PageStore> &pages) { ReportPreview(pages); });
}

TPrn_Gen::~TPrn_Gen() = default;

ReportLabel &TPrn_Gen::Lab_PgLast()
{
    return m_bandPageFooter->label(kLabPgLast);
}

ReportLabel &TPrn_Gen::Lab_Vemra()
{
    return m_bandPageFooter->label(kLabVemra);
}

std::optional<ReportPrinterSettings> TPrn_Gen::SelectedPrinter()
{
    const PrinterLookup &lookup = PrinterLookupOverride();
    return lookup ? lookup() : SystemPrinter();
}

void TPrn_Gen::SetPrinterLookup(PrinterLookup lookup)
{
    PrinterLookupOverride() = std::move(lookup);
}

bool TPrn_Gen::PreviewReport()
{
    return Execute(ExecuteMode::Preview, {});
}

bool TPrn_Gen::PrintReport()
{
    const std::optional<ReportPrinterSettings> printer = SelectedPrinter();
    if (!printer) {
        ShowNoPrinterMessage();
        return false;
    }
    return Execute(ExecuteMode::Print, *printer);
}

bool TPrn_Gen::Execute(ExecuteMode mode, const ReportPrinterSettings &printer)
{
    try {
        m_pageCount = m_report->prepare();
        if (mode == ExecuteMode::Preview) {
            m_report->preview();
        } else {
            ReportPrinterSettings &settings = m_report->printerSettings();
            settings.printerName = printer.printerName;
            settings.outputFileName = printer.outputFileName;
            settings.firstPage = 0;
            settings.lastPage = 0;
            settings.copies = 1;
            ReportPrinter::printReport(*m_report);
        }
        return true;
    } catch (...) {
        ShowErrorDisplay(WordedReportError(std::current_exception()));
        return false;
    }
}

void TPrn_Gen::ReportBeforePrint()
{
    // The printer is looked up once, when printing starts: listing the system's
    // printers can be slow, and a preview or an export needs none.
    Lab_PgLast().setEnabled(false);
    Lab_Vemra().setEnabled(!m_report->isExporting() && m_showEmissionOnEveryPage);
    m_footerPage = 1;
}

bool TPrn_Gen::ReportNeedData()
{
    return false;
}

void TPrn_Gen::ReportPreview(const std::shared_ptr<PageStore> &pages)
{
    TPrn_Preview *preview = Prn_Preview();
    if (!preview)
        throw AppError(u"Okno podglądu wydruku nie jest dostępne."_s);
    preview->SetSpreadsheetTable(SpreadsheetTable());
    preview->ShowPageStore(pages);
}

void TPrn_Gen::BandPageFooterBeforePrint()
{
    // The engine knows the last page during the run itself, so the marks never
    // depend on a page count from an earlier run.
    if (m_report->isLastPage() && !m_report->isExporting()) {
        Lab_PgLast().setEnabled(m_showLastPageMark);
        Lab_Vemra().setEnabled(m_showEmissionOnLastPage);
    }
}

void TPrn_Gen::BandPageFooterAfterPrint()
{
    ++m_footerPage;
}

void TPrn_Gen::UseLastPageFooterWithRule()
{
    SetShowLastPageMark(true);
    SetShowEmissionOnEveryPage(false);
    SetShowEmissionOnLastPage(true);
    ReportBand &footer = BandPageFooter();
    footer.addHorizontalLine(QStringLiteral("Line_PageFooter"), 0, 0, 0).setWidth(footer.width());
}

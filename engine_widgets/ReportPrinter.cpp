#include "engine_widgets/ReportPrinter.h"
#include "engine/PagePainter.h"

#include "engine/BandedReport.h"
#include "engine/PageStore.h"
#include "engine/ReportEngineError.h"

#include <QPrinter>

void ReportPrinter::print(const PageStore &pages, const ReportPrinterSettings &settings)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!settings.outputFileName.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(settings.outputFileName);
    } else {
        if (!settings.printerName.isEmpty())
            printer.setPrinterName(settings.printerName);
        // Without a printer system Qt falls back to PDF output with no file.
        if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid())
            throw settings.printerName.isEmpty()
                ? ReportEngineError(ReportEngineError::Kind::NoPrinter)
                : ReportEngineError::named(ReportEngineError::Kind::PrinterUnavailable, settings.printerName);
    }
    printer.setDocName(pages.title());
    printer.setCopyCount(std::max(1, settings.copies));
    printer.setFullPage(true);
    PagePainter(pages).print(printer, settings.firstPage, settings.lastPage);
}

void ReportPrinter::print(const PageStore &pages)
{
    print(pages, pages.printerSettings());
}

void ReportPrinter::printReport(BandedReport &report)
{
    const auto pages = report.generate();
    print(*pages, report.printerSettings());
}

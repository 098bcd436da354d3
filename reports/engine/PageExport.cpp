#include "reports/engine/PageExport.h"

#include "reports/engine/BandedReport.h"
#include "reports/engine/HtmlExportFilter.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/PdfExportFilter.h"
#include "reports/engine/PrintFile.h"
#include "reports/engine/ReportEngineError.h"
#include "reports/engine/TextExportFilter.h"

#include <QFileInfo>

void PageExport::exportTo(const PageStore &pages, ExportFilter &filter)
{
    if (!pages.isFinished())
        throw ReportEngineError(ReportEngineError::Kind::StillGeneratingExport);
    if (BandedReport *source = pages.sourceReport())
        source->exportTo(filter);
    else
        filter.exportPages(pages);
}

void PageExport::saveAs(const PageStore &pages, const QString &fileName, const QString &creator)
{
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    if (extension == QLatin1String("TXT")) {
        TextExportFilter filter(fileName);
        exportTo(pages, filter);
    } else if (extension == QLatin1String("HTM")) {
        HtmlExportFilter filter(fileName);
        exportTo(pages, filter);
    } else if (extension == QLatin1String("PDF")) {
        PdfExportFilter filter(fileName, creator);
        exportTo(pages, filter);
    } else {
        PrintFile::save(pages, fileName);
    }
}

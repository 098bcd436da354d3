#include "engine/PageExport.h"

#include "engine/BandedReport.h"
#include "engine/HtmlExportFilter.h"
#include "engine/PageStore.h"
#include "engine/PdfExportFilter.h"
#include "engine/PrintFile.h"
#include "engine/ReportEngineError.h"
#include "engine/TextExportFilter.h"

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

#include "engine/PdfExportFilter.h"
#include "engine/PagePainter.h"

#include "engine/PageStore.h"
#include "engine/ReportEngineError.h"

#include <QPdfWriter>
#include <QSaveFile>

void PdfExportFilter::exportPages(const PageStore &pages)
{
    QSaveFile file(fileName());
    if (!file.open(QIODevice::WriteOnly))
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotWritten, fileName(), file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setTitle(pages.title());
        writer.setCreator(m_creator);
        PagePainter(pages).print(writer);
    }
    if (!file.commit())
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotWritten, fileName(), file.errorString());
}

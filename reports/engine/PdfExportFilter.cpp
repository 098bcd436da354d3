#include "reports/engine/PdfExportFilter.h"

#include "common/Errors.h"
#include "reports/engine/PageStore.h"

#include <QPdfWriter>
#include <QSaveFile>

void PdfExportFilter::exportPages(const PageStore &pages)
{
    QSaveFile file(fileName());
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Nie można zapisać pliku „%1”: %2.").arg(fileName(), file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setTitle(pages.title());
        writer.setCreator(m_creator);
        pages.print(writer);
    }
    if (!file.commit())
        throw AppError(QStringLiteral("Nie można zapisać pliku „%1”: %2.").arg(fileName(), file.errorString()));
}

#pragma once

#include "engine/ExportFilter.h"

// A PDF document through the same painting path as the printer; the fonts are
// embedded, so the file looks the same on every machine.
class PdfExportFilter : public ExportFilter
{
public:
    // `creator` names the program in the document's properties.
    explicit PdfExportFilter(QString fileName, QString creator = {})
        : ExportFilter(std::move(fileName)), m_creator(std::move(creator))
    {
    }

    void exportPages(const PageStore &pages) override;

private:
    QString m_creator;
};

#pragma once

#include "reports/engine/ExportFilter.h"

// A PDF document through the same painting path as the printer; the fonts are
// embedded, so the file looks the same on every machine.
class PdfExportFilter : public ExportFilter
{
public:
    using ExportFilter::ExportFilter;

    void exportPages(const PageStore &pages) override;
};

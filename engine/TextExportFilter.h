#pragma once

#include "engine/ExportFilter.h"

#include <QString>

struct ReportPage;

// Plain UTF-8 text: each page's texts on a character grid (a column is 1.8 mm,
// texts whose tops lie within 1.2 mm share a line, larger gaps become blank
// lines at about 6 lines per inch). Right-aligned texts end in the column of
// their right edge, so amounts stay aligned. Pages are separated by a form
// feed; lines end with a line feed.
class TextExportFilter : public ExportFilter
{
public:
    using ExportFilter::ExportFilter;

    void exportPages(const PageStore &pages) override;

    // One page; column 0 is at originX (engine units from the paper's left
    // edge), the leftmost text of the whole document, so columns agree from
    // page to page.
    static QString pageText(const ReportPage &page, int originX);
    static QString documentText(const PageStore &pages);
};

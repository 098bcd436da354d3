#pragma once

#include "engine/ExportFilter.h"

#include <QString>

// One HTML5 document in UTF-8 holding every page as a sheet of its paper size:
// rectangles and lines in an SVG layer, each text absolutely positioned in
// millimetres with the font of the page. Texts are escaped; font names that
// are not plain names are left out of the style sheet.
class HtmlExportFilter : public ExportFilter
{
public:
    using ExportFilter::ExportFilter;

    void exportPages(const PageStore &pages) override;

    static QString documentHtml(const PageStore &pages);
};

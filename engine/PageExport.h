#pragma once

#include <QString>

class ExportFilter;
class PageStore;

// Exports of a page store. Pages a report made are exported by running the
// report again (with the exporting flag set) while the report still exists;
// loaded pages are exported as they are.
class PageExport
{
public:
    // Throws ReportEngineError while the pages are still being generated or
    // when the filter fails.
    static void exportTo(const PageStore &pages, ExportFilter &filter);
    // Saves by the file name's extension: .txt text, .htm HTML, .pdf PDF
    // (`creator` names the program in its properties), anything else a print
    // file.
    static void saveAs(const PageStore &pages, const QString &fileName, const QString &creator);
};

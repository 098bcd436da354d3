#pragma once

#include "engine/ReportPrinterSettings.h"

class BandedReport;
class PageStore;

// Sends pages to a printer of the system, without a dialog: the named printer
// (the default one when no name is given), or a PDF file when the settings
// name an output file. Copies and page range come from the settings. Throws
// ReportEngineError when there is no such printer or printing fails.
class ReportPrinter
{
public:
    static void print(const PageStore &pages, const ReportPrinterSettings &settings);
    // With the settings the pages were generated with.
    static void print(const PageStore &pages);
    // Runs the report and prints it with the report's printer settings.
    static void printReport(BandedReport &report);
};

#pragma once

#include <QString>

// Where and how a report prints. Pages are counted from 1; 0 as the first or
// last page means "from the first" or "to the last".
struct ReportPrinterSettings
{
    QString printerName; // empty: the system's default printer
    QString outputFileName; // not empty: print into this PDF file instead
    int copies = 1;
    int firstPage = 0;
    int lastPage = 0;
};

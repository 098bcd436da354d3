#pragma once

#include "account/CsvTable.h"
#include "account/MonthCardFigures.h"

class TU_WEBServiceDokData;
class TU_WEBServiceKsgData;
struct YearSettlementFigures;

// The spreadsheet forms of the three views: the same rows, figures and texts
// the windows show (amounts and dates in the CsvTable form).

// The yearly table: the opening row, the shown months and the totals, with
// the balance description ("(niedopłata)") beside the final balance.
CsvTable YearTableCsv(const YearSettlementFigures &figures);

// The month card: one record per document as the document table shows it,
// then the opening, monthly and cumulative states. IndexError when an entry
// array is shorter than the entry count.
CsvTable MonthCardCsv(const TU_WEBServiceKsgData &ledger, const MonthCardFigures &figures);

// The charge detail: one record per component (the "*" column only for a
// charge covering part of a month) and the gross total. IndexError when a
// component array is shorter than the component count.
CsvTable ChargeDetailCsv(const TU_WEBServiceDokData &details);

// The name of month 1 to 12 as the yearly table shows it ("styczeń").
QString YearTableMonthName(int month);

// A file name to offer, e.g. "rozrachunki-2024-czynsze-odsetki.csv".
QString CsvFileName(const QString &what, int year, int category, int month = 0);

#pragma once

#include <QString>

// The account's texts that the views and the reports share: category and
// document kind names, dates and months.

inline constexpr int kCategoryCount = 5;

// The quoted name of the charge category 0 to 4 ("\"czynsze\"", ...), the
// double quotes included; empty for any other index.
QString CategoryName(int index);

// The text of a ledger entry's document kind: 1 "naliczenie opłaty",
// 3 "wpłata bankowa", 4 "wpłata kasa", 5 "wpłata MOPS", anything else
// "przeksięgowanie".
QString DocumentKindText(int kind);

// The category 0 to 4 as the month card names it ("woda - odsetki"): the
// category name without its double quotes; empty for any other index.
QString CategoryText(int category);

// A date value as a short date of the user's locale ("31.03.2020").
QString ShortDateText(double dateValue);

// The first day of year/month as "mmmm yyyy": the stand-alone long month name
// of the user's locale, a space and the four-digit year ("marzec 2020").
QString MonthYearText(int year, int month);

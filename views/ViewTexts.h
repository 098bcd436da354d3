#pragma once

#include <QString>

// Texts the account views show beside the figures.

// The category 0 to 4 as the month card names it ("woda - odsetki"): the
// category name without its double quotes; empty for any other index.
QString CategoryText(int category);

// A date value as a short date of the user's locale ("31.03.2020").
QString ShortDateText(double dateValue);

// The first day of year/month as "mmmm yyyy": the stand-alone long month name
// of the user's locale, a space and the four-digit year ("marzec 2020").
QString MonthYearText(int year, int month);

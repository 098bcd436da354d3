#pragma once

#include <QDate>
#include <QDateTime>

#include <cstdint>

// Date values are doubles: whole days since 1899-12-30 plus the fraction of the
// day, as they travel on the wire. These helpers cut years and months out of
// them, find month boundaries and measure elapsed time.

bool LeapYear(int year);

// Days of the month (1 to 12) in the given year; 0 for a month outside 1 to 12.
int MonthDayCount(int year, int month);

// The date (time 0) of the last day of the month of `dateTime`.
double MonthEndDate(double dateTime);

// The date of the last day of the given month.
double MonthLastDayDate(int year, int month);

// The date of the first day of the month of `dateTime`.
double MonthStartDate(double dateTime);

uint16_t DateMonth(double dateTime);
uint16_t DateYear(double dateTime);

// Minutes from `earlier` to `later`; seconds count as sixtieths, milliseconds are dropped.
double DateDiffMinutes(double later, double earlier);

// Calendar months between the two values; the days of the month play no part.
int DateDiffMonths(double later, double earlier);

// Conversions between the double date value and Qt's types.
double DateToValue(const QDate &date);
double DateTimeToValue(const QDateTime &dateTime);
QDate ValueToDate(double value);
QDateTime ValueToDateTime(double value);

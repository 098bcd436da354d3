#include "account/ChargePeriod.h"

#include "common/DateHelpers.h"

bool IsPartialMonth(double dataNalFrom, double dataNalTo)
{
    if (DateDiffMonths(dataNalTo, dataNalFrom) != 0)
        return false;
    // Compared exactly: a time of day other than midnight makes the period partial.
    return !(dataNalFrom == MonthStartDate(dataNalFrom) && dataNalTo == MonthEndDate(dataNalTo));
}

#include "account/MonthSlots.h"

#include <algorithm>

void CopyToMonthSlots(const TDoubleDynArray &values, TMonthSlots &slots)
{
    slots.fill(0.0);
    const auto count = std::min<qsizetype>(values.size(), static_cast<qsizetype>(slots.size()));
    std::copy_n(values.cbegin(), count, slots.begin());
}

#include "account/YearSettlementFigures.h"

#include "account/MonthSlots.h"
#include "common/Errors.h"

#include <algorithm>

namespace {

YearSettlementFigures::Slots toSlots(const QList<double> &values)
{
    YearSettlementFigures::Slots slots{};
    CopyToMonthSlots(values, slots);
    return slots;
}

void checkMonth(int month)
{
    if (month < 1 || month > 12)
        throw IndexError(month, 13);
}

} // namespace

YearSettlementFigures YearSettlementFigures::Compute(int monthCount, const QList<double> &debits,
                                                     const QList<double> &credits)
{
    YearSettlementFigures f;
    f.MonthCount = std::clamp(monthCount, 1, 12);
    f.ObrotyWN = toSlots(debits);
    f.ObrotyMA = toSlots(credits);
    for (int j = 0; j <= f.MonthCount; ++j) {
        f.DebitTotal += f.ObrotyWN[j];
        f.CreditTotal += f.ObrotyMA[j];
        f.SaldoNar[j] = (j == 0 ? 0.0 : f.SaldoNar[j - 1]) + f.ObrotyMA[j] - f.ObrotyWN[j];
    }
    return f;
}

double YearSettlementFigures::MonthBalance(int month) const
{
    checkMonth(month);
    return ObrotyMA[month] - ObrotyWN[month];
}

YearSettlementFigures::OpeningState YearSettlementFigures::OpeningStateBefore(int month) const
{
    checkMonth(month);
    if (month > MonthCount)  // the running balance is not computed past the shown months
        throw IndexError(month, MonthCount + 1);
    OpeningState s;
    for (int j = 0; j < month; ++j) {
        s.Debits += ObrotyWN[j];
        s.Credits += ObrotyMA[j];
    }
    s.Balance = SaldoNar[month - 1];
    return s;
}

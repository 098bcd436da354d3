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

YearSettlementFigures YearSettlementFigures::Compute(int monthCount, const QList<double> &obrotyWN,
                                                     const QList<double> &obrotyMA)
{
    YearSettlementFigures f;
    f.MonthCount = std::clamp(monthCount, 1, 12);
    f.ObrotyWN = toSlots(obrotyWN);
    f.ObrotyMA = toSlots(obrotyMA);
    for (int j = 0; j <= f.MonthCount; ++j) {
        f.RazemWN += f.ObrotyWN[j];
        f.RazemMA += f.ObrotyMA[j];
        f.SaldoNar[j] = (j == 0 ? 0.0 : f.SaldoNar[j - 1]) + f.ObrotyMA[j] - f.ObrotyWN[j];
    }
    return f;
}

double YearSettlementFigures::SaldoMca(int month) const
{
    checkMonth(month);
    return ObrotyMA[month] - ObrotyWN[month];
}

AccountState YearSettlementFigures::OpeningStateBefore(int month) const
{
    checkMonth(month);
    if (month > MonthCount) // the running balance is not computed past the shown months
        throw IndexError(month, MonthCount + 1);
    AccountState s;
    for (int j = 0; j < month; ++j) {
        s.ObrotyWN += ObrotyWN[j];
        s.ObrotyMA += ObrotyMA[j];
    }
    s.Saldo = SaldoNar[month - 1];
    return s;
}

#include "account/MonthCardFigures.h"

#include "common/Errors.h"

MonthCardFigures MonthCardFigures::Compute(const State &opening, int count, const TBoundArray &sides,
                                           const TDoubleDynArray &values, const TDoubleDynArray &terms,
                                           double monthEnd)
{
    MonthCardFigures f;
    f.Opening = opening;
    // A count from the service is no size to trust before the arrays bear it out.
    f.LateTerm.reserve(qBound(qsizetype(0), qsizetype(count), sides.size()));
    for (int i = 0; i < count; ++i) {
        const bool debit = IsDebit(CheckedAt(sides, i));
        const double value = CheckedAt(values, i);
        const bool late = debit && CheckedAt(terms, i) > monthEnd;
        if (debit)
            f.Month.Debits += value;
        else
            f.Month.Credits += value;
        f.LateTerm.append(late);
        f.AnyLateTerm = f.AnyLateTerm || late;
    }
    f.Month.Balance = f.Month.Credits - f.Month.Debits;
    f.Cumulative = {opening.Debits + f.Month.Debits, opening.Credits + f.Month.Credits,
                    opening.Balance + f.Month.Balance};
    return f;
}

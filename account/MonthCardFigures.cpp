#include "account/MonthCardFigures.h"

#include "common/Errors.h"

MonthCardFigures MonthCardFigures::Compute(const AccountState &pocz, int count, const TBoundArray &sides,
                                           const TDoubleDynArray &values, const TDoubleDynArray &terms, double monthEnd)
{
    MonthCardFigures f;
    f.Pocz = pocz;
    // A count from the service is no size to trust before the arrays bear it out.
    f.LateTerm.reserve(qBound(qsizetype(0), qsizetype(count), sides.size()));
    for (int i = 0; i < count; ++i) {
        const bool debit = IsDebit(CheckedAt(sides, i));
        const double value = CheckedAt(values, i);
        const bool late = debit && CheckedAt(terms, i) > monthEnd;
        if (debit)
            f.Mca.ObrotyWN += value;
        else
            f.Mca.ObrotyMA += value;
        f.LateTerm.append(late);
        f.AnyLateTerm = f.AnyLateTerm || late;
    }
    f.Mca.Saldo = f.Mca.ObrotyMA - f.Mca.ObrotyWN;
    f.Nar = {pocz.ObrotyWN + f.Mca.ObrotyWN, pocz.ObrotyMA + f.Mca.ObrotyMA, pocz.Saldo + f.Mca.Saldo};
    return f;
}

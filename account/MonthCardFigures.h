#pragma once

#include "account/AccountState.h"
#include "protocol/IZOKA_E_BOK.h"

#include <QList>

// The states of one month's ledger card: the opening state handed in (Pocz),
// the month's own turnover (Mca) and the cumulative state after it (Nar), and
// which payment terms fall after the month. The document table and the month
// card report both show these figures.
struct MonthCardFigures
{
    AccountState Pocz;
    AccountState Mca;
    AccountState Nar;
    QList<bool> LateTerm; // per entry: a debit whose payment term is after MonthEnd
    bool AnyLateTerm = false;

    // Reads `count` entries with a bounds check on every array (IndexError when
    // an array is shorter than the count).
    static MonthCardFigures Compute(const AccountState &pocz, int count, const TBoundArray &sides,
                                    const TDoubleDynArray &values, const TDoubleDynArray &terms, double monthEnd);

    static bool IsDebit(qint32 side) { return side == 0; }
};

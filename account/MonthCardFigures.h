#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <QList>

// The states of one month's ledger card: the opening state handed in, the
// month's own turnover and the cumulative state after it, and which payment
// terms fall after the month. The document table and the month card report
// both show these figures.
struct MonthCardFigures
{
    struct State { double Debits = 0; double Credits = 0; double Balance = 0; };

    State Opening;
    State Month;
    State Cumulative;
    QList<bool> LateTerm;     // per entry: a debit whose payment term is after MonthEnd
    bool AnyLateTerm = false;

    // Reads `count` entries with a bounds check on every array (IndexError when
    // an array is shorter than the count).
    static MonthCardFigures Compute(const State &opening, int count, const TBoundArray &sides,
                                    const TDoubleDynArray &values, const TDoubleDynArray &terms, double monthEnd);

    static bool IsDebit(qint32 side) { return side == 0; }
};

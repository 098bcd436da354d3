#pragma once

#include "account/AccountState.h"
#include "account/MonthSlots.h"

#include <QList>

// The figures of one category's year as the table and its report show them:
// 13 slots (0 the opening state, 1 to 12 the months), the running balance and
// the totals over the shown slots.
struct YearSettlementFigures
{
    using Slots = TMonthSlots;

    int MonthCount = 0; // months shown, clamped to 1..12
    Slots ObrotyWN{}; // debits
    Slots ObrotyMA{}; // credits
    Slots SaldoNar{}; // running balance after each slot; 0 after MonthCount
    double RazemWN = 0; // totals row: debits of slots 0..MonthCount
    double RazemMA = 0; // credits of slots 0..MonthCount

    // Fills the slots from delivered arrays (missing values are 0, values past
    // the 13th are ignored) and computes the running balance and the totals.
    static YearSettlementFigures Compute(int monthCount, const QList<double> &obrotyWN, const QList<double> &obrotyMA);

    double SaldoMca(int month) const; // credits - debits of the month (1..12)
    double SaldoNarRazem() const { return SaldoNar[MonthCount]; }

    // The state before month m (1..12), the opening state of its month card:
    // sums of slots 0..m-1 and the running balance after slot m-1.
    AccountState OpeningStateBefore(int month) const;
};

#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "server/LedgerRecords.h"

// The yearly figures of one tenant: for each of the five accounts a debit and
// a credit array of 13 slots. Slots 1 to 12 are the month turnovers; slot 0 is
// the opening state, the balance of everything booked before the year put on
// one side (an underpayment as a debit, an overpayment as a credit), so the
// opening state of a year is the closing state of the year before.
class YearTurnover
{
public:
    explicit YearTurnover(const YearSums &sums);

    // In grosze; slot 0 to 12.
    qint64 Debit(int account, int slot) const;
    qint64 Credit(int account, int slot) const;
    // Credits minus debits over all 13 slots: the state at the end of the year.
    qint64 ClosingBalance(int account) const;

    // The arrays as the answers carry them, in złoty.
    TDoubleDynArray Debits(int account) const;
    TDoubleDynArray Credits(int account) const;

    // Sets the ten Obroty… arrays of a session-begin or yearly answer.
    template<typename Record>
    void FillRecord(Record &r) const
    {
        r.ObrotyCZMain_WN = Debits(0);
        r.ObrotyCZMain_MA = Credits(0);
        r.ObrotyCZOds_WN = Debits(1);
        r.ObrotyCZOds_MA = Credits(1);
        r.ObrotyWOMain_WN = Debits(2);
        r.ObrotyWOMain_MA = Credits(2);
        r.ObrotyWOOds_WN = Debits(3);
        r.ObrotyWOOds_MA = Credits(3);
        r.ObrotyOdpady_WN = Debits(4);
        r.ObrotyOdpady_MA = Credits(4);
    }

    // Grosze to złoty, the only conversion of amounts on the way out.
    static double ToZloty(qint64 grosze) { return static_cast<double>(grosze) / 100.0; }

private:
    std::array<std::array<qint64, kYearSlots>, kAccountCount> m_debit{};
    std::array<std::array<qint64, kYearSlots>, kAccountCount> m_credit{};
};

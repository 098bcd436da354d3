#include "server/YearTurnover.h"

YearTurnover::YearTurnover(const YearSums &sums) : m_debit(sums.debit), m_credit(sums.credit)
{
    for (int account = 0; account < kAccountCount; ++account) {
        const qint64 before = sums.balanceBefore[account];
        m_debit[account][0] = before < 0 ? -before : 0;
        m_credit[account][0] = before > 0 ? before : 0;
    }
}

qint64 YearTurnover::Debit(int account, int slot) const
{
    return m_debit.at(account).at(slot);
}

qint64 YearTurnover::Credit(int account, int slot) const
{
    return m_credit.at(account).at(slot);
}

qint64 YearTurnover::ClosingBalance(int account) const
{
    qint64 balance = 0;
    for (int slot = 0; slot < kYearSlots; ++slot)
        balance += m_credit.at(account)[slot] - m_debit.at(account)[slot];
    return balance;
}

TDoubleDynArray YearTurnover::Debits(int account) const
{
    TDoubleDynArray values;
    values.reserve(kYearSlots);
    for (qint64 grosze : m_debit.at(account))
        values.append(ToZloty(grosze));
    return values;
}

TDoubleDynArray YearTurnover::Credits(int account) const
{
    TDoubleDynArray values;
    values.reserve(kYearSlots);
    for (qint64 grosze : m_credit.at(account))
        values.append(ToZloty(grosze));
    return values;
}

#include "reports/TPrn_InfoRozrZasob.h"

void TPrn_InfoRozrZasob::LoadYear(int year, int monthCount, double creditTotal, double debitTotal,
                                  const Slots &saldoNar, const Slots &credits, const Slots &debits,
                                  const QString &categoryText)
{
    m_year = year;
    m_monthCount = monthCount;
    m_creditTotal = creditTotal;
    m_debitTotal = debitTotal;
    m_saldoNar = saldoNar;
    m_credits = credits;
    m_debits = debits;
    m_categoryText = categoryText;
}

// Printing arrives with the report base.
bool TPrn_InfoRozrZasob::PrintReport()
{
    return false;
}

bool TPrn_InfoRozrZasob::PreviewReport()
{
    return false;
}

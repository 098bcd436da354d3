#pragma once

#include <QString>

#include <array>

// The settlements report of one category's year. For now it keeps the figures
// its yearly table shows; printing arrives with the report base.
class TPrn_InfoRozrZasob
{
public:
    using Slots = std::array<double, 13>;

    TPrn_InfoRozrZasob() = default;
    TPrn_InfoRozrZasob(const TPrn_InfoRozrZasob &) = delete;
    TPrn_InfoRozrZasob &operator=(const TPrn_InfoRozrZasob &) = delete;

    // Takes the figures of the table: slot 0 the opening state, 1 to 12 the
    // months; the totals cover slots 0 to monthCount. The arrays are copied,
    // so the report never reads a table that has gone.
    void LoadYear(int year, int monthCount, double creditTotal, double debitTotal, const Slots &saldoNar,
                  const Slots &credits, const Slots &debits, const QString &categoryText);

    // Not printed yet: both answer false and do nothing.
    bool PrintReport();
    bool PreviewReport();

    int Year() const { return m_year; }
    int MonthCount() const { return m_monthCount; }
    double CreditTotal() const { return m_creditTotal; }
    double DebitTotal() const { return m_debitTotal; }
    const Slots &SaldoNar() const { return m_saldoNar; }
    const Slots &Credits() const { return m_credits; }
    const Slots &Debits() const { return m_debits; }
    const QString &CategoryText() const { return m_categoryText; }

private:
    int m_year = 0;
    int m_monthCount = 0;
    double m_creditTotal = 0;
    double m_debitTotal = 0;
    Slots m_saldoNar{};
    Slots m_credits{};
    Slots m_debits{};
    QString m_categoryText;
};

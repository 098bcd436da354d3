#pragma once

#include "reports/TPrn_Gen.h"

#include <QString>

#include <array>

class ReportBand;
class ReportLabel;
class ReportShape;
class TU_WEBServiceData;
class TU_WEBServiceSession;

// The settlements report: one category's year as its yearly table shows it.
// A title band with the year, the category, the service date and the
// account's address and names; one line for the opening of the year and one
// per shown month (debits, credits, the month's balance, the running
// balance); a summary with the totals, the final balance marked as an under-
// or overpayment and, when the service asks for it, the note about other
// unpaid obligations.
class TPrn_InfoRozrZasob : public TPrn_Gen
{
public:
    using Slots = std::array<double, 13>;

    // The header and the note are read from the given session record and
    // yearly settlement store each time LoadYear is called.
    TPrn_InfoRozrZasob();
    TPrn_InfoRozrZasob(const TU_WEBServiceSession &session, const TU_WEBServiceData &yearData);
    ~TPrn_InfoRozrZasob() override;

    // Takes the figures the yearly table shows: slot 0 the opening of the
    // year, 1 to 12 the months; monthCount (1 to 12) months are printed and
    // the totals cover slots 0 to monthCount. The arrays are copied, so the
    // report never reads a table that has gone. Fills the title and the
    // summary at once; the lines are filled while the report runs.
    void LoadYear(int year, int monthCount, double creditTotal, double debitTotal, const Slots &saldoNar,
                  const Slots &credits, const Slots &debits, const QString &categoryText);

    int Year() const { return m_year; }
    int MonthCount() const { return m_monthCount; }
    double CreditTotal() const { return m_creditTotal; }
    double DebitTotal() const { return m_debitTotal; }
    const Slots &SaldoNar() const { return m_saldoNar; }
    const Slots &Credits() const { return m_credits; }
    const Slots &Debits() const { return m_debits; }
    const QString &CategoryText() const { return m_categoryText; }

    static QString OtherObligationsNote();

    // The yearly table's rows for a spreadsheet.
    std::optional<CsvTable> SpreadsheetTable() const override;

protected:
    void ReportBeforePrint() override;
    bool ReportNeedData() override;

private:
    void BuildTitleBand();
    void BuildColumnHeaderBand();
    void BuildDetailBand();
    void BuildSummaryBand();

    const TU_WEBServiceSession &m_session;
    const TU_WEBServiceData &m_yearData;

    ReportBand *m_titleBand = nullptr;
    ReportBand *m_summaryBand = nullptr;
    ReportLabel *QR_Okres = nullptr;
    ReportLabel *QR_WN = nullptr;
    ReportLabel *QR_MA = nullptr;
    ReportLabel *QR_SaldoMca = nullptr;
    ReportLabel *QR_SaldoNar = nullptr;
    ReportShape *Line_DetailsFooter = nullptr;

    int m_rowIndex = 0;
    int m_year = 0;
    int m_monthCount = 0;
    double m_creditTotal = 0;
    double m_debitTotal = 0;
    Slots m_saldoNar{};
    Slots m_credits{};
    Slots m_debits{};
    QString m_categoryText;
};

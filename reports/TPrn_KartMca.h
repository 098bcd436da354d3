#pragma once

#include "account/MonthCardFigures.h"
#include "reports/TPrn_Gen.h"

#include <exception>

class ReportBand;
class ReportLabel;
class TU_WEBServiceData;
class TU_WEBServiceKsgData;
class TU_WEBServiceSession;

// The month card report: the ledger card of one month of one category as the
// month card window shows it. A title band with the year, category, month,
// service date, address and names; the column titles on every page; the
// opening state under them on the first page only; one line per document of
// the month ledger store; a summary with the number of operations, the
// month's turnover and balance and the cumulative state after the month.
//
// The header and the opening state are taken at creation; the lines and the
// month figures are read from the ledger store on every run.
class TPrn_KartMca : public TPrn_Gen
{
public:
    // Reads the given month ledger store, yearly settlement store and session
    // record. When the ledger's category or month has no opening state in the
    // yearly store, every run fails with that index error.
    TPrn_KartMca(const TU_WEBServiceKsgData &ledger, const TU_WEBServiceData &yearData,
                 const TU_WEBServiceSession &session);
    ~TPrn_KartMca() override;

    // The state before the month: the sums of the category's periods 0 to
    // month - 1 and the running balance after them, computed as the yearly
    // table computes the month card window's opening state. IndexError for a
    // category outside 0 to 4 or a month outside 1 to 12.
    static AccountState OpeningState(const TU_WEBServiceData &yearData, int category, int month);

    const AccountState &Opening() const { return m_opening; }
    // The figures of the last run (its month and cumulative states).
    const MonthCardFigures &Figures() const { return m_figures; }

    // The month card's rows for a spreadsheet.
    std::optional<CsvTable> SpreadsheetTable() const override;

protected:
    void ReportBeforePrint() override;
    bool ReportNeedData() override;

private:
    void BuildTitleBand();
    void BuildColumnHeaderBand();
    void BuildDetailBand();
    void BuildSummaryBand();
    void FillSummary(ReportBand &summary) const;

    const TU_WEBServiceKsgData &m_ledger;
    const TU_WEBServiceData &m_yearData;
    const TU_WEBServiceSession &m_session;

    AccountState m_opening;
    std::exception_ptr m_openingError;
    MonthCardFigures m_figures;
    int m_rowIndex = 0;

    ReportBand *ChildBand_SP = nullptr;
    ReportLabel *QR_Lp = nullptr;
    ReportLabel *QR_DataOper = nullptr;
    ReportLabel *QR_TerminPlatn = nullptr;
    ReportLabel *QR_TypDok = nullptr;
    ReportLabel *QR_WN = nullptr;
    ReportLabel *QR_MA = nullptr;
    ReportLabel *QR_TrescOper = nullptr;
};

#pragma once

#include "reports/TPrn_Gen.h"

class ReportLabel;
class TU_WEBServiceData;
class TU_WEBServiceDokData;
class TU_WEBServiceSession;

// The charge detail report: one charge document as the charge detail window
// shows it. A title band with the year and category, the document's text,
// operation date, payment term and charged period, the address, names and
// service date; one line per component (name, quantity, price, coefficient,
// gross amount); the gross total. No partial-month marks, net or VAT amounts.
//
// The title band is filled at creation; the lines and the total are read from
// the document details store on every run.
class TPrn_NalCzynszDtl : public TPrn_Gen
{
public:
    // Reads the given document details store, yearly settlement store and
    // session record.
    TPrn_NalCzynszDtl(const TU_WEBServiceDokData &details, const TU_WEBServiceData &yearData,
                      const TU_WEBServiceSession &session);
    ~TPrn_NalCzynszDtl() override;

    // The gross total of the last run.
    double GrossTotal() const { return m_grossTotal; }

    // The charge's components for a spreadsheet.
    std::optional<CsvTable> SpreadsheetTable() const override;

protected:
    void ReportBeforePrint() override;
    bool ReportNeedData() override;

private:
    void BuildTitleBand();
    void BuildColumnHeaderBand();
    void BuildDetailBand();
    void BuildSummaryBand();

    const TU_WEBServiceDokData &m_details;
    const TU_WEBServiceData &m_yearData;
    const TU_WEBServiceSession &m_session;

    int m_rowIndex = 0;
    double m_rowGross = 0;
    double m_grossTotal = 0;

    ReportLabel *QR_Lp = nullptr;
    ReportLabel *QR_NazwaSkl = nullptr;
    ReportLabel *QR_Ilosc = nullptr;
    ReportLabel *QR_Cena = nullptr;
    ReportLabel *QR_Wsp = nullptr;
    ReportLabel *QR_Brutto = nullptr;
};

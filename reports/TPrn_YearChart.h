#pragma once

#include "account/YearChartData.h"
#include "reports/TPrn_Gen.h"

class TU_WEBServiceSession;

// The chart of one category's year as a report page: the account reports'
// title (year and category, service date, address and names) and the chart
// laid out by LayoutYearChart in millimetres, so that the page shows what the
// chart window shows. Its table for spreadsheets holds the charted figures.
class TPrn_YearChart : public TPrn_Gen
{
public:
    // The header from the given session record.
    TPrn_YearChart(const YearChartData &data, const TU_WEBServiceSession &session);
    ~TPrn_YearChart() override;

    const YearChartData &Data() const { return m_data; }

    // Per month: the name, charges, payments and running balance.
    std::optional<CsvTable> SpreadsheetTable() const override;

    // Height of the chart band in millimetres.
    static constexpr double kChartHeightMm = 150;

private:
    void BuildTitleBand(const TU_WEBServiceSession &session);
    void BuildChartBand();

    YearChartData m_data;
};

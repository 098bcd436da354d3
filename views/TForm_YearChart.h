#pragma once

#include "account/YearChartData.h"

#include <QDialog>

#include <memory>

class TPrn_YearChart;
class TU_WEBServiceSession;
class TWBitBtn;

// The chart of one category's year, "Wykres rozrachunków": the months'
// charges and payments as bars and the running balance as a line, painted by
// LayoutYearChart, with print and preview of the same picture and a close
// button (Esc).
class TForm_YearChart : public QDialog
{
    Q_OBJECT

public:
    // The printout's header comes from `session`.
    TForm_YearChart(const YearChartData &data, const TU_WEBServiceSession &session, QWidget *owner);
    ~TForm_YearChart() override;

    // Creates the window, shows it modally and destroys it when it closes.
    static void Open(const YearChartData &data, const TU_WEBServiceSession &session, QWidget *owner);

    void ButtonPrintClick();
    void ButtonPreviewClick();

    const YearChartData &Data() const { return m_data; }
    QWidget *Chart() const { return m_chart; }
    TPrn_YearChart *Report() const { return m_report.get(); }

private:
    YearChartData m_data;
    QWidget *m_chart = nullptr;
    std::unique_ptr<TPrn_YearChart> m_report;
};

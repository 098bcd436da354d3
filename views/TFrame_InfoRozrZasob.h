#pragma once

#include <QList>
#include <QWidget>

#include <array>

class TU_WEBServiceData;

// One year's figures as the settlements panel takes them: the year, the months
// to show, the five service flags and the debit (WN) and credit (MA) arrays in
// the fixed category order.
struct TSettlementsYear
{
    int Year = 0;
    int MonthCount = 0;
    std::array<bool, 5> ServiceF{};
    int CZYearStart = 0;
    int WOYearStart = 0;
    std::array<QList<double>, 5> WN;
    std::array<QList<double>, 5> MA;

    // The store's shown year, ready for the panel.
    static TSettlementsYear FromStore(const TU_WEBServiceData &store);
};

// The settlements by category panel: the title strip with the year, print and
// preview, and a tab per offered category holding its yearly table or a notice.
class TFrame_InfoRozrZasob : public QWidget
{
    Q_OBJECT

public:
    explicit TFrame_InfoRozrZasob(QWidget *parent = nullptr);
    ~TFrame_InfoRozrZasob() override;

    void ShowSettlements(const TSettlementsYear &year);

    // Navigation keys of the main window, acting on the active tab's table.
    void SelectNextMonth();
    void SelectPreviousMonth();
    void SelectFirstMonth();
    void SelectLastMonth();
    void OpenSelectedMonth();

    // Destroys the report of each table (the main window's close handler).
    void DestroyReports();

    QWidget *PageControl1() const;
};

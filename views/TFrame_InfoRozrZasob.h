#pragma once

#include <QList>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QTabWidget;
class TFrame_InfoRozrTabela;
class TPrn_InfoRozrZasob;
class AccountService;
class TU_WEBServiceData;
class TWSpeedButton;

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
// A category's table is built when its tab is first shown or asked for, with
// the figures of the year on view: start-up builds only the first.
class TFrame_InfoRozrZasob : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kTabCount = 5;
    // Waste is settled on its own account from this year on.
    static constexpr int kOdpadyYearStart = 2013;

    // The tables show and print `service`'s account and fetch through it.
    explicit TFrame_InfoRozrZasob(AccountService &service, QWidget *parent = nullptr);
    ~TFrame_InfoRozrZasob() override;

    // Shows one year: the title, the offered tabs, table or notice per tab, the
    // figures of every category; the first offered tab ("Czynsze" when rents
    // are offered) becomes active and no month is highlighted.
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

    // True when the active tab shows its table (not its notice).
    bool CurrentShowsTable() const;
    // The report that print and preview act on: the active table's, or null
    // while a notice is shown.
    TPrn_InfoRozrZasob *CurrentReport() const;

    TFrame_InfoRozrTabela *CurrentTable() const { return m_currentTable; }
    // The table of category 0 to 4, built on first use.
    TFrame_InfoRozrTabela *Table(int category) const;

    void ButtonPrintClick();
    void ButtonPreviewClick();
    // The chart of the active table's year (Ctrl+G) and its rows saved for a
    // spreadsheet (Ctrl+E); nothing while a notice is shown.
    void ButtonChartClick();
    void ButtonCsvClick();

    int Year() const { return m_shown ? m_shown->Year : 0; }
    int MonthCount() const { return m_shown ? m_shown->MonthCount : 0; }

private:
    struct CategoryTab
    {
        QWidget *page = nullptr;
        QWidget *notice = nullptr;
        // Built on first use (BuiltTable), which a const accessor may do.
        mutable TFrame_InfoRozrTabela *table = nullptr;
        // Whether the table (rather than the notice) is shown, also while
        // the table is not built yet.
        bool showsTable = true;
    };

    TFrame_InfoRozrTabela *BuiltTable(int category) const;
    // What the table of a category shows of the year on view, and whether.
    void ShowYearIn(int category, TFrame_InfoRozrTabela &table) const;
    void PageControl1Change(int index);

    AccountService &m_service;
    QTabWidget *m_pageControl = nullptr;
    QLabel *m_labTytulRok = nullptr;
    TWSpeedButton *m_buttonPrint = nullptr;
    TWSpeedButton *m_buttonPreview = nullptr;
    TWSpeedButton *m_buttonChart = nullptr;
    TWSpeedButton *m_buttonCsv = nullptr;
    std::array<CategoryTab, kTabCount> m_tabs;
    // The year on view; the tables built later take it from here.
    std::optional<TSettlementsYear> m_shown;
    bool m_reportsDestroyed = false;
    TFrame_InfoRozrTabela *m_currentTable = nullptr;
};

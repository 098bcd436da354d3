#pragma once

#include "account/YearSettlementFigures.h"

#include <QList>
#include <QWidget>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class AccountService;
class TPrn_InfoRozrZasob;

// The yearly settlement table of one category: the opening state, one row per
// month and the totals, with the month and running balances coloured red for
// an underpayment and green otherwise. A click highlights a month; a double
// click (or OpenSelectedMonth) opens its month card. Every figure comes from
// YearSettlementFigures; the table's own report gets the same figures.
class TFrame_InfoRozrTabela : public QWidget
{
    Q_OBJECT

public:
    // The table's report prints `service`'s account; a month's ledger is
    // fetched through it.
    explicit TFrame_InfoRozrTabela(AccountService &service, QWidget *parent = nullptr);
    ~TFrame_InfoRozrTabela() override;

    // Stores the year and the months to show (taken to 1..12), removes the
    // highlight, hides the months after the count and moves the totals up.
    void SetPeriod(int year, int monthCount);

    // Fills the table for one category from its 13 debit and 13 credit slots
    // (missing values count as 0) and hands the figures to the report.
    void ShowCategory(int category, const QList<double> &debits, const QList<double> &credits);

    // Fetches the ledger of month 1..12 and opens its month card, or tells the
    // user that the month has no documents. Months not shown do nothing.
    void OpenMonth(int month);

    void ClearSelection();
    // Highlights month 1..12; a highlighted month stays highlighted.
    void SelectMonth(int month);
    void SelectNextMonth();
    void SelectPreviousMonth();
    void OpenSelectedMonth();

    // A click and a double click anywhere on a month row.
    void Panel_Click(int month);
    void Panel_DblClick(int month);

    // The highlighted month, 0 when none.
    int SelectedMonth() const { return m_selectedMonth; }

    int Year() const { return m_year; }
    int MonthCount() const { return m_monthCount; }
    int Category() const { return m_category; }
    const YearSettlementFigures &Figures() const { return m_figures; }

    // The table's settlements report; null once destroyed.
    TPrn_InfoRozrZasob *Prn_InfoRozrZasob() const { return m_report.get(); }
    // Destroys the report (the main window does it when it closes).
    void DestroyReport();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct MonthRow
    {
        QWidget *panel = nullptr;
        QLabel *name = nullptr;
        QLabel *debit = nullptr;
        QLabel *credit = nullptr;
        QLabel *saldoMca = nullptr;
        QLabel *saldoNar = nullptr;
        double saldoMcaValue = 0;
        double saldoNarValue = 0;
    };

    void BuildControls();
    void PaintRow(int month);
    MonthRow &Row(int month) { return m_rows[std::size_t(month - 1)]; }

    AccountService &m_service;
    int m_year = 0;
    int m_monthCount = 12;
    int m_category = 0;
    int m_selectedMonth = 0;
    YearSettlementFigures m_figures;
    std::unique_ptr<TPrn_InfoRozrZasob> m_report;

    QWidget *m_panelDane = nullptr;
    QWidget *m_panelBO = nullptr;
    QLabel *m_labWN_BO = nullptr;
    QLabel *m_labMA_BO = nullptr;
    QLabel *m_labSaldoNar_BO = nullptr;
    std::array<MonthRow, 12> m_rows;
    QWidget *m_panelRazem = nullptr;
    QLabel *m_labWN_Razem = nullptr;
    QLabel *m_labMA_Razem = nullptr;
    QLabel *m_labSaldoNar_Razem = nullptr;
    QLabel *m_labSaldoOpis = nullptr;
};

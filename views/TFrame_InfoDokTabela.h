#pragma once

#include "account/MonthCardFigures.h"
#include "protocol/IZOKA_E_BOK.h"

#include <QWidget>

#include <array>

class QLabel;
class QPainter;
class QStyleOptionViewItem;
class QTableWidget;
class AccountService;
class TU_WEBServiceKsgData;

// The document table of a month card: the numbered documents of one month of
// one category between the opening state above and the month's and the
// cumulative state below, the amount labels aligned under the amount columns.
// Payment terms after the month are painted yellow, with a legend shown only
// when such a term exists. A double click (or Enter in the month card) on a
// charge opens its detail.
class TFrame_InfoDokTabela : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kColumnCount = 7;
    static constexpr std::array<int, kColumnCount> kColumnWidths{30, 100, 110, 110, 110, 110, 250};
    // More entries than this widen the grid by a scroll bar.
    static constexpr int kPlainWidthEntries = 10;
    static constexpr int kStanKoncHeight = 82;
    static constexpr int kStanKoncHeightNoLegend = 46;

    // A charge's details are fetched through `service` into its account.
    explicit TFrame_InfoDokTabela(AccountService &service, QWidget *parent = nullptr);
    ~TFrame_InfoDokTabela() override;

    // Fills the frame once with the ledger's KsgNumber entries and sizes it
    // to show every row. Every array read is bounds-checked: an array shorter
    // than the entry count throws IndexError before anything is shown.
    void LoadDocuments(int year, int month, const TU_WEBServiceKsgData &ledger, const AccountState &opening,
                       int category);

    // Opens the detail of the charge on the grid's selected row; a payment or
    // re-posting only gets a message.
    void SG_DokDblClick();

    QTableWidget *SG_Dok() const { return m_sgDok; }
    const MonthCardFigures &Figures() const { return m_figures; }
    int Year() const { return m_year; }
    int Month() const { return m_month; }
    int KontoKsg() const { return m_kontoKsg; }
    double MonthEnd() const { return m_monthEnd; }

private:
    void SG_DokDrawCell(QPainter &painter, int column, int row, const QStyleOptionViewItem &option) const;
    void SG_Dok_TytulDrawCell(QPainter &painter, int column, int row, const QStyleOptionViewItem &option) const;
    QString CellText(const QTableWidget *grid, int column, int row) const;

    AccountService &m_service;
    int m_year = 0;
    int m_month = 0;
    double m_monthEnd = 0;
    int m_kontoKsg = 0;
    TBoundArray m_ksgTypDok;
    TBoundArray m_ksgID_Dok_Master;
    TDoubleDynArray m_ksgDataOperRozrach;
    TBoundArray m_ksgStrona;
    MonthCardFigures m_figures;

    QWidget *m_panelDane = nullptr;
    QTableWidget *m_sgDokTytul = nullptr;
    QTableWidget *m_sgDok = nullptr;
    QWidget *m_panelStanPocz = nullptr;
    QWidget *m_panelStanKonc = nullptr;
    QLabel *m_labOpisPocz = nullptr;
    QLabel *m_labOpisMca = nullptr;
    QLabel *m_labOpisNar = nullptr;
    QLabel *m_labIloscOper = nullptr;
    // Debit, credit and balance labels of the opening, month and cumulative rows.
    std::array<QLabel *, 3> m_labWN{};
    std::array<QLabel *, 3> m_labMA{};
    std::array<QLabel *, 3> m_labSaldo{};
};

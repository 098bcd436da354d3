#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QPainter;
class QStyleOptionViewItem;
class QTableWidget;
class TU_WEBServiceDokData;

// The component table of a charge: name, quantity, price, coefficient and
// gross amount of every component with the gross total. For a charge over
// part of one month a mark column flags the proportional components and a
// legend explains the mark. At most 16 rows show; beyond 15 components the
// grid is widened by a scroll bar and enabled so that it can scroll.
class TFrame_InfoCzynszTabela : public QWidget
{
    Q_OBJECT

public:
    static constexpr std::array<int, 6> kColumnWidths{30, 170, 100, 70, 70, 70};
    static constexpr int kMarkColumnWidth = 20;
    // Components shown without scrolling; the title row makes 16 grid rows.
    static constexpr int kComponentsWithoutScrolling = 15;
    static constexpr int kMaxVisibleRows = 16;

    explicit TFrame_InfoCzynszTabela(QWidget *parent = nullptr);
    ~TFrame_InfoCzynszTabela() override;

    // Fills the table with `sklNumber` components of `details` and sizes the
    // frame. Every component is read with a bounds check: an array shorter
    // than the count throws IndexError before anything is shown. The service
    // kind and the VAT rates are kept for the report, not shown.
    void LoadComponents(int zasobKind, int sklNumber, bool partialMonth, const TU_WEBServiceDokData &details);

    QTableWidget *SG_Skl() const { return m_sgSkl; }
    double GrossTotal() const { return m_grossTotal; }
    bool PartialMonth() const { return m_partialMonth; }
    int ZasobKind() const { return m_zasobKind; }
    // Grid rows, the title row included, and how many of them show at once.
    int GridRows() const;
    int VisibleGridRows() const;

private:
    void SG_SklDrawCell(QPainter &painter, int column, int row, const QStyleOptionViewItem &option) const;

    QTableWidget *m_sgSkl = nullptr;
    QWidget *m_panelDane = nullptr;
    QLabel *m_labOpisRazem = nullptr;
    QLabel *m_labBruttoRazem = nullptr;
    QLabel *m_labNettoRazem = nullptr;
    QLabel *m_labVATRazem = nullptr;
    QLabel *m_labLegenda = nullptr;
    bool m_partialMonth = false;
    double m_grossTotal = 0;
    int m_zasobKind = 0;
};

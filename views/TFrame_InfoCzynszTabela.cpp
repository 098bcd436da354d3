#include "views/TFrame_InfoCzynszTabela.h"

#include "account/FormatAmount.h"
#include "account/TU_WEBServiceDokData.h"
#include "forms/ProgramColours.h"
#include "views/GridGeometry.h"
#include "views/LabelLook.h"
#include "views/TGridCellDelegate.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using GridGeometry::Align;

constexpr int kGridLeft = 8;
constexpr int kGridTop = 26;
constexpr int kTotalLabelWidth = 70;

Align ColumnAlign(int column)
{
    switch (column) {
    case 1: return Align::Left;
    case 6: return Align::Centre;
    default: return Align::Right;
    }
}

} // namespace

TFrame_InfoCzynszTabela::TFrame_InfoCzynszTabela(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frame_InfoCzynszTabela1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_panelDane = new QWidget(this);
    m_panelDane->setObjectName(QStringLiteral("PanelDane"));
    layout->addWidget(m_panelDane);

    auto *title = new QLabel(QStringLiteral("Szczegóły naliczenia obciążenia:"), m_panelDane);
    title->setObjectName(QStringLiteral("Lab_Tytul"));
    title->adjustSize();
    title->move(8, 5);

    m_sgSkl = new QTableWidget(1, int(kColumnWidths.size()), m_panelDane);
    m_sgSkl->setObjectName(QStringLiteral("SG_Skl"));
    GridGeometry::Apply(*m_sgSkl, kColumnWidths);
    // The title row stays in place while the components scroll.
    QHeaderView *header = m_sgSkl->horizontalHeader();
    header->show();
    header->setDefaultAlignment(Qt::AlignCenter);
    m_sgSkl->setHorizontalHeaderLabels({QStringLiteral(" Lp."), QStringLiteral(" Nazwa "), QStringLiteral(" Ilość "),
                                        QStringLiteral(" Cena "), QStringLiteral(" Współcz. "),
                                        QStringLiteral(" Brutto ")});
    m_sgSkl->move(kGridLeft, kGridTop);
    m_sgSkl->setEnabled(false);
    // A disabled grid still reads like an enabled one.
    QPalette readable = m_sgSkl->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText, QPalette::Base,
                                     QPalette::Window, QPalette::Button}) {
        readable.setColor(QPalette::Disabled, role, readable.color(QPalette::Active, role));
    }
    m_sgSkl->setPalette(readable);
    m_sgSkl->setItemDelegate(new TGridCellDelegate(
        [this](QPainter &p, int c, int r, const QStyleOptionViewItem &o) { SG_SklDrawCell(p, c, r, o); }, m_sgSkl));
    m_sgSkl->setCurrentCell(0, 1);

    const QColor navy = kColourNavy;
    m_labOpisRazem = AddLabel(m_panelDane, QStringLiteral("Lab_Opis_Razem"), QStringLiteral("Razem:"),
                              QRect(0, 0, 49, 16), {.alignment = Qt::AlignLeft, .colour = navy});
    m_labBruttoRazem = AddLabel(m_panelDane, QStringLiteral("Lab_Brutto_Razem"), QString(),
                                QRect(0, 0, kTotalLabelWidth, 16), {.alignment = Qt::AlignRight, .colour = navy});
    // Net and VAT totals are never shown.
    m_labNettoRazem = AddLabel(m_panelDane, QStringLiteral("Lab_Netto_Razem"), QStringLiteral("0,00"),
                               QRect(0, 0, kTotalLabelWidth, 16), {.alignment = Qt::AlignRight, .colour = navy});
    m_labVATRazem = AddLabel(m_panelDane, QStringLiteral("Lab_VAT_Razem"), QStringLiteral("0,00"),
                             QRect(0, 0, kTotalLabelWidth, 16), {.alignment = Qt::AlignRight, .colour = navy});
    m_labNettoRazem->hide();
    m_labVATRazem->hide();

    m_labLegenda = AddLabel(m_panelDane, QStringLiteral("Lab_Legenda"),
                            QStringLiteral("* - pozycje obliczone proporcjonalnie za część miesiąca"),
                            QRect(8, 0, 0, 14), {.alignment = Qt::AlignLeft});
    QFont small = m_labLegenda->font();
    small.setPixelSize(11);
    m_labLegenda->setFont(small);
    m_labLegenda->adjustSize();
}

TFrame_InfoCzynszTabela::~TFrame_InfoCzynszTabela() = default;

int TFrame_InfoCzynszTabela::GridRows() const
{
    return m_sgSkl->rowCount() + 1;
}

int TFrame_InfoCzynszTabela::VisibleGridRows() const
{
    return std::min(GridRows(), kMaxVisibleRows);
}

void TFrame_InfoCzynszTabela::LoadComponents(int zasobKind, int sklNumber, bool partialMonth,
                                             const TU_WEBServiceDokData &details)
{
    const int count = std::max(sklNumber, 0);
    // Everything is read (and checked) before anything is shown.
    QList<TDokComponent> components;
    // No more room than the arrays can fill: the count comes from the service.
    components.reserve(std::min(qsizetype(count), details.NazwaSkl.size()));
    for (int i = 0; i < count; ++i)
        components.append(details.Component(i));

    m_zasobKind = zasobKind;
    m_partialMonth = partialMonth;
    m_labLegenda->setVisible(partialMonth);
    QList<int> widths(kColumnWidths.begin(), kColumnWidths.end());
    if (partialMonth) {
        widths.append(kMarkColumnWidth);
        m_sgSkl->setColumnCount(int(widths.size()));
        m_sgSkl->setColumnWidth(6, kMarkColumnWidth + 1);
        m_sgSkl->setHorizontalHeaderItem(6, new QTableWidgetItem(QStringLiteral(" ")));
    }

    m_sgSkl->setRowCount(count);
    const bool scrolls = count > kComponentsWithoutScrolling;
    int width = GridGeometry::Width(widths);
    if (scrolls)
        width += GridGeometry::ScrollBarWidth(m_sgSkl) + 2;
    m_sgSkl->setFixedSize(width, GridGeometry::Height(VisibleGridRows()));
    m_sgSkl->setEnabled(scrolls);

    const int bruttoLeft = m_sgSkl->x() + GridGeometry::ColumnOffset(widths, 5);
    const int totalsTop = m_sgSkl->y() + m_sgSkl->height() + 5;
    for (QLabel *label : {m_labBruttoRazem, m_labNettoRazem, m_labVATRazem})
        label->move(bruttoLeft, totalsTop);
    m_labOpisRazem->move(bruttoLeft - m_labOpisRazem->width() - 10, totalsTop);
    m_labLegenda->move(m_labLegenda->x(), totalsTop + m_labOpisRazem->height() + 5);

    m_grossTotal = 0;
    for (int i = 0; i < count; ++i) {
        const TDokComponent &c = components[i];
        const double gross = c.ValueNetto + c.ValueVAT;
        QStringList cells{QString::number(i + 1), c.NazwaSkl,     c.IloscAsStr,
                          FormatAmount(c.Cena),   c.WspolczAsStr, FormatAmount(gross)};
        if (partialMonth)
            cells << (c.UwzglCzescMca ? QStringLiteral("*") : QStringLiteral(" "));
        for (int col = 0; col < cells.size(); ++col)
            m_sgSkl->setItem(i, col, new QTableWidgetItem(cells[col]));
        m_grossTotal += gross;
    }
    m_labBruttoRazem->setText(FormatAmount(m_grossTotal));
    if (count > 0)
        m_sgSkl->setCurrentCell(0, 1);

    const QLabel *last = partialMonth ? m_labLegenda : m_labOpisRazem;
    setFixedSize(width + 20, last->y() + last->height() + 10);
}

void TFrame_InfoCzynszTabela::SG_SklDrawCell(QPainter &painter, int column, int row,
                                             const QStyleOptionViewItem &option) const
{
    const QTableWidgetItem *item = m_sgSkl->item(row, column);
    const QString text = item ? item->text() : QString();
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect &cell = option.rect;
    const int columnWidth = column < int(kColumnWidths.size()) ? kColumnWidths[std::size_t(column)] : kMarkColumnWidth;
    const int x = GridGeometry::TextX(ColumnAlign(column), cell.left(), columnWidth, metrics.horizontalAdvance(text));
    const int y = GridGeometry::TextY(cell.top(), GridGeometry::kRowHeight, metrics.height());

    // An unfocused grid shows no selected row.
    const bool selected = (option.state & QStyle::State_Selected) && m_sgSkl->hasFocus();
    const QPalette &pal = option.palette;
    const QColor background = pal.color(QPalette::Active, selected ? QPalette::Highlight : QPalette::Base);
    const QColor textColour = pal.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
    TGridCellDelegate::PaintCell(painter, cell, text, x, y, background, textColour);
}

#include "views/GridGeometry.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

namespace GridGeometry {

namespace {
constexpr int kLine = 1;
constexpr int kBorderWidth = 2; // both sides
constexpr int kBorderHeight = 4; // as the grids were always measured
} // namespace

int Height(int rows, int rowHeight)
{
    return std::max(rows, 0) * (rowHeight + kLine) + kBorderHeight;
}

int Width(std::span<const int> columnWidths)
{
    return ColumnOffset(columnWidths, int(columnWidths.size())) + kBorderWidth;
}

int ColumnOffset(std::span<const int> columnWidths, int column)
{
    int x = 0;
    for (int c = 0; c < column && c < int(columnWidths.size()); ++c)
        x += columnWidths[c] + kLine;
    return x;
}

int TextX(Align align, int cellLeft, int cellWidth, int textWidth)
{
    switch (align) {
    case Align::Left: return cellLeft + 2;
    case Align::Centre: return std::max(cellLeft, cellLeft + (cellWidth - textWidth) / 2);
    case Align::Right: return std::max(cellLeft, cellLeft + cellWidth - textWidth - 4);
    }
    return cellLeft;
}

int TextY(int cellTop, int rowHeight, int textHeight)
{
    return cellTop + (rowHeight - textHeight) / 2;
}

int ScrollBarWidth(const QWidget *widget)
{
    return widget->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, widget);
}

void Apply(QTableWidget &grid, std::span<const int> columnWidths, int rowHeight)
{
    grid.setFrameStyle(QFrame::Box | QFrame::Plain);
    grid.setLineWidth(1);
    // The cell delegate draws the lines: the grid's own would rule every row.
    grid.setShowGrid(false);
    grid.setWordWrap(false);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid.setSelectionBehavior(QAbstractItemView::SelectRows);
    grid.setSelectionMode(QAbstractItemView::SingleSelection);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid.setColumnCount(int(columnWidths.size()));
    for (QHeaderView *header : {grid.horizontalHeader(), grid.verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
        header->setHighlightSections(false);
        header->hide();
    }
    grid.horizontalHeader()->setFixedHeight(rowHeight + kLine);
    grid.verticalHeader()->setDefaultSectionSize(rowHeight + kLine);
    for (int c = 0; c < int(columnWidths.size()); ++c)
        grid.setColumnWidth(c, columnWidths[c] + kLine);
}

} // namespace GridGeometry

#pragma once

#include <QStyledItemDelegate>

#include <functional>

// Owner drawing of a string grid: every cell is painted by the grid's owner
// (its DrawCell handler) instead of the style. The delegate draws the grid's
// lines too (the grid draws none of its own): each cell keeps its last column
// and its last row of pixels for them. Vertical lines run through every row;
// a horizontal line is drawn only under the first `fixedRows` rows (the title
// rows), so the entry rows are not ruled.
class TGridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using DrawCell = std::function<void(QPainter &painter, int column, int row, const QStyleOptionViewItem &option)>;

    TGridCellDelegate(DrawCell drawCell, QObject *parent, int fixedRows = 0);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Fills the cell with `background` and draws `text` at (x, y) (y the top
    // of the text) in `textColour`, clipped to the cell.
    static void PaintCell(QPainter &painter, const QRect &cell, const QString &text, int x, int y,
                          const QBrush &background, const QColor &textColour);

private:
    DrawCell m_drawCell;
    int m_fixedRows = 0;
};

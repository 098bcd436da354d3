#pragma once

#include <QStyledItemDelegate>

#include <functional>

// Owner drawing of a string grid: every cell is painted by the grid's owner
// (its DrawCell handler) instead of the style.
class TGridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using DrawCell = std::function<void(QPainter &painter, int column, int row, const QStyleOptionViewItem &option)>;

    TGridCellDelegate(DrawCell drawCell, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Fills the cell with `background` and draws `text` at (x, y) (y the top
    // of the text) in `textColour`, clipped to the cell.
    static void PaintCell(QPainter &painter, const QRect &cell, const QString &text, int x, int y,
                          const QBrush &background, const QColor &textColour);

private:
    DrawCell m_drawCell;
};

#include "views/TGridCellDelegate.h"

#include <QPainter>

TGridCellDelegate::TGridCellDelegate(DrawCell drawCell, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_drawCell(std::move(drawCell))
{
}

void TGridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    painter->setFont(option.font);
    m_drawCell(*painter, index.column(), index.row(), option);
    painter->restore();
}

void TGridCellDelegate::PaintCell(QPainter &painter, const QRect &cell, const QString &text, int x, int y,
                                  const QBrush &background, const QColor &textColour)
{
    painter.fillRect(cell, background);
    painter.setClipRect(cell);
    painter.setPen(textColour);
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

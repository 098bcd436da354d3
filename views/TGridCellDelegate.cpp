#include "views/TGridCellDelegate.h"

#include <QPainter>
#include <QStyle>
#include <QWidget>

TGridCellDelegate::TGridCellDelegate(DrawCell drawCell, QObject *parent, int fixedRows)
    : QStyledItemDelegate(parent), m_drawCell(std::move(drawCell)), m_fixedRows(fixedRows)
{
}

void TGridCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The cell proper leaves the last column and row of pixels to the lines.
    QStyleOptionViewItem cell = option;
    cell.rect = option.rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setFont(option.font);
    m_drawCell(*painter, index.column(), index.row(), cell);
    painter->restore();

    const QStyle *style = option.widget ? option.widget->style() : nullptr;
    const QColor line = style
        ? QColor::fromRgba(QRgb(style->styleHint(QStyle::SH_Table_GridLineColor, &option, option.widget)))
        : option.palette.color(QPalette::Active, QPalette::Mid);
    const QRect &r = option.rect;
    const bool ruled = index.row() < m_fixedRows;
    painter->fillRect(QRect(r.left(), r.bottom(), r.width() - 1, 1),
                      ruled ? line : option.palette.color(QPalette::Active, QPalette::Base));
    painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), line);
}

void TGridCellDelegate::PaintCell(QPainter &painter, const QRect &cell, const QString &text, int x, int y,
                                  const QBrush &background, const QColor &textColour)
{
    painter.fillRect(cell, background);
    painter.setClipRect(cell);
    painter.setPen(textColour);
    painter.drawText(QPoint(x, y + painter.fontMetrics().ascent()), text);
}

#include "engine/PagePainter.h"

#include "engine/PageStore.h"
#include "engine/ReportEngineError.h"
#include "engine/ReportUnits.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace {

void SetSheet(QPagedPaintDevice &device, const ReportPage &page)
{
    const QSizeF mm(ReportUnits::ToMillimetres(page.width), ReportUnits::ToMillimetres(page.height));
    const bool landscape = mm.width() > mm.height();
    const QPageSize size(landscape ? mm.transposed() : mm, QPageSize::Millimeter);
    device.setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
}

} // namespace

PagePainter::PagePainter(const PageStore &pages) : m_pages(pages)
{
}

PagePainter::~PagePainter() = default;

QTransform PagePainter::pageTransform(qreal dpiX, qreal dpiY, QPointF origin)
{
    return QTransform::fromTranslate(origin.x(), origin.y())
        .scale(dpiX / ReportUnits::PerInch, dpiY / ReportUnits::PerInch);
}

void PagePainter::paintPage(int index, QPainter &painter)
{
    const ReportPage &page = m_pages.page(index);
    // The store may have gained fonts since the last page.
    for (size_t i = m_fonts.size(); i < m_pages.fonts().size(); ++i)
        m_fonts.push_back(m_pages.fonts()[i].layoutFont());

    painter.save();
    for (const PageRect &r : page.rects) {
        if (r.penWidth > 0)
            painter.setPen(QPen(QColor::fromRgba(r.penColor), r.penWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        else
            painter.setPen(Qt::NoPen);
        painter.setBrush(qAlpha(r.fill) ? QBrush(QColor::fromRgba(r.fill)) : QBrush(Qt::NoBrush));
        painter.drawRect(QRectF(r.x, r.y, r.width, r.height));
    }
    painter.setBrush(Qt::NoBrush);
    for (const PageLine &l : page.lines) {
        // Width 0 is a hairline: one device pixel.
        painter.setPen(QPen(QColor::fromRgba(l.color), l.penWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QLineF(l.x1, l.y1, l.x2, l.y2));
    }
    int currentFont = -1;
    for (const PageText &t : page.texts) {
        if (t.font != currentFont) {
            if (t.font < 0 || std::size_t(t.font) >= m_fonts.size())
                throw ReportEngineError(ReportEngineError::Kind::UnknownFont);
            painter.setFont(m_fonts[std::size_t(t.font)]);
            currentFont = t.font;
        }
        painter.setPen(QColor::fromRgba(t.color));
        const QRectF extent(t.x, t.y, t.width, t.height);
        const int flags = int(ToQtAlignment(t.alignment) | Qt::AlignTop) | Qt::TextSingleLine | Qt::TextDontClip;
        if (t.clipWidth > 0) {
            // Cut sideways only: accents and descenders may reach past the line.
            painter.save();
            painter.setClipRect(QRectF(t.clipLeft, t.y - t.height, t.clipWidth, 3.0 * t.height), Qt::IntersectClip);
            painter.drawText(extent, flags, t.text);
            painter.restore();
        } else {
            painter.drawText(extent, flags, t.text);
        }
    }
    painter.restore();
}

void PagePainter::print(QPagedPaintDevice &device, int firstPage, int lastPage)
{
    const int count = m_pages.pageCount();
    if (count == 0)
        throw ReportEngineError(ReportEngineError::Kind::NoPages);
    const int from = firstPage > 0 ? firstPage : 1;
    const int to = lastPage > 0 ? std::min(lastPage, count) : count;
    if (from > to)
        throw ReportEngineError::number(ReportEngineError::Kind::EmptyPageRange, count);

    SetSheet(device, m_pages.page(from - 1));
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportEngineError(ReportEngineError::Kind::PrintNotStarted);
    for (int number = from; number <= to; ++number) {
        const ReportPage &current = m_pages.page(number - 1);
        if (number > from) {
            const ReportPage &previous = m_pages.page(number - 2);
            if (current.width != previous.width || current.height != previous.height)
                SetSheet(device, current);
            if (!device.newPage())
                throw ReportEngineError::number(ReportEngineError::Kind::PrintInterrupted, number);
        }
        // The painter starts at the printable area's corner; move back to the paper's.
        const int dpi = device.logicalDpiX();
        const QPoint offset = device.pageLayout().paintRectPixels(dpi).topLeft();
        painter.setTransform(pageTransform(device.logicalDpiX(), device.logicalDpiY(), -QPointF(offset)));
        paintPage(number - 1, painter);
    }
    if (!painter.end())
        throw ReportEngineError(ReportEngineError::Kind::PrintNotFinished);
}

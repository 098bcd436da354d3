#include "engine_widgets/ReportPreviewControl.h"
#include "engine/PagePainter.h"

#include "engine/PageStore.h"
#include "engine/ReportUnits.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

ReportPreviewControl::ReportPreviewControl(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("Preview"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(8);
    horizontalScrollBar()->setSingleStep(8);
    updateScrollBars();
}

ReportPreviewControl::~ReportPreviewControl() = default;

void ReportPreviewControl::setPageStore(std::shared_ptr<PageStore> pages)
{
    if (m_pages)
        disconnect(m_pages.get(), nullptr, this, nullptr);
    m_pages = std::move(pages);
    m_page = 0;
    if (m_pages) {
        PageStore *store = m_pages.get();
        connect(store, &PageStore::pageAdded, this, &ReportPreviewControl::onPagesChanged);
        connect(store, &PageStore::pagesReplaced, this, [this] {
            m_page = 0;
            onPagesChanged();
        });
        connect(store, &PageStore::statusChanged, this, [this](PageStore::Status status) {
            if (status == PageStore::Status::Finished)
                Q_EMIT pageAvailable(pageCount());
        });
        connect(store, &PageStore::progressChanged, this, &ReportPreviewControl::progressChanged);
    }
    onPagesChanged();
}

int ReportPreviewControl::pageCount() const
{
    return m_pages ? m_pages->pageCount() : 0;
}

void ReportPreviewControl::onPagesChanged()
{
    const int count = pageCount();
    const int page = std::clamp(m_page == 0 ? 1 : m_page, std::min(1, count), count);
    if (page != m_page) {
        m_page = page;
        Q_EMIT pageNumberChanged(m_page);
    }
    updateScrollBars();
    viewport()->update();
    Q_EMIT pageAvailable(count);
}

void ReportPreviewControl::setZoom(int percent)
{
    const int zoom = std::clamp(percent, MinZoom, MaxZoom);
    if (zoom == m_zoom)
        return;
    // Keep the same spot of the page at the top of the view.
    const double share = verticalScrollBar()->maximum() > 0
        ? double(verticalScrollBar()->value()) / verticalScrollBar()->maximum()
        : 0.0;
    m_zoom = zoom;
    updateScrollBars();
    verticalScrollBar()->setValue(int(std::lround(share * verticalScrollBar()->maximum())));
    viewport()->update();
    Q_EMIT zoomChanged(m_zoom);
}

int ReportPreviewControl::fitZoom(double widthPixels, double heightPixels) const
{
    const QSize units = pageUnits();
    const double perCent = pixelsPerUnit(1);
    double zoom = (widthPixels - 2 * DeskMargin) / (units.width() * perCent);
    if (heightPixels > 0)
        zoom = std::min(zoom, (heightPixels - 2 * DeskMargin) / (units.height() * perCent));
    return int(std::floor(zoom));
}

void ReportPreviewControl::zoomToFit()
{
    const QSize area = maximumViewportSize();
    setZoom(fitZoom(area.width(), area.height()));
}

void ReportPreviewControl::zoomToWidth()
{
    const QSize area = maximumViewportSize();
    int zoom = fitZoom(area.width(), 0);
    // A page taller than the view brings a vertical scroll bar, which takes width.
    const double height = pageUnits().height() * pixelsPerUnit(zoom) + 2 * DeskMargin;
    if (height > area.height())
        zoom = fitZoom(area.width() - verticalScrollBar()->sizeHint().width(), 0);
    setZoom(zoom);
}

void ReportPreviewControl::setPageNumber(int number)
{
    const int count = pageCount();
    const int page = count == 0 ? 0 : std::clamp(number, 1, count);
    if (page == m_page)
        return;
    m_page = page;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    Q_EMIT pageNumberChanged(m_page);
}

void ReportPreviewControl::scrollVertically(int units)
{
    QScrollBar *bar = verticalScrollBar();
    bar->setValue(bar->value() + units * bar->singleStep());
}

bool ReportPreviewControl::isAtTop() const
{
    return verticalScrollBar()->value() <= verticalScrollBar()->minimum();
}

bool ReportPreviewControl::isAtBottom() const
{
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

QSize ReportPreviewControl::pageUnits() const
{
    if (m_pages && m_page > 0 && m_page <= m_pages->pageCount()) {
        const ReportPage &page = m_pages->page(m_page - 1);
        return QSize(page.width, page.height);
    }
    if (m_pages && m_pages->pageCount() > 0)
        return QSize(m_pages->page(0).width, m_pages->page(0).height);
    return QSize(21000, 29700);
}

double ReportPreviewControl::pixelsPerUnit(double zoom) const
{
    return logicalDpiX() * zoom / 100.0 / ReportUnits::PerInch;
}

QSize ReportPreviewControl::pagePixels() const
{
    const QSize units = pageUnits();
    const double scale = pixelsPerUnit(m_zoom);
    return QSize(int(std::lround(units.width() * scale)), int(std::lround(units.height() * scale)));
}

void ReportPreviewControl::updateScrollBars()
{
    // Work out which bars the page needs from the largest possible view, as
    // a bar that appears takes room from the other direction.
    const QSize content = pagePixels() + QSize(2 * DeskMargin, 2 * DeskMargin);
    QSize view = maximumViewportSize();
    const int barWidth = verticalScrollBar()->sizeHint().width();
    const int barHeight = horizontalScrollBar()->sizeHint().height();
    bool vertical = content.height() > view.height();
    if (vertical)
        view.rwidth() -= barWidth;
    if (content.width() > view.width()) {
        view.rheight() -= barHeight;
        if (!vertical && content.height() > view.height())
            view.rwidth() -= barWidth;
    }
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, content.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}

void ReportPreviewControl::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ReportPreviewControl::scrollContentsBy(int, int)
{
    viewport()->update();
}

void ReportPreviewControl::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(0x80, 0x80, 0x80));
    if (!m_pages || m_page < 1 || m_page > m_pages->pageCount())
        return;

    const QSize page = pagePixels();
    const QSize view = viewport()->size();
    const int contentWidth = page.width() + 2 * DeskMargin;
    const int x = contentWidth <= view.width() ? (view.width() - page.width()) / 2
                                               : DeskMargin - horizontalScrollBar()->value();
    const int y = DeskMargin - verticalScrollBar()->value();
    const QRect sheet(QPoint(x, y), page);
    painter.fillRect(sheet.translated(3, 3), QColor(0x40, 0x40, 0x40));
    painter.fillRect(sheet, Qt::white);

    painter.setClipRect(sheet);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double dpiScale = m_zoom / 100.0;
    painter.setTransform(
        PagePainter::pageTransform(logicalDpiX() * dpiScale, logicalDpiY() * dpiScale, sheet.topLeft()));
    PagePainter(*m_pages).paintPage(m_page - 1, painter);
}

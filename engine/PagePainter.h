#pragma once

#include <QPointF>
#include <QTransform>

#include <vector>

class PageStore;
class QFont;
class QPagedPaintDevice;
class QPainter;

// The one painting path of a page store's pages: the preview, the printer and
// PDF differ only in the device they hand it.
class PagePainter
{
public:
    explicit PagePainter(const PageStore &pages);
    ~PagePainter();

    // Paints page index (0-based) in engine units: the caller's painter maps a
    // hundredth of a millimetre to the device (see pageTransform).
    void paintPage(int index, QPainter &painter);
    // The transform that maps engine units onto a device of the given
    // resolution, with the paper's corner at origin (device pixels).
    static QTransform pageTransform(qreal dpiX, qreal dpiY, QPointF origin = {});

    // Paints pages firstPage..lastPage (1-based, 0 = first/last) on a printer or
    // PDF writer, each on a sheet of its own size. Throws ReportEngineError when
    // the store is empty, the range holds no page or the device refuses.
    void print(QPagedPaintDevice &device, int firstPage = 0, int lastPage = 0);

private:
    const PageStore &m_pages;
    std::vector<QFont> m_fonts;
};

#include "reports/engine/PageStore.h"

#include "common/Errors.h"
#include "reports/engine/ReportEngineError.h"
#include "reports/engine/BandedReport.h"
#include "reports/engine/ExportFilter.h"
#include "reports/engine/PrintFileCodec.h"
#include "reports/engine/ReportUnits.h"

#include <QFile>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>

PageStore::PageStore(QObject *parent) : QObject(parent)
{
}

PageStore::~PageStore() = default;

const ReportPage &PageStore::page(int index) const
{
    return CheckedAt(m_pages, index);
}

const ReportFont &PageStore::font(int index) const
{
    return CheckedAt(m_fonts, index);
}

quint16 PageStore::fontIndex(const ReportFont &font)
{
    if (const auto it = m_fontIndex.constFind(font); it != m_fontIndex.constEnd())
        return *it;
    if (m_fonts.size() >= size_t(PrintFileCodec::MaxFonts))
        throw ReportEngineError(ReportEngineError::Kind::TooManyFonts);
    const auto index = quint16(m_fonts.size());
    m_fonts.push_back(font);
    m_fontIndex.insert(font, index);
    return index;
}

BandedReport *PageStore::sourceReport() const
{
    return m_source;
}

void PageStore::cancel()
{
    if (m_status == Status::Generating)
        Q_EMIT cancelRequested();
}

void PageStore::clear()
{
    cancel();
    if (m_status == Status::Generating)
        finishGeneration(true);
    m_pages.clear();
    m_fonts.clear();
    m_fontIndex.clear();
    m_paintFonts.clear();
    m_source = nullptr;
    Q_EMIT pagesReplaced();
}

void PageStore::beginGeneration(BandedReport *source, int expectedPages)
{
    m_source = source;
    m_status = Status::Generating;
    m_cancelled = false;
    m_expectedPages = std::max(0, expectedPages);
    setProgress(0);
    Q_EMIT statusChanged(m_status);
}

void PageStore::appendPage(ReportPage page)
{
    m_pages.push_back(std::move(page));
    Q_EMIT pageAdded(pageCount());
    // The last preparation pass tells how many pages to expect; without one
    // the progress stays at 0 until the end.
    if (m_expectedPages > 0)
        setProgress(std::min(99, int(qint64(pageCount()) * 100 / m_expectedPages)));
}

void PageStore::finishGeneration(bool cancelled)
{
    if (m_status == Status::Finished)
        return;
    m_status = Status::Finished;
    m_cancelled = cancelled;
    setProgress(100);
    Q_EMIT statusChanged(m_status);
}

void PageStore::setProgress(int percent)
{
    if (percent == m_progress)
        return;
    m_progress = percent;
    Q_EMIT progressChanged(percent);
}

QTransform PageStore::pageTransform(qreal dpiX, qreal dpiY, QPointF origin)
{
    return QTransform::fromTranslate(origin.x(), origin.y()).scale(dpiX / ReportUnits::PerInch, dpiY / ReportUnits::PerInch);
}

void PageStore::paintPage(int index, QPainter &painter) const
{
    const ReportPage &page = this->page(index);
    if (m_paintFonts.size() != m_fonts.size()) {
        m_paintFonts.clear();
        m_paintFonts.reserve(m_fonts.size());
        for (const ReportFont &font : m_fonts)
            m_paintFonts.push_back(font.layoutFont());
    }

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
            painter.setFont(CheckedAt(m_paintFonts, t.font));
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

static void SetSheet(QPagedPaintDevice &device, const ReportPage &page)
{
    const QSizeF mm(ReportUnits::ToMillimetres(page.width), ReportUnits::ToMillimetres(page.height));
    const bool landscape = mm.width() > mm.height();
    const QPageSize size(landscape ? mm.transposed() : mm, QPageSize::Millimeter);
    device.setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
}

void PageStore::print(QPagedPaintDevice &device, int firstPage, int lastPage) const
{
    if (m_pages.empty())
        throw ReportEngineError(ReportEngineError::Kind::NoPages);
    const int from = firstPage > 0 ? firstPage : 1;
    const int to = lastPage > 0 ? std::min(lastPage, pageCount()) : pageCount();
    if (from > to)
        throw ReportEngineError::number(ReportEngineError::Kind::EmptyPageRange, pageCount());

    SetSheet(device, page(from - 1));
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportEngineError(ReportEngineError::Kind::PrintNotStarted);
    for (int number = from; number <= to; ++number) {
        const ReportPage &current = page(number - 1);
        if (number > from) {
            const ReportPage &previous = page(number - 2);
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

QByteArray PageStore::toPrintFile() const
{
    return PrintFileCodec::encode(m_title, m_fonts, m_pages);
}

void PageStore::save(const QString &fileName) const
{
    if (!isFinished())
        throw ReportEngineError(ReportEngineError::Kind::StillGeneratingSave);
    const QByteArray bytes = toPrintFile();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotWritten, fileName, file.errorString());
}

void PageStore::load(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotOpened, fileName, file.errorString());
    if (file.size() > PrintFileCodec::MaxFileSize)
        throw ReportEngineError::file(ReportEngineError::Kind::FileTooLarge, fileName);
    const QByteArray bytes = file.read(PrintFileCodec::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw ReportEngineError::file(ReportEngineError::Kind::FileNotRead, fileName, file.errorString());
    loadPrintFile(bytes);
}

void PageStore::loadPrintFile(const QByteArray &bytes)
{
    PrintFileContent content = PrintFileCodec::decode(bytes);
    cancel();
    if (m_status == Status::Generating)
        finishGeneration(true);
    m_title = std::move(content.title);
    m_fonts = std::move(content.fonts);
    m_pages = std::move(content.pages);
    m_fontIndex.clear();
    for (size_t i = 0; i < m_fonts.size(); ++i)
        m_fontIndex.insert(m_fonts[i], quint16(i));
    m_paintFonts.clear();
    m_source = nullptr;
    m_cancelled = false;
    Q_EMIT pagesReplaced();
}

void PageStore::exportTo(ExportFilter &filter) const
{
    if (!isFinished())
        throw ReportEngineError(ReportEngineError::Kind::StillGeneratingExport);
    if (m_source)
        m_source->exportTo(filter);
    else
        filter.exportPages(*this);
}

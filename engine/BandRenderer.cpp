#include "engine/BandRenderer.h"

#include "engine/PageStore.h"
#include "engine/ReportBand.h"
#include "engine/ReportPage.h"
#include "engine/ReportUnits.h"

#include <algorithm>

BandRenderer::BandRenderer(PageStore &store) : m_store(store)
{
}

void BandRenderer::render(const ReportBand &band, int x, int y, ReportPage &page)
{
    if (band.backgroundColor().isValid() && band.backgroundColor().alpha() > 0)
        page.rects.push_back({x, y, band.width(), band.height(), band.backgroundColor().rgba(), 0, 0});
    for (const ReportLabel &label : band.labels())
        renderLabel(label, x, y, page);
    for (const ReportShape &shape : band.shapes())
        renderShape(shape, x, y, page);
    renderFrame(band, x, y, page);
}

void BandRenderer::renderFrame(const ReportBand &band, int x, int y, ReportPage &page)
{
    const ReportBand::Frame &frame = band.frame();
    if (!frame.any())
        return;
    const QRgb color = frame.color.rgba();
    const int pen = ReportUnits::FromDesignPixels(frame.penWidth);
    const int right = x + band.width();
    const int bottom = y + band.height();
    if (frame.top)
        page.lines.push_back({x, y, right, y, color, pen});
    if (frame.bottom)
        page.lines.push_back({x, bottom, right, bottom, color, pen});
    if (frame.left)
        page.lines.push_back({x, y, x, bottom, color, pen});
    if (frame.right)
        page.lines.push_back({right, y, right, bottom, color, pen});
}

void BandRenderer::renderLabel(const ReportLabel &label, int x, int y, ReportPage &page)
{
    if (!label.isEnabled())
        return;
    const ReportFont &font = label.font();
    const bool wrap = label.wordWrap() && !label.autoSize() && label.width() > 0;
    std::vector<ReportTextMetrics::Line> lines = m_metrics.lines(font, label.caption(), wrap ? label.width() : 0);
    const int lineSpacing = m_metrics.lineSpacing(font);
    const int fontHeight = m_metrics.fontHeight(font);

    // A fixed box keeps the lines that fit its height; the first always prints.
    if (!label.autoSize() && label.height() > 0) {
        size_t fitting = 1;
        while (fitting < lines.size() && int(fitting) * lineSpacing + fontHeight <= label.height() + 1)
            ++fitting;
        lines.resize(std::min(lines.size(), fitting));
    }

    int textWidth = 0;
    for (const auto &line : lines)
        textWidth = std::max(textWidth, line.width);
    const int boxLeft = x + (label.autoSize() ? label.anchoredLeft(textWidth) : label.left());
    const int boxWidth = label.autoSize() ? textWidth : label.width();
    const int boxTop = y + label.top();
    const int textHeight = int(lines.size() - 1) * lineSpacing + fontHeight;
    const int boxHeight
        = label.autoSize() || label.height() == 0 ? std::max(label.height(), textHeight) : label.height();

    if (!label.isTransparent() && label.color().isValid())
        page.rects.push_back({boxLeft, boxTop, boxWidth, boxHeight, label.color().rgba(), 0, 0});

    const quint16 fontIndex = m_store.fontIndex(font);
    const QRgb color = label.textColor().rgba();
    int lineTop = boxTop;
    for (auto &line : lines) {
        if (!line.text.isEmpty()) {
            int left = boxLeft;
            if (label.alignment() == TextAlignment::Right)
                left = boxLeft + boxWidth - line.width;
            else if (label.alignment() == TextAlignment::Center)
                left = boxLeft + (boxWidth - line.width) / 2;
            PageText &text = page.texts.emplace_back(PageText{left, lineTop, line.width, fontHeight, fontIndex,
                                                              label.alignment(), color, std::move(line.text)});
            // A fixed box keeps its neighbours clear: a longer text is cut at its edges.
            if (!label.autoSize() && boxWidth > 0 && line.width > boxWidth) {
                text.clipLeft = boxLeft;
                text.clipWidth = boxWidth;
            }
        }
        lineTop += lineSpacing;
    }
}

void BandRenderer::renderShape(const ReportShape &shape, int x, int y, ReportPage &page)
{
    if (!shape.isEnabled())
        return;
    const int pen = ReportUnits::FromDesignPixels(shape.penWidth());
    const QRgb color = shape.penColor().rgba();
    const int left = x + shape.left();
    const int top = y + shape.top();
    switch (shape.kind()) {
    case ReportShape::Kind::HorizontalLine:
        page.lines.push_back({left, top, left + shape.width(), top, color, pen});
        break;
    case ReportShape::Kind::VerticalLine:
        page.lines.push_back({left, top, left, top + shape.height(), color, pen});
        break;
    case ReportShape::Kind::Rectangle: {
        const QColor &fill = shape.fillColor();
        page.rects.push_back({left, top, shape.width(), shape.height(), fill.isValid() ? fill.rgba() : 0, color, pen});
        break;
    }
    }
}

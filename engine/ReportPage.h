#pragma once

#include "engine/TextAlignment.h"

#include <QColor>
#include <QString>

#include <vector>

// One generated page as plain items in engine units (hundredths of a
// millimetre, origin at the paper's top left corner). Painting, the print file
// and every export read these items and nothing else.

// A filled and/or framed rectangle (band backgrounds, filled labels, frames).
struct PageRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    QRgb fill = 0; // alpha 0: not filled
    QRgb penColor = 0;
    int penWidth = 0; // 0: no outline
    friend bool operator==(const PageRect &, const PageRect &) = default;
};

struct PageLine
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    QRgb color = 0xFF000000;
    int penWidth = 0;
    friend bool operator==(const PageLine &, const PageLine &) = default;
};

// One line of text. The rectangle is the text's own extent as measured when the
// page was laid out (its width is the text's advance), so a right-aligned text
// ends exactly at x + width and exports can place it without measuring again.
// A text wider than the fixed box of its label is cut at the box's edges when
// painted (clipWidth > 0: the box runs from clipLeft to clipLeft + clipWidth);
// text exports keep the whole text.
struct PageText
{
    int x = 0;
    int y = 0; // top of the line
    int width = 0;
    int height = 0; // the font's line height
    quint16 font = 0; // index into the page store's font table
    TextAlignment alignment = TextAlignment::Left;
    QRgb color = 0xFF000000;
    QString text;
    int clipLeft = 0;
    int clipWidth = 0; // 0: not clipped
    friend bool operator==(const PageText &, const PageText &) = default;
};

// Painted in this order: rectangles, lines, texts.
struct ReportPage
{
    int width = 0;
    int height = 0;
    std::vector<PageRect> rects;
    std::vector<PageLine> lines;
    std::vector<PageText> texts;
    friend bool operator==(const ReportPage &, const ReportPage &) = default;
};

#pragma once

#include "engine/PagePainter.h"
#include "engine/PageStore.h"
#include "engine/ReportPage.h"
#include "engine/ReportUnits.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <algorithm>

// Reading generated report pages in tests: texts by content or position,
// lengths in millimetres.
namespace ReportPageProbe {

inline int Mm(double mm)
{
    return ReportUnits::FromMillimetres(mm);
}

inline const PageText *Find(const ReportPage &page, const QString &text)
{
    const auto it
        = std::find_if(page.texts.begin(), page.texts.end(), [&](const PageText &t) { return t.text == text; });
    return it == page.texts.end() ? nullptr : &*it;
}

inline int Count(const ReportPage &page, const QString &text)
{
    return int(std::count_if(page.texts.begin(), page.texts.end(), [&](const PageText &t) { return t.text == text; }));
}

inline bool AnyContains(const PageStore &pages, const QString &part)
{
    for (const ReportPage &page : pages.pages()) {
        for (const PageText &t : page.texts) {
            if (t.text.contains(part))
                return true;
        }
    }
    return false;
}

// The texts whose top lies at y (engine units), left to right.
inline QStringList Row(const ReportPage &page, int y)
{
    QList<const PageText *> row;
    for (const PageText &t : page.texts) {
        if (t.y == y)
            row.append(&t);
    }
    std::sort(row.begin(), row.end(), [](const PageText *a, const PageText *b) { return a->x < b->x; });
    QStringList out;
    for (const PageText *t : row)
        out << t->text;
    return out;
}

// The text whose box starts at left x or ends at right edge x (engine units,
// one unit of rounding allowed) on the line at y; null when there is none.
inline const PageText *AtLeft(const ReportPage &page, int x, int y)
{
    for (const PageText &t : page.texts) {
        if (t.y == y && std::abs(t.x - x) <= 1)
            return &t;
    }
    return nullptr;
}

inline const PageText *AtRight(const ReportPage &page, int right, int y)
{
    for (const PageText &t : page.texts) {
        if (t.y == y && std::abs(t.x + t.width - right) <= 1)
            return &t;
    }
    return nullptr;
}

// Horizontal lines at least `minWidth` long.
inline QList<PageLine> HorizontalLines(const ReportPage &page, int minWidth)
{
    QList<PageLine> out;
    for (const PageLine &l : page.lines) {
        if (l.y1 == l.y2 && l.x2 - l.x1 >= minWidth)
            out.append(l);
    }
    return out;
}

// A page painted as the preview, the printer and PDF paint it, at kInkPixelsPerMm.
constexpr double kInkPixelsPerMm = 8;

inline QImage Painted(const PageStore &pages, int index)
{
    const ReportPage &page = pages.page(index);
    const double perUnit = kInkPixelsPerMm / ReportUnits::FromMillimetres(1);
    QImage image(int(page.width * perUnit), int(page.height * perUnit), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const double dpi = kInkPixelsPerMm * 25.4;
    painter.setTransform(PagePainter::pageTransform(dpi, dpi));
    PagePainter(pages).paintPage(index, painter);
    return image;
}

// Dark pixels of a painted page between left and right (millimetres from the
// paper's left edge) and between the top and the bottom of a text line.
inline int InkBetween(const QImage &image, double leftMm, double rightMm, const PageText &line)
{
    const int x0 = std::max(0, int(leftMm * kInkPixelsPerMm));
    const int x1 = std::min(image.width(), int(rightMm * kInkPixelsPerMm));
    const int y0 = std::max(0, int(ReportUnits::ToMillimetres(line.y) * kInkPixelsPerMm));
    const int y1 = std::min(image.height(), int(ReportUnits::ToMillimetres(line.y + line.height) * kInkPixelsPerMm));
    int ink = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x)
            ink += qGray(image.pixel(x, y)) < 160 ? 1 : 0;
    }
    return ink;
}

} // namespace ReportPageProbe

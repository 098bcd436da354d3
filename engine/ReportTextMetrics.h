#pragma once

#include "engine/ReportFont.h"

#include <QFontMetricsF>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// Measures and breaks text for the layout, in engine units, with each font's
// layout font (see ReportFont::layoutFont). The result depends only on the font
// files, never on a screen or printer resolution, so preview, printer and PDF
// get the same pages. Keeps the metrics of every font it has seen; needs a
// QGuiApplication.
class ReportTextMetrics
{
public:
    struct Line
    {
        QString text;
        int width = 0;
    };

    ReportTextMetrics();
    ~ReportTextMetrics();
    ReportTextMetrics(const ReportTextMetrics &) = delete;
    ReportTextMetrics &operator=(const ReportTextMetrics &) = delete;

    // Advance width of one line of text, rounded up.
    int textWidth(const ReportFont &font, const QString &text);
    // Ascent plus descent, rounded up: the height of one line's box.
    int fontHeight(const ReportFont &font);
    // Distance from one line's top to the next, rounded up.
    int lineSpacing(const ReportFont &font);

    // The text's lines: split at line breaks and, with wrapWidth > 0, each
    // paragraph broken at word boundaries (or anywhere inside a word longer
    // than the width) into lines no wider than wrapWidth. Trailing blanks of
    // a broken line are dropped.
    std::vector<Line> lines(const ReportFont &font, const QString &text, int wrapWidth);

private:
    struct Entry;
    Entry &entry(const ReportFont &font);
    void wrapParagraph(Entry &entry, const QString &paragraph, int wrapWidth, std::vector<Line> &out);

    QHash<ReportFont, int> m_index;
    std::vector<std::unique_ptr<Entry>> m_entries;
    Entry *m_last = nullptr;
    ReportFont m_lastFont;
};

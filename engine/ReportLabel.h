#pragma once

#include "engine/ReportElement.h"
#include "engine/ReportFont.h"
#include "engine/TextAlignment.h"

#include <QColor>
#include <QString>

// A text on a band: a plain value description that the report's event handlers
// change while the report runs (caption, enabled, font, ...). Geometry as for
// every element (ReportElement); a height of 0 means one line of its font.
//
// A text-sized (auto-size) label is as wide as its text and keeps the edge its
// alignment names: a left-aligned one its left edge, a right-aligned one its
// right edge (left + width as designed), a centred one its centre. A label
// with a fixed width keeps its box and aligns the text inside it; with word
// wrap its text is broken into lines that fit the width, and lines that do not
// fit the height are left out (the first line is always printed).
class ReportLabel : public ReportElement<ReportLabel>
{
public:
    ReportLabel(QString name, ReportFont font);

    const QString &caption() const { return m_caption; }
    ReportLabel &setCaption(QString caption);

    bool autoSize() const { return m_autoSize; }
    ReportLabel &setAutoSize(bool on)
    {
        m_autoSize = on;
        return *this;
    }

    TextAlignment alignment() const { return m_alignment; }
    ReportLabel &setAlignment(TextAlignment alignment)
    {
        m_alignment = alignment;
        return *this;
    }

    const ReportFont &font() const { return m_font; }
    ReportFont &font() { return m_font; }
    ReportLabel &setFont(ReportFont font)
    {
        m_font = std::move(font);
        return *this;
    }

    bool wordWrap() const { return m_wordWrap; }
    ReportLabel &setWordWrap(bool on)
    {
        m_wordWrap = on;
        return *this;
    }

    // A transparent label (the default) paints only its text; otherwise its box
    // is filled with color() first.
    bool isTransparent() const { return m_transparent; }
    ReportLabel &setTransparent(bool on)
    {
        m_transparent = on;
        return *this;
    }
    const QColor &color() const { return m_color; }
    ReportLabel &setColor(QColor color)
    {
        m_color = color;
        return *this;
    }

    const QColor &textColor() const { return m_textColor; }
    ReportLabel &setTextColor(QColor color)
    {
        m_textColor = color;
        return *this;
    }

    // Left edge of the box for a text-sized label whose text is textWidth wide.
    int anchoredLeft(int textWidth) const;

private:
    QString m_caption;
    ReportFont m_font;
    bool m_autoSize = false;
    TextAlignment m_alignment = TextAlignment::Left;
    bool m_wordWrap = false;
    bool m_transparent = true;
    QColor m_color = Qt::white;
    QColor m_textColor = Qt::black;
};

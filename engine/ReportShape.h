#pragma once

#include "engine/ReportElement.h"

#include <QColor>
#include <QString>

// A line or rectangle on a band (geometry as for every ReportElement). A
// horizontal line runs along top() from left() for width(); a vertical line
// along left() from top() for height(). The pen width is in design pixels
// (1/115 inch).
class ReportShape : public ReportElement<ReportShape>
{
public:
    enum class Kind { HorizontalLine, VerticalLine, Rectangle };

    ReportShape(QString name, Kind kind);

    Kind kind() const { return m_kind; }

    int penWidth() const { return m_penWidth; }
    ReportShape &setPenWidth(int designPixels);
    const QColor &penColor() const { return m_penColor; }
    ReportShape &setPenColor(QColor color)
    {
        m_penColor = color;
        return *this;
    }
    // Rectangles only; an invalid colour leaves the inside unfilled.
    const QColor &fillColor() const { return m_fillColor; }
    ReportShape &setFillColor(QColor color)
    {
        m_fillColor = color;
        return *this;
    }

private:
    Kind m_kind;
    int m_penWidth = 1;
    QColor m_penColor = Qt::black;
    QColor m_fillColor;
};

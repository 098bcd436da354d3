#pragma once

#include <QColor>
#include <QString>

// A line or rectangle on a band. Setters take millimetres from the band's top
// left corner, getters return engine units. A horizontal line runs along
// top() from left() for width(); a vertical line along left() from top() for
// height(). The pen width is in design pixels (1/115 inch).
class ReportShape
{
public:
    enum class Kind { HorizontalLine, VerticalLine, Rectangle };

    ReportShape(QString name, Kind kind);

    const QString &name() const { return m_name; }
    Kind kind() const { return m_kind; }

    int left() const { return m_left; }
    int top() const { return m_top; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    ReportShape &setGeometryMm(double leftMm, double topMm, double widthMm, double heightMm);
    ReportShape &setLeftMm(double mm);
    ReportShape &setTopMm(double mm);
    ReportShape &setWidthMm(double mm);
    ReportShape &setHeightMm(double mm);
    // Width in engine units, for a line widened to its band (band.width()).
    ReportShape &setWidth(int units);

    int penWidth() const { return m_penWidth; }
    ReportShape &setPenWidth(int designPixels);
    const QColor &penColor() const { return m_penColor; }
    ReportShape &setPenColor(QColor color) { m_penColor = color; return *this; }
    // Rectangles only; an invalid colour leaves the inside unfilled.
    const QColor &fillColor() const { return m_fillColor; }
    ReportShape &setFillColor(QColor color) { m_fillColor = color; return *this; }

    bool isEnabled() const { return m_enabled; }
    ReportShape &setEnabled(bool on) { m_enabled = on; return *this; }

private:
    QString m_name;
    Kind m_kind;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    int m_penWidth = 1;
    QColor m_penColor = Qt::black;
    QColor m_fillColor;
    bool m_enabled = true;
};

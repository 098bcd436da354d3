#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;
struct YearChartData;

// The chart of a year laid out as plain shapes, in the units of the area it is
// given (pixels on a window, millimetres on a report page), so that the window
// and the report draw the same picture: grid lines with the amounts in złoty,
// per month a bar of charges and a bar of payments from the zero line, the
// running balance as a stepped line with a mark per month, the months' short
// names under the bars and a legend above. Only horizontal and vertical lines
// and rectangles are used: the report engine draws nothing else.
struct YearChartItem
{
    enum class Kind { Rectangle, HorizontalLine, VerticalLine, Text };

    Kind kind = Kind::Rectangle;
    QRectF box; // a horizontal line runs along box.top(), a vertical one along box.left()
    QColor pen = Qt::black; // line, outline or text colour
    QColor fill; // rectangles; invalid: not filled
    int penWidth = 1; // in the painter's pixels / the engine's design pixels
    QString text;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool bold = false;
};

struct YearChartMetrics
{
    double lineHeight = 4; // one line of text, in the area's units
    double labelWidth = 20; // room for the widest amount at the left
};

QList<YearChartItem> LayoutYearChart(const YearChartData &data, const QRectF &area, const YearChartMetrics &metrics);

// The amount of an axis tick: whole złoty when the step is at least 1 zł
// ("1 500"), otherwise with two decimals.
QString AxisAmountText(double value, double step);

// The series' colours, shared by the window and the report.
QColor ChartChargesColour();
QColor ChartPaymentsColour();
QColor ChartBalanceColour();

// Draws the items with `painter` (font taken from the painter).
void PaintYearChart(QPainter &painter, const QList<YearChartItem> &items);

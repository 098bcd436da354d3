#include "reports/YearChartLayout.h"

#include "account/FormatAmount.h"
#include "account/YearChartData.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

QColor ChartChargesColour()
{
    return QColor(0xC0, 0x39, 0x2B);
}
QColor ChartPaymentsColour()
{
    return QColor(0x2E, 0x8B, 0x57);
}
QColor ChartBalanceColour()
{
    return QColor(0x00, 0x00, 0x80);
}

QString AxisAmountText(double value, double step)
{
    // Ticks are multiples of the step; a tiny remainder of the sum is not a figure.
    const double rounded = std::round(value / step) * step;
    QString text = FormatAmount(std::abs(rounded) < step / 1000 ? 0.0 : rounded);
    if (step >= 1)
        text.chop(3); // the decimal separator and ",00"
    return text;
}

QList<YearChartItem> LayoutYearChart(const YearChartData &data, const QRectF &area, const YearChartMetrics &m)
{
    using K = YearChartItem::Kind;
    QList<YearChartItem> items;
    auto text
        = [&items](const QRectF &box, const QString &t, Qt::Alignment a, QColor colour = Qt::black, bool bold = false) {
              YearChartItem i;
              i.kind = K::Text;
              i.box = box;
              i.text = t;
              i.alignment = a;
              i.pen = colour;
              i.bold = bold;
              items.append(i);
          };
    auto rect = [&items](const QRectF &box, QColor pen, QColor fill) {
        YearChartItem i;
        i.kind = K::Rectangle;
        i.box = box.normalized();
        i.pen = pen;
        i.fill = fill;
        items.append(i);
    };
    auto hline = [&items](double x, double y, double w, QColor pen, int width = 1) {
        YearChartItem i;
        i.kind = K::HorizontalLine;
        i.box = QRectF(x, y, std::max(0.0, w), 0);
        i.pen = pen;
        i.penWidth = width;
        items.append(i);
    };
    auto vline = [&items](double x, double y1, double y2, QColor pen, int width = 1) {
        YearChartItem i;
        i.kind = K::VerticalLine;
        i.box = QRectF(x, std::min(y1, y2), 0, std::abs(y2 - y1));
        i.pen = pen;
        i.penWidth = width;
        items.append(i);
    };

    const double lh = m.lineHeight;
    // Legend in the first line, "zł" over the amounts.
    const double legendY = area.top();
    const double box = lh * 0.7;
    double x = area.left() + m.labelWidth + lh;
    const struct
    {
        QString name;
        QColor colour;
        bool line;
    } legend[] = {
        {u"Obciążenia"_s, ChartChargesColour(), false},
        {u"Zapłaty"_s, ChartPaymentsColour(), false},
        {u"Saldo narastająco"_s, ChartBalanceColour(), true},
    };
    for (const auto &l : legend) {
        if (l.line)
            hline(x, legendY + lh / 2, box * 1.6, l.colour, 2);
        else
            rect(QRectF(x, legendY + (lh - box) / 2, box, box), l.colour, l.colour);
        const double textLeft = x + box * 1.6 + lh * 0.4;
        const double textWidth = lh * 0.55 * l.name.size();
        text(QRectF(textLeft, legendY, textWidth, lh), l.name, Qt::AlignLeft | Qt::AlignVCenter);
        x = textLeft + textWidth + lh;
    }

    const QRectF plot(area.left() + m.labelWidth + lh * 0.5, area.top() + lh * 2, area.width() - m.labelWidth - lh,
                      area.height() - lh * 3.6);
    text(QRectF(area.left(), area.top(), m.labelWidth, lh), u"zł"_s, Qt::AlignRight | Qt::AlignVCenter);
    if (plot.width() <= 0 || plot.height() <= 0 || !(data.AxisMax > data.AxisMin))
        return items;

    const double span = data.AxisMax - data.AxisMin;
    auto yOf = [&](double v) {
        const double clamped = std::isfinite(v) ? std::clamp(v, data.AxisMin, data.AxisMax) : 0.0;
        return plot.bottom() - (clamped - data.AxisMin) / span * plot.height();
    };

    const QColor grid(0xC8, 0xC8, 0xC8);
    for (const double tick : AxisTicks(data.AxisMin, data.AxisMax, data.AxisStep)) {
        const double y = yOf(tick);
        hline(plot.left(), y, plot.width(), grid);
        text(QRectF(area.left(), y - lh / 2, m.labelWidth, lh), AxisAmountText(tick, data.AxisStep),
             Qt::AlignRight | Qt::AlignVCenter);
    }
    vline(plot.left(), plot.top(), plot.bottom(), Qt::black);
    const double zeroY = yOf(0);

    const int n = std::max<int>(1, int(data.Months.size()));
    const double slot = plot.width() / n;
    const double barWidth = slot * 0.3;
    double previous = data.OpeningBalance;
    for (int i = 0; i < data.Months.size(); ++i) {
        const YearChartData::Month &month = data.Months[i];
        const double left = plot.left() + i * slot;
        const double centre = left + slot / 2;
        rect(QRectF(centre - barWidth - slot * 0.02, zeroY, barWidth, yOf(month.Charges) - zeroY), ChartChargesColour(),
             ChartChargesColour());
        rect(QRectF(centre + slot * 0.02, zeroY, barWidth, yOf(month.Payments) - zeroY), ChartPaymentsColour(),
             ChartPaymentsColour());
        text(QRectF(left, plot.bottom() + lh * 0.3, slot, lh), month.ShortName, Qt::AlignHCenter | Qt::AlignVCenter);
        // The balance holds over the month: a step at its start, a level line across it.
        vline(left, yOf(previous), yOf(month.Balance), ChartBalanceColour(), 2);
        hline(left, yOf(month.Balance), slot, ChartBalanceColour(), 2);
        const double mark = lh * 0.45;
        rect(QRectF(centre - mark / 2, yOf(month.Balance) - mark / 2, mark, mark), ChartBalanceColour(),
             ChartBalanceColour());
        previous = month.Balance;
    }
    // The zero line last, over the bars' feet.
    hline(plot.left(), zeroY, plot.width(), Qt::black);
    return items;
}

void PaintYearChart(QPainter &painter, const QList<YearChartItem> &items)
{
    using K = YearChartItem::Kind;
    painter.save();
    const QFont base = painter.font();
    for (const YearChartItem &item : items) {
        painter.setPen(QPen(item.pen, item.penWidth, Qt::SolidLine, Qt::FlatCap));
        switch (item.kind) {
        case K::Rectangle:
            painter.setBrush(item.fill.isValid() ? QBrush(item.fill) : Qt::NoBrush);
            painter.drawRect(item.box);
            break;
        case K::HorizontalLine:
            painter.drawLine(QPointF(item.box.left(), item.box.top()), QPointF(item.box.right(), item.box.top()));
            break;
        case K::VerticalLine:
            painter.drawLine(QPointF(item.box.left(), item.box.top()), QPointF(item.box.left(), item.box.bottom()));
            break;
        case K::Text: {
            QFont f = base;
            f.setBold(item.bold);
            painter.setFont(f);
            painter.drawText(item.box, int(item.alignment) | Qt::TextDontClip, item.text);
            break;
        }
        }
    }
    painter.restore();
}

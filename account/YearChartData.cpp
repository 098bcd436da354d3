#include "account/YearChartData.h"

#include "account/CsvExports.h"
#include "account/DisplayTexts.h"
#include "account/YearSettlementFigures.h"

#include <array>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

// A round step (1, 2 or 5 × 10^k) that covers `span` in at most `maxSteps`.
double RoundStep(double span, int maxSteps)
{
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double raw = span / maxSteps;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw - 1e-9 * raw)
            return std::max(m * power, 0.01);
    }
    return std::max(10 * power, 0.01);
}

QString ShortMonthName(int month)
{
    static const std::array<QString, 12> names{u"sty"_s, u"lut"_s, u"mar"_s, u"kwi"_s, u"maj"_s, u"cze"_s,
                                               u"lip"_s, u"sie"_s, u"wrz"_s, u"paź"_s, u"lis"_s, u"gru"_s};
    return names[std::size_t(month - 1)];
}

} // namespace

YearChartData YearChartData::From(int year, int category, const YearSettlementFigures &f)
{
    YearChartData d;
    d.Year = year;
    d.Category = category;
    d.OpeningBalance = f.SaldoNar[0];
    double lo = std::min(0.0, d.OpeningBalance);
    double hi = std::max(0.0, d.OpeningBalance);
    for (int m = 1; m <= f.MonthCount; ++m) {
        Month month{m,
                    YearTableMonthName(m),
                    ShortMonthName(m),
                    f.ObrotyWN[std::size_t(m)],
                    f.ObrotyMA[std::size_t(m)],
                    f.SaldoNar[std::size_t(m)]};
        for (const double v : {month.Charges, month.Payments, month.Balance}) {
            // A figure that is not a number must not stretch the axis to infinity.
            if (!std::isfinite(v))
                continue;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        d.Months.append(month);
    }
    d.AxisStep = RoundStep(hi - lo, 8);
    d.AxisMin = std::floor(lo / d.AxisStep + 1e-9) * d.AxisStep;
    d.AxisMax = std::ceil(hi / d.AxisStep - 1e-9) * d.AxisStep;
    if (d.AxisMax - d.AxisMin < d.AxisStep)
        d.AxisMax = d.AxisMin + d.AxisStep;
    // Rounding may need one step more than planned; never more than ten.
    while ((d.AxisMax - d.AxisMin) / d.AxisStep > 10.5) {
        d.AxisStep = RoundStep(d.AxisStep * 2.5, 1);
        d.AxisMin = std::floor(lo / d.AxisStep + 1e-9) * d.AxisStep;
        d.AxisMax = std::ceil(hi / d.AxisStep - 1e-9) * d.AxisStep;
    }
    return d;
}

QString YearChartData::Title() const
{
    return u"Rozrachunki roku %1 – %2"_s.arg(Year).arg(CategoryText(Category));
}

QList<double> AxisTicks(double min, double max, double step)
{
    QList<double> ticks;
    if (!(step > 0))
        return ticks;
    const int n = int(std::llround((max - min) / step));
    for (int i = 0; i <= n && i <= 20; ++i)
        ticks.append(min + i * step);
    return ticks;
}

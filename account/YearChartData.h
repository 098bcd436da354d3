#pragma once

#include <QList>
#include <QString>

struct YearSettlementFigures;

// One category's year as a chart: per shown month the charges ("Obciążenia")
// and payments ("Zapłaty") as bars and the running balance as a line, from the
// same slots as the yearly table's rows; and a value axis in złoty with round
// steps that holds every figure and zero.
struct YearChartData
{
    struct Month
    {
        int Number = 0; // 1 to 12
        QString Name; // the table's month name ("styczeń")
        QString ShortName; // "sty", for the axis
        double Charges = 0; // debit slot of the month
        double Payments = 0; // credit slot of the month
        double Balance = 0; // running balance after the month
    };

    int Year = 0;
    int Category = 0;
    double OpeningBalance = 0; // running balance after slot 0
    QList<Month> Months;

    // The value axis: AxisMin <= every figure, 0 <= AxisMax, steps of AxisStep
    // (1, 2 or 5 times a power of ten, at least 1 grosz), at most 10 steps.
    double AxisMin = 0;
    double AxisMax = 0;
    double AxisStep = 0;

    static YearChartData From(int year, int category, const YearSettlementFigures &figures);

    // "Rozrachunki roku 2024 – czynsze".
    QString Title() const;
};

// The tick values of an axis from `min` to `max` by `step`.
QList<double> AxisTicks(double min, double max, double step);

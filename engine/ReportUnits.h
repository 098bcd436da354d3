#pragma once

// Lengths of the report engine. Layout, page items and print files use whole
// hundredths of a millimetre ("units"); the report designer speaks millimetres,
// page setup tenths of a millimetre, pen widths design pixels.
namespace ReportUnits {

constexpr int PerMillimetre = 100;
constexpr double PerInch = 2540.0;
constexpr double PerPoint = PerInch / 72.0;

// The resolution the report designs were drawn at: pen widths are given in its
// pixels, so a pen of 2 is 2/115 inch wide on every device.
constexpr int DesignDpi = 115;

// Rounds to the nearest unit, halves away from zero.
constexpr int FromMillimetres(double mm)
{
    const double units = mm * PerMillimetre;
    return static_cast<int>(units >= 0 ? units + 0.5 : units - 0.5);
}

constexpr int FromTenthsOfMillimetre(int tenths)
{
    return tenths * 10;
}

constexpr double ToMillimetres(int units)
{
    return units / double(PerMillimetre);
}

constexpr int FromDesignPixels(int pixels)
{
    return static_cast<int>(pixels * PerInch / DesignDpi + 0.5);
}

} // namespace ReportUnits

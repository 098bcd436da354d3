#pragma once

// One figure for bench/run_all.sh: a line "@figure <what> | <value>" that the
// runner turns into a row of the README's Markdown table. The benchmarks'
// other output is for people.

#include <QString>

#include <vector>

#include <cstdarg>
#include <cstdio>

// printf-style line on standard output, formatted by Qt in the C locale's
// form: the benchmarks run under the Polish locale, where the C library's
// printf would write decimal commas.
inline void PrintLine(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    const QByteArray line = QString::vasprintf(format, args).toUtf8();
    va_end(args);
    std::fputs(line.constData(), stdout);
}

// printf-style value; numbers always with a decimal point, whatever the locale.
inline void PrintFigure(const char *what, const char *valueFormat, ...)
{
    va_list args;
    va_start(args, valueFormat);
    const QString value = QString::vasprintf(valueFormat, args);
    va_end(args);
    std::fputs(("@figure " + QByteArray(what) + " | " + value.toUtf8() + "\n").constData(), stdout);
    std::fflush(stdout);
}

// The cost per unit in µs at three growing sizes: prints its growth and the
// figure "<what> at a / b / c<sizeSuffix>". False when the largest size costs
// three times the smallest per unit or more: something grows faster than the
// count.
inline bool PrintScaling(const char *what, const char *sizeSuffix, const std::vector<int> &sizes,
                         const std::vector<double> &perUnit, int decimals)
{
    if (sizes.size() != 3 || perUnit.size() != 3)
        return false;
    const double growth = perUnit.back() / perUnit.front();
    PrintLine("  growth of the cost per unit, %d vs %d: %.2f\n", sizes.back(), sizes.front(), growth);
    const QByteArray label = QStringLiteral("%1 at %2 / %3 / %4%5")
                                 .arg(QString::fromUtf8(what))
                                 .arg(sizes[0])
                                 .arg(sizes[1])
                                 .arg(sizes[2])
                                 .arg(QString::fromUtf8(sizeSuffix))
                                 .toUtf8();
    PrintFigure(label.constData(), "%.*f / %.*f / %.*f µs (growth %.2f)", decimals, perUnit[0], decimals, perUnit[1],
                decimals, perUnit[2], growth);
    return growth < 3.0;
}

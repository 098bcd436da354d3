#pragma once

// One figure for bench/run_all.sh: a line "@figure <what> | <value>" that the
// runner turns into a row of the README's Markdown table. The benchmarks'
// other output is for people.

#include <QString>

#include <cstdarg>
#include <cstdio>

// printf-style value; numbers always with a decimal point, whatever the locale.
inline void PrintFigure(const char *what, const char *valueFormat, ...)
{
    va_list args;
    va_start(args, valueFormat);
    const QString value = QString::vasprintf(valueFormat, args);
    va_end(args);
    std::printf("@figure %s | %s\n", what, value.toUtf8().constData());
    std::fflush(stdout);
}

#include "common/Clock.h"

#include "common/DateHelpers.h"

#include <QDateTime>

namespace {
std::function<double()> &clockFunction()
{
    static std::function<double()> f;
    return f;
}
} // namespace

double Now()
{
    if (const auto &f = clockFunction())
        return f();
    return DateTimeToValue(QDateTime::currentDateTime());
}

void SetClock(std::function<double()> clock)
{
    clockFunction() = std::move(clock);
}

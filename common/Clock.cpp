#include "common/Clock.h"

#include "common/DateHelpers.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace {
std::function<double()> &clockFunction()
{
    static std::function<double()> f;
    return f;
}

std::function<qint64()> &monotonicFunction()
{
    static std::function<qint64()> f;
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

qint64 MonotonicMs()
{
    if (const auto &f = monotonicFunction())
        return f();
    // QElapsedTimer uses the system's monotonic clock.
    static const QElapsedTimer start = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return start.elapsed();
}

void SetMonotonicClock(std::function<qint64()> clock)
{
    monotonicFunction() = std::move(clock);
}

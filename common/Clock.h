#pragma once

#include <QtGlobal>

#include <functional>

// The current local date and time as a date value (days since 1899-12-30).
// Everything that measures session time asks this one seam.
double Now();

// Replaces the clock; an empty function restores the system clock. For tests.
void SetClock(std::function<double()> clock);

// Milliseconds on a clock that only moves forward, at the pace of real time,
// from an arbitrary start: a step of the wall clock (end of daylight saving, a
// time-server correction) does not move it. Durations are measured on it.
qint64 MonotonicMs();

// Replaces the monotonic clock; an empty function restores the system's. For tests.
void SetMonotonicClock(std::function<qint64()> clock);

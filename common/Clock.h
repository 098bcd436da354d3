#pragma once

#include <functional>

// The current local date and time as a date value (days since 1899-12-30).
// Everything that measures session time asks this one seam.
double Now();

// Replaces the clock; an empty function restores the system clock. For tests.
void SetClock(std::function<double()> clock);

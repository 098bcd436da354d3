#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <array>

// The 13 periods of a year: slot 0 the opening state, slots 1 to 12 January to
// December.
using TMonthSlots = std::array<double, 13>;

// Sets all 13 slots to 0, then copies the values into slots 0, 1, 2, ... in
// order; values beyond the 13th are dropped, missing ones stay 0.
void CopyToMonthSlots(const TDoubleDynArray &values, TMonthSlots &slots);

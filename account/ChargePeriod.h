#pragma once

// True when a charge covers only part of one month: the period lies within one
// month and does not run exactly from its first day (midnight) to its last.
// A period across months is never partial.
bool IsPartialMonth(double dataNalFrom, double dataNalTo);

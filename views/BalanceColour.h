#pragma once

#include "account/BalanceRules.h"
#include "forms/ProgramColours.h"

// Red for an underpayment, green for anything else (zero included).
inline QColor BalanceColour(double balance)
{
    return IsUnderpayment(balance) ? kColourRed : kColourGreen;
}

#pragma once

#include <QString>

// A balance is credits minus debits: positive is an overpayment, negative an
// underpayment. Amounts are doubles as delivered, so a tolerance decides.
inline constexpr double kBalanceTolerance = 0.00001;

inline bool IsUnderpayment(double balance)
{
    return balance < -kBalanceTolerance;
}
inline bool IsOverpayment(double balance)
{
    return balance > kBalanceTolerance;
}

// "(niedopłata)", "(nadpłata)" or empty.
QString BalanceDescription(double balance);

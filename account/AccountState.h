#pragma once

// One state of a category's account: the sum of its debits (ObrotyWN), the sum
// of its credits (ObrotyMA) and its balance, credits minus debits (Saldo). The
// month card shows three of them (the opening state, the month's turnover and
// the cumulative state); the yearly figures give the opening state of a month.
struct AccountState
{
    double ObrotyWN = 0;
    double ObrotyMA = 0;
    double Saldo = 0;
};

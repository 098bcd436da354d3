#include "common/BalanceRules.h"

QColor BalanceColour(double balance)
{
    return IsUnderpayment(balance) ? kColourRed : kColourGreen;
}

QString BalanceDescription(double balance)
{
    if (IsUnderpayment(balance))
        return QStringLiteral("(niedopłata)");
    if (IsOverpayment(balance))
        return QStringLiteral("(nadpłata)");
    return {};
}

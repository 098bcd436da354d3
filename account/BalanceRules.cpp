#include "account/BalanceRules.h"

QString BalanceDescription(double balance)
{
    if (IsUnderpayment(balance))
        return QStringLiteral("(niedopłata)");
    if (IsOverpayment(balance))
        return QStringLiteral("(nadpłata)");
    return {};
}

#include "account/Account.h"

void Account::Clear()
{
    Session.Clear();
    Data.Clear();
    KsgData.Clear();
    DokData.Clear();
}

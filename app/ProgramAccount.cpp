#include "app/ProgramAccount.h"

namespace {
Account programAccount;
} // namespace

Account &ProgramAccount()
{
    return programAccount;
}

// Bound at compile time (constant initialization): no start-up order to mind.
TU_WEBServiceSession &gU_WEBServiceSession = programAccount.Session;
TU_WEBServiceData &gU_WEBServiceData = programAccount.Data;
TU_WEBServiceKsgData &gU_WEBServiceKsgData = programAccount.KsgData;
TU_WEBServiceDokData &gU_WEBServiceDokData = programAccount.DokData;

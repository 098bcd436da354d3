#pragma once

#include "account/Account.h"

// The program's one account: the start-up creates the main window over it.
// The windows, reports and service calls below are handed it (or the part
// they show); only this layer names it.
Account &ProgramAccount();

// The session record and the three stores by their established names, as
// references into ProgramAccount().
extern TU_WEBServiceSession &gU_WEBServiceSession;
extern TU_WEBServiceData &gU_WEBServiceData;
extern TU_WEBServiceKsgData &gU_WEBServiceKsgData;
extern TU_WEBServiceDokData &gU_WEBServiceDokData;

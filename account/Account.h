#pragma once

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"

// What the client holds of the tenant's account: the session record and the
// three stores the answers are loaded into. The application owns one; the
// service calls, the windows and the reports are handed the part they work
// on, so that a screen and its printout read the same record.
class Account
{
public:
    TU_WEBServiceSession Session;
    TU_WEBServiceData Data; // the yearly settlement figures, the account header's flags
    TU_WEBServiceKsgData KsgData; // the month ledger last fetched
    TU_WEBServiceDokData DokData; // the charge details last fetched

    // Everything back to its state before the first sign-in.
    void Clear();
};

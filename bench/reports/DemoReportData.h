#pragma once

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"

// Plausible account data for the report benchmark and the report renderings:
// one dwelling, the year 2020 shown through March, a month ledger of water for
// March and a rent charge with its components.
struct DemoReportData
{
    TU_WEBServiceSession session;
    TU_WEBServiceData yearData;
    TU_WEBServiceKsgData ledger;
    TU_WEBServiceDokData details;

    // `ledgerEntries` documents in the March water ledger.
    explicit DemoReportData(int ledgerEntries = 14);
};

#pragma once

#include "account/AccountState.h"
#include "account/StoreArrays.h"
#include "protocol/IZOKA_E_BOK.h"

#include <QChar>

// The yearly settlement store: the figures of one year per charge category,
// with the account facts that decide which categories and years can be shown.
// Filled once per login from the session-begin answer (the current year) and
// then by each successful query for another year. Each array is expected to
// hold 13 slots (slot 0 the opening balance, 1 to 12 the months) but is kept
// as delivered; amounts are never rounded.
class TU_WEBServiceData
{
public:
    bool CZMain_Service_F = false;
    bool CZOds_Service_F = false;
    bool WOMain_Service_F = false;
    bool WOOds_Service_F = false;
    bool Odpady_Service_F = false;
    // 1 warn about other unpaid obligations (when SaldaWNOtherKnt_ShowF),
    // 2 or 3 a general note about other settlements, anything else nothing.
    qint32 SaldaOtherKnt_InfoHandlingKind = 2;
    double SysCZPeriodEwidActive = 0; // open rent booking period (a date in it)
    double SysCZPeriodStart = 0; // first rent period kept
    qint32 SysCZYearEwidActive = 0; // the current year, the last one that can be chosen
    double SysWOPeriodEwidActive = 0; // 0 when water is not offered
    double SysWOPeriodStart = 0; // 0 when water is not offered
    double ShowPeriodEwid = 0; // last period of the shown year with figures
    qint32 ShowYear = 0;
    double UserDateEksploatFrom = 0; // 0: not set
    double UserDateEksploatTo = 0;
    TDoubleDynArray ObrotyCZMain_WN;
    TDoubleDynArray ObrotyCZMain_MA;
    TDoubleDynArray ObrotyCZOds_WN;
    TDoubleDynArray ObrotyCZOds_MA;
    TDoubleDynArray ObrotyWOMain_WN;
    TDoubleDynArray ObrotyWOMain_MA;
    TDoubleDynArray ObrotyWOOds_WN;
    TDoubleDynArray ObrotyWOOds_MA;
    TDoubleDynArray ObrotyOdpady_WN;
    TDoubleDynArray ObrotyOdpady_MA;
    bool SaldaWNOtherKnt_ShowF = false;

    // In the fixed category order, debits (WN) and credits (MA) alternating.
    static constexpr auto Arrays()
    {
        using S = TU_WEBServiceData;
        return std::tuple{DOMVEL_STORE_ARRAY(S, ObrotyCZMain_WN), DOMVEL_STORE_ARRAY(S, ObrotyCZMain_MA),
                          DOMVEL_STORE_ARRAY(S, ObrotyCZOds_WN),  DOMVEL_STORE_ARRAY(S, ObrotyCZOds_MA),
                          DOMVEL_STORE_ARRAY(S, ObrotyWOMain_WN), DOMVEL_STORE_ARRAY(S, ObrotyWOMain_MA),
                          DOMVEL_STORE_ARRAY(S, ObrotyWOOds_WN),  DOMVEL_STORE_ARRAY(S, ObrotyWOOds_MA),
                          DOMVEL_STORE_ARRAY(S, ObrotyOdpady_WN), DOMVEL_STORE_ARRAY(S, ObrotyOdpady_MA)};
    }

    // Flags false, info kind 2, dates and years 0, arrays empty.
    void Clear();

    // Takes a session-begin answer: clears, then (RetCode 0 only) takes the
    // flags, the periods (water ones only when water is offered), the
    // occupancy dates, the ten arrays and, for info kind 1, the obligations
    // flag. The period texts are date values read with the user's decimal
    // separator; a text that is not a number throws AppError and leaves the
    // store cleared.
    void LoadFrom(const TRemSessionBeginData &answer);
    void LoadFrom(const TRemSessionBeginData &answer, QChar decimalSeparator);

    // Takes the answer for the requested year (RetCode 0 only; otherwise
    // nothing changes): the info kind, the shown period and year, the ten
    // arrays and, for info kind 1, the obligations flag. Session facts stay.
    void LoadYearFrom(qint32 year, const TRemYearRozrachGetData &answer);

    // Months of the shown year to show: the month of ShowPeriodEwid plus one,
    // at most 12 (a past year shows all twelve).
    qint32 MonthsToShow() const;

    // The first year that can be chosen: the year of SysCZPeriodStart, or the
    // year of UserDateEksploatFrom when that is set and later.
    qint32 FirstYearToShow() const;

    // Sums of the debit and credit slots 0 to count - 1 of the category 0 to
    // 4: with count m, the opening state of month m. IndexError for a
    // category outside 0 to 4 or an array shorter than count.
    AccountState SumMonths(int category, int count) const;

    // The debit (WN) and credit (MA) arrays of the category 0 to 4;
    // IndexError for any other.
    const TDoubleDynArray &ObrotyWN(int category) const;
    const TDoubleDynArray &ObrotyMA(int category) const;
};

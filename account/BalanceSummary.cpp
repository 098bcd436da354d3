#include "account/BalanceSummary.h"

#include "account/BalanceRules.h"
#include "account/DisplayTexts.h"
#include "account/FormatAmount.h"
#include "account/TU_WEBServiceData.h"
#include "account/YearSettlementFigures.h"
#include "common/DateHelpers.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kOdpadySettledAloneFrom = 2013;

// The month of `period` within `year`: 0 before the year, 12 after it.
int MonthWithinYear(double period, int year)
{
    const int periodYear = DateYear(period);
    if (periodYear < year)
        return 0;
    if (periodYear > year)
        return 12;
    return DateMonth(period);
}

} // namespace

bool CategorySettledInYear(int category, int year, int czYearStart, int woYearStart)
{
    switch (category) {
    case 0:
    case 1: return year >= czYearStart;
    case 2:
    case 3: return year >= woYearStart;
    case 4: return year >= kOdpadySettledAloneFrom;
    default: return false;
    }
}

std::optional<BalanceSummary> BalanceSummary::FromStore(const TU_WEBServiceData &store, double serviceDate)
{
    if (store.SysCZYearEwidActive == 0 || store.ShowYear != store.SysCZYearEwidActive)
        return std::nullopt;
    BalanceSummary s;
    s.Year = store.SysCZYearEwidActive;
    s.Date = serviceDate != 0 ? serviceDate : store.SysCZPeriodEwidActive;
    const bool offered[kCategoryCount] = {store.CZMain_Service_F, store.CZOds_Service_F, store.WOMain_Service_F,
                                          store.WOOds_Service_F, store.Odpady_Service_F};
    const int czYearStart = DateYear(store.SysCZPeriodStart);
    const int woYearStart = DateYear(store.SysWOPeriodStart);
    for (int i = 0; i < kCategoryCount; ++i) {
        if (!offered[i] || !CategorySettledInYear(i, s.Year, czYearStart, woYearStart))
            continue;
        const bool water = i == 2 || i == 3;
        const double period
            = water && store.SysWOPeriodEwidActive != 0 ? store.SysWOPeriodEwidActive : store.SysCZPeriodEwidActive;
        Category c;
        c.Index = i;
        c.Month = MonthWithinYear(period, s.Year);
        // The same running balance the yearly table shows for that month.
        const YearSettlementFigures figures = YearSettlementFigures::Compute(12, store.ObrotyWN(i), store.ObrotyMA(i));
        c.Balance = figures.SaldoNar[std::size_t(c.Month)];
        s.Categories.append(c);
        s.Total += c.Balance;
    }
    return s;
}

BalanceSummary::Kind BalanceSummary::TotalKind() const
{
    if (IsUnderpayment(Total))
        return Kind::Owing;
    if (IsOverpayment(Total))
        return Kind::Overpaid;
    return Kind::Settled;
}

QString BalanceSummary::TotalText() const
{
    switch (TotalKind()) {
    case Kind::Owing: return u"Do zapłaty: "_s + FormatAmount(-Total) + u" zł"_s;
    case Kind::Overpaid: return u"Nadpłata: "_s + FormatAmount(Total) + u" zł"_s;
    case Kind::Settled: break;
    }
    return u"Rozliczone"_s;
}

QString BalanceSummary::DateText() const
{
    return u"Stan na "_s + ShortDateText(Date);
}

QString BalanceSummary::CategoryText(const Category &category)
{
    return ::CategoryText(category.Index) + u": "_s + FormatAmount(category.Balance) + u" zł"_s;
}

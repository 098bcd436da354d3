#include "account/TU_WEBServiceData.h"

#include "account/DisplayTexts.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "common/TLocale_Class.h"
#include "protocol/DecimalText.h"

#include <QDate>

#include <algorithm>
#include <array>

namespace {

static_assert(EveryArrayHasSource<TU_WEBServiceData, TRemSessionBeginData>());
static_assert(EveryArrayHasSource<TU_WEBServiceData, TRemYearRozrachGetData>());

using ArrayMember = TDoubleDynArray TU_WEBServiceData::*;

// The debit and credit arrays by category index.
constexpr std::array<std::pair<ArrayMember, ArrayMember>, kCategoryCount> kCategoryArrays{{
    {&TU_WEBServiceData::ObrotyCZMain_WN, &TU_WEBServiceData::ObrotyCZMain_MA},
    {&TU_WEBServiceData::ObrotyCZOds_WN, &TU_WEBServiceData::ObrotyCZOds_MA},
    {&TU_WEBServiceData::ObrotyWOMain_WN, &TU_WEBServiceData::ObrotyWOMain_MA},
    {&TU_WEBServiceData::ObrotyWOOds_WN, &TU_WEBServiceData::ObrotyWOOds_MA},
    {&TU_WEBServiceData::ObrotyOdpady_WN, &TU_WEBServiceData::ObrotyOdpady_MA},
}};

const std::pair<ArrayMember, ArrayMember> &categoryArrays(int category)
{
    if (category < 0 || category >= kCategoryCount)
        throw IndexError(category, kCategoryCount);
    return kCategoryArrays[static_cast<std::size_t>(category)];
}

// A date value that the service writes as a decimal number.
double dateFromText(const QString &text, const char *fieldName, QChar decimalSeparator)
{
    if (const auto value = ParseDecimalText(text, decimalSeparator))
        return *value;
    constexpr qsizetype kShownLength = 40;
    const QString shown = text.size() > kShownLength ? text.left(kShownLength) + QStringLiteral("…") : text;
    throw AppError(QStringLiteral("Serwis przesłał niepoprawną datę w polu %1: „%2” nie jest liczbą.")
                       .arg(QString::fromLatin1(fieldName), shown));
}

} // namespace

void TU_WEBServiceData::Clear()
{
    *this = TU_WEBServiceData();
}

void TU_WEBServiceData::LoadFrom(const TRemSessionBeginData &answer)
{
    LoadFrom(answer, gLocale.DecimalSeparator());
}

void TU_WEBServiceData::LoadFrom(const TRemSessionBeginData &answer, QChar decimalSeparator)
{
    Clear();
    if (answer.RetCode != 0)
        return;
    // Filled aside: a text that is not a date leaves the store cleared, not half filled.
    TU_WEBServiceData loaded;
    loaded.CZMain_Service_F = answer.CZMain_Service_F;
    loaded.CZOds_Service_F = answer.CZOds_Service_F;
    loaded.WOMain_Service_F = answer.WOMain_Service_F;
    loaded.WOOds_Service_F = answer.WOOds_Service_F;
    loaded.Odpady_Service_F = answer.Odpady_Service_F;
    loaded.SaldaOtherKnt_InfoHandlingKind = answer.SaldaOtherKnt_InfoHandlingKind;
    loaded.SysCZPeriodEwidActive
        = dateFromText(answer.SysCZPeriodEwidActive, "SysCZPeriodEwidActive", decimalSeparator);
    loaded.SysCZPeriodStart = dateFromText(answer.SysCZPeriodStart, "SysCZPeriodStart", decimalSeparator);
    loaded.SysCZYearEwidActive = DateYear(loaded.SysCZPeriodEwidActive);
    if (answer.WOMain_Service_F) {
        loaded.SysWOPeriodEwidActive
            = dateFromText(answer.SysWOPeriodEwidActive, "SysWOPeriodEwidActive", decimalSeparator);
        loaded.SysWOPeriodStart = dateFromText(answer.SysWOPeriodStart, "SysWOPeriodStart", decimalSeparator);
    }
    loaded.ShowPeriodEwid = loaded.SysCZPeriodEwidActive;
    loaded.ShowYear = loaded.SysCZYearEwidActive;
    loaded.UserDateEksploatFrom = dateFromText(answer.UserDateEksploatFrom, "UserDateEksploatFrom", decimalSeparator);
    loaded.UserDateEksploatTo = dateFromText(answer.UserDateEksploatTo, "UserDateEksploatTo", decimalSeparator);
    CopyArrays(loaded, answer);
    if (loaded.SaldaOtherKnt_InfoHandlingKind == 1)
        loaded.SaldaWNOtherKnt_ShowF = answer.SaldaWNOtherKnt_ShowF;
    *this = std::move(loaded);
}

void TU_WEBServiceData::LoadYearFrom(qint32 year, const TRemYearRozrachGetData &answer)
{
    if (answer.RetCode != 0)
        return;
    TU_WEBServiceData loaded = *this;
    loaded.SaldaOtherKnt_InfoHandlingKind = answer.SaldaOtherKnt_InfoHandlingKind;
    loaded.ShowPeriodEwid = year == SysCZYearEwidActive ? SysCZPeriodEwidActive : DateToValue(QDate(year, 12, 1));
    loaded.ShowYear = year;
    CopyArrays(loaded, answer);
    if (answer.SaldaOtherKnt_InfoHandlingKind == 1)
        loaded.SaldaWNOtherKnt_ShowF = answer.SaldaWNOtherKnt_ShowF;
    *this = std::move(loaded);
}

qint32 TU_WEBServiceData::MonthsToShow() const
{
    return std::min(DateMonth(ShowPeriodEwid) + 1, 12);
}

qint32 TU_WEBServiceData::FirstYearToShow() const
{
    const qint32 first = DateYear(SysCZPeriodStart);
    if (UserDateEksploatFrom != 0)
        return std::max<qint32>(first, DateYear(UserDateEksploatFrom));
    return first;
}

AccountState TU_WEBServiceData::SumMonths(int category, int count) const
{
    const auto &[debits, credits] = categoryArrays(category);
    AccountState sums;
    for (int slot = 0; slot < count; ++slot) {
        sums.ObrotyWN += CheckedAt(this->*debits, slot);
        sums.ObrotyMA += CheckedAt(this->*credits, slot);
    }
    sums.Saldo = sums.ObrotyMA - sums.ObrotyWN;
    return sums;
}

const TDoubleDynArray &TU_WEBServiceData::ObrotyWN(int category) const
{
    return this->*categoryArrays(category).first;
}

const TDoubleDynArray &TU_WEBServiceData::ObrotyMA(int category) const
{
    return this->*categoryArrays(category).second;
}

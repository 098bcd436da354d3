#include "common/DateHelpers.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<int, 12> kMonthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// The day the date values count from.
const QDate &epoch()
{
    static const QDate d(1899, 12, 30);
    return d;
}

constexpr qint64 kMsPerDay = 24LL * 60 * 60 * 1000;

// Whole days and milliseconds of the day of a value; negative values count the
// day backwards but the time forwards, as the wire encoding does.
void split(double value, qint64 &days, qint64 &msOfDay)
{
    const double whole = std::trunc(value);
    days = static_cast<qint64>(whole);
    msOfDay = static_cast<qint64>(std::llround(std::fabs(value - whole) * kMsPerDay));
    if (msOfDay >= kMsPerDay)
        msOfDay = kMsPerDay - 1;
}

} // namespace

bool LeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthDayCount(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    return kMonthDays[month - 1] + ((month == 2 && LeapYear(year)) ? 1 : 0);
}

double MonthEndDate(double dateTime)
{
    const QDate d = ValueToDate(dateTime);
    return MonthLastDayDate(d.year(), d.month());
}

double MonthLastDayDate(int year, int month)
{
    return DateToValue(QDate(year, month, MonthDayCount(year, month)));
}

double MonthStartDate(double dateTime)
{
    const QDate d = ValueToDate(dateTime);
    return DateToValue(QDate(d.year(), d.month(), 1));
}

uint16_t DateMonth(double dateTime)
{
    return static_cast<uint16_t>(ValueToDate(dateTime).month());
}

uint16_t DateYear(double dateTime)
{
    return static_cast<uint16_t>(ValueToDate(dateTime).year());
}

double DateDiffMinutes(double later, double earlier)
{
    qint64 days = 0;
    qint64 ms = 0;
    split(later - earlier, days, ms);
    const qint64 hours = ms / 3'600'000;
    const qint64 minutes = (ms / 60'000) % 60;
    const qint64 seconds = (ms / 1000) % 60;
    return static_cast<double>((days * 24 + hours) * 60 + minutes) + seconds / 60.0;
}

int DateDiffMonths(double later, double earlier)
{
    const QDate l = ValueToDate(later);
    const QDate e = ValueToDate(earlier);
    return (l.year() * 12 + l.month()) - (e.year() * 12 + e.month());
}

double DateToValue(const QDate &date)
{
    return static_cast<double>(epoch().daysTo(date));
}

double DateTimeToValue(const QDateTime &dateTime)
{
    const double days = DateToValue(dateTime.date());
    const double fraction = dateTime.time().msecsSinceStartOfDay() / double(kMsPerDay);
    // Before the epoch the day counts backwards but the time of day forwards.
    return days < 0 ? days - fraction : days + fraction;
}

QDate ValueToDate(double value)
{
    // The day part is truncated toward zero, as the wire encoding counts it.
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        return epoch();
    return epoch().addDays(static_cast<qint64>(std::trunc(value)));
}

QDateTime ValueToDateTime(double value)
{
    qint64 days = 0;
    qint64 ms = 0;
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6)
        return QDateTime(epoch(), QTime(0, 0));
    split(value, days, ms);
    return QDateTime(epoch().addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)));
}

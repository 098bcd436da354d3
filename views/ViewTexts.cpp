#include "views/ViewTexts.h"

#include "common/DateHelpers.h"
#include "common/TLocale_Class.h"
#include "service/DisplayTexts.h"

QString CategoryText(int category)
{
    QString name = CategoryName(category);
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"')
        name = name.mid(1, name.size() - 2);
    return name;
}

QString ShortDateText(double dateValue)
{
    return gLocale.locale().toString(ValueToDate(dateValue), QLocale::ShortFormat);
}

QString MonthYearText(int year, int month)
{
    return gLocale.LongMonthName(month) + u' ' + QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

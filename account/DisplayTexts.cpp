#include "account/DisplayTexts.h"

#include "common/DateHelpers.h"
#include "common/TLocale_Class.h"

#include <array>

QString CategoryName(int index)
{
    static const std::array<QString, kCategoryCount> names{
        QStringLiteral("\"czynsze\""), QStringLiteral("\"czynsze - odsetki\""), QStringLiteral("\"woda\""),
        QStringLiteral("\"woda - odsetki\""), QStringLiteral("\"odpady\"")};
    if (index < 0 || index >= kCategoryCount)
        return {};
    return names[static_cast<std::size_t>(index)];
}

QString DocumentKindText(int kind)
{
    switch (kind) {
    case 1: return QStringLiteral("naliczenie opłaty");
    case 3: return QStringLiteral("wpłata bankowa");
    case 4: return QStringLiteral("wpłata kasa");
    case 5: return QStringLiteral("wpłata MOPS");
    default: return QStringLiteral("przeksięgowanie");
    }
}

QString CategoryText(int category)
{
    QString name = CategoryName(category);
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"')
        name = name.mid(1, name.size() - 2);
    return name;
}

QString ShortDateText(double dateValue)
{
    return gLocale.Locale().toString(ValueToDate(dateValue), QLocale::ShortFormat);
}

QString MonthYearText(int year, int month)
{
    return gLocale.LongMonthName(month) + u' ' + QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
}

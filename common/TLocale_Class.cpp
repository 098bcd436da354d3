#include "common/TLocale_Class.h"

namespace {
QChar firstChar(const QString &s, QChar fallback)
{
    return s.isEmpty() ? fallback : s.front();
}
} // namespace

TLocale_Class::TLocale_Class(const QLocale &locale)
    : m_locale(locale),
      m_decimalSeparator(firstChar(locale.decimalPoint(), u'.')),
      m_groupSeparator(firstChar(locale.groupSeparator(), u' ')),
      m_shortDateFormat(locale.dateFormat(QLocale::ShortFormat)),
      m_longDateFormat(locale.dateFormat(QLocale::LongFormat))
{
    for (int m = 1; m <= 12; ++m) {
        m_longMonthNames << locale.standaloneMonthName(m, QLocale::LongFormat);
        m_shortMonthNames << locale.standaloneMonthName(m, QLocale::ShortFormat);
    }
    for (int d = 1; d <= 7; ++d) {
        m_longDayNames << locale.standaloneDayName(d, QLocale::LongFormat);
        m_shortDayNames << locale.standaloneDayName(d, QLocale::ShortFormat);
    }
}

QString TLocale_Class::LongMonthName(int month) const
{
    return month >= 1 && month <= 12 ? m_longMonthNames.at(month - 1) : QString();
}

QString TLocale_Class::ShortMonthName(int month) const
{
    return month >= 1 && month <= 12 ? m_shortMonthNames.at(month - 1) : QString();
}

const TLocale_Class &TLocale_Class::Polish()
{
    static const TLocale_Class polish{QLocale(QLocale::Polish, QLocale::Poland)};
    return polish;
}

const TLocale_Class gLocale{QLocale::system()};

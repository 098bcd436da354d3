#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The calendar and number texts of one locale, copied once when the object is
// made: a later change of the user's locale does not reach a running program.
class TLocale_Class
{
public:
    explicit TLocale_Class(const QLocale &locale);

    // The stand-alone (nominative) long name of the month 1 to 12, e.g. "marzec";
    // empty for a month outside that range.
    QString LongMonthName(int month) const;
    QString ShortMonthName(int month) const;

    const QLocale &Locale() const { return m_locale; }
    QChar DecimalSeparator() const { return m_decimalSeparator; }
    QChar GroupSeparator() const { return m_groupSeparator; }

    // The Polish texts, whatever the user's locale: the screens whose texts
    // are Polish by design (the month names of the yearly table) take them
    // from here.
    static const TLocale_Class &Polish();

private:
    QLocale m_locale;
    QStringList m_longMonthNames;
    QStringList m_shortMonthNames;
    QStringList m_longDayNames;
    QStringList m_shortDayNames;
    QChar m_decimalSeparator;
    QChar m_groupSeparator;
    QString m_shortDateFormat;
    QString m_longDateFormat;
};

// The user's locale, taken once at start-up.
extern const TLocale_Class gLocale;

#pragma once

#include <QLocale>
#include <QString>

// An amount in złoty as the user reads it: the locale's decimal and group
// separators, every three integer digits grouped, exactly two decimals, a
// leading minus for negative values ("1 234 567,50", "-12,30", "0,00" in
// Polish). The value is first taken to 15 significant digits, then rounded half
// away from zero to two decimals, so 2.675 reads "2,68". A value that rounds to
// zero reads without a sign. Not-a-number and infinities read "NAN", "INF" and
// "-INF": never a figure that looks valid.
QString FormatAmount(double value, const QLocale &locale);

// The same in the user's locale (gLocale).
QString FormatAmount(double value);

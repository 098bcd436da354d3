#pragma once

#include <QChar>
#include <QString>

#include <optional>

// Numbers that the service writes as text: date values in the session-begin
// answer and the fields of the session token.

// Reads a decimal number written with `decimalSeparator`: optional sign,
// digits with at most one separator, optional exponent (E or e), spaces around
// allowed. No group separators, no other separator, nothing else. Nothing when
// the text is not such a number or its value is not finite.
std::optional<double> ParseDecimalText(const QString &text, QChar decimalSeparator);

// Reads a whole number: optional sign and decimal digits, nothing else, within
// the 32-bit range.
std::optional<qint32> ParseWholeNumber(const QString &text);

#pragma once

#include <QChar>
#include <QString>

#include <optional>
#include <string_view>

// Decimal numbers written as text: the doubles of SOAP answers, date values in
// the session-begin answer and the fields of the session token. One grammar
// for all of them: optional sign, digits with at most one decimal point,
// optional exponent (E or e); at least one digit before the exponent.

// The number in `text` with a point as decimal separator and nothing around
// it; nothing when the text is not such a number or its value is not finite
// (no INF, NaN, hexadecimal or group separators).
std::optional<double> LexDecimal(std::string_view text);

// Reads a decimal number written by the service with spaces around allowed.
// The separator may be a point, a comma or `decimalSeparator` (the locale's):
// a server writes what its own locale gives, so every user's locale reads
// both. Nothing when the text is not such a number or its value is not finite.
std::optional<double> ParseDecimalText(const QString &text, QChar decimalSeparator);

// Reads a whole number: optional sign and decimal digits, nothing else, within
// the 32-bit range.
std::optional<qint32> ParseWholeNumber(const QString &text);

#pragma once

#include <QChar>
#include <QString>

#include <optional>

// The session token. The service delivers it rotated; decoded, it reads
// "whole number;[text;[whole number;]]date value", the date value (days since
// 1899-12-30 as a decimal number) running to the end. The client needs only
// the form and the date; it sends the token back exactly as delivered.

// Rotates letters of both cases forward by DOMVEL_LETTER_ROTATION and digits
// forward by DOMVEL_DIGIT_ROTATION.
QString DecodeSessionToken(const QString &token);

// The inverse of DecodeSessionToken, for the server that issues tokens.
QString EncodeSessionToken(const QString &plain);

// Parses a decoded token and returns its date value, or nothing when the token
// does not have the form above. The date's decimal separator may be a point, a
// comma or `decimalSeparator` (the locale's), in every locale. Never throws.
std::optional<double> ParseSessionToken(const QString &decoded, QChar decimalSeparator);

#pragma once

#include <QString>

#include <optional>

// The session token the server hands out. Its plain form is four fields
// separated by ";": the session number, a random secret (hex), the tenant's id
// and the service date as a decimal date value written with a comma, which the
// client reads whatever its locale. On the wire it travels rotated
// (EncodeSessionToken); the client only checks the form and
// keeps the date.
class SessionToken
{
public:
    qint64 number = 0;
    QString secret;
    qint64 tenantId = 0;
    double serviceDate = 0;

    // The plain text "number;secret;tenantId;date".
    QString PlainText() const;
    // The text sent to the client.
    QString Encoded() const;

    // Reads a plain text back; empty when it does not have the form above.
    static std::optional<SessionToken> ParsePlain(const QString &plain);
    static std::optional<SessionToken> ParseEncoded(const QString &encoded);

    // A new secret of 128 random bits.
    static QString NewSecret();
    // A date value with six decimals and a comma, e.g. "45640,531250".
    static QString DateText(double value);
};

#include "protocol/SessionToken.h"

#include "protocol/CredentialEncoding.h"
#include "protocol/DecimalText.h"

QString DecodeSessionToken(const QString &token)
{
    return RotateText(token, -DOMVEL_LETTER_ROTATION, -DOMVEL_LETTER_ROTATION, -DOMVEL_DIGIT_ROTATION);
}

QString EncodeSessionToken(const QString &plain)
{
    return RotateText(plain, DOMVEL_LETTER_ROTATION, DOMVEL_LETTER_ROTATION, DOMVEL_DIGIT_ROTATION);
}

std::optional<double> ParseSessionToken(const QString &decoded, QChar decimalSeparator)
{
    QStringView rest(decoded);

    // Field 1: a whole number before the first ";".
    qsizetype p = rest.indexOf(u';');
    if (p <= 0 || !ParseWholeNumber(rest.left(p).toString()))
        return std::nullopt;
    rest = rest.mid(p + 1);

    // Field 2, any text, and field 3, a whole number: each taken only when it
    // is not empty. An empty one leaves its ";" in the date, which then fails.
    p = rest.indexOf(u';');
    if (p >= 1) {
        rest = rest.mid(p + 1);
        p = rest.indexOf(u';');
        if (p >= 1) {
            if (!ParseWholeNumber(rest.left(p).toString()))
                return std::nullopt;
            rest = rest.mid(p + 1);
        }
    }

    // The last field: the date value, with a point or a comma whatever the locale.
    return ParseDecimalText(rest.toString(), decimalSeparator);
}

#include "server/CredentialRotation.h"

namespace {

constexpr int kLetterRotation = DOMVEL_LETTER_ROTATION;
constexpr int kDigitRotation = DOMVEL_DIGIT_ROTATION;

QChar rotateIn(QChar c, char16_t first, int span, int amount)
{
    // Positive amounts move backward; the modulo keeps any amount in range.
    const int offset = ((c.unicode() - first - amount) % span + span) % span;
    return QChar(static_cast<char16_t>(first + offset));
}

} // namespace

QString CredentialRotation::Rotate(const QString &text, int upper, int lower, int digit)
{
    QString result = text;
    for (QChar &c : result) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            c = rotateIn(c, u'A', 26, upper);
        else if (u >= u'a' && u <= u'z')
            c = rotateIn(c, u'a', 26, lower);
        else if (u >= u'0' && u <= u'9')
            c = rotateIn(c, u'0', 10, digit);
    }
    return result;
}

QString CredentialRotation::Encode(const QString &plain)
{
    return Rotate(plain, -kLetterRotation, -kLetterRotation, kDigitRotation);
}

QString CredentialRotation::Decode(const QString &encoded)
{
    return Rotate(encoded, kLetterRotation, kLetterRotation, -kDigitRotation);
}

QString CredentialRotation::EncodeToken(const QString &plain)
{
    return Rotate(plain, kLetterRotation, kLetterRotation, kDigitRotation);
}

QString CredentialRotation::DecodeToken(const QString &encoded)
{
    return Rotate(encoded, -kLetterRotation, -kLetterRotation, -kDigitRotation);
}

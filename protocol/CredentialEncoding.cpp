#include "protocol/CredentialEncoding.h"

namespace {

// Moves `ch` within [first, first + size) backward by `amount` (forward when
// negative), wrapping around.
char16_t rotateWithin(char16_t ch, char16_t first, int size, int amount)
{
    const int offset = ((ch - first - amount) % size + size) % size;
    return static_cast<char16_t>(first + offset);
}

} // namespace

QString RotateText(const QString &text, int upper, int lower, int digit)
{
    // Amounts reduced first, so that no amount can overflow the arithmetic.
    upper %= 26;
    lower %= 26;
    digit %= 10;
    QString out = text;
    for (QChar &c : out) {
        const char16_t ch = c.unicode();
        if (ch >= u'A' && ch <= u'Z')
            c = QChar(rotateWithin(ch, u'A', 26, upper));
        else if (ch >= u'a' && ch <= u'z')
            c = QChar(rotateWithin(ch, u'a', 26, lower));
        else if (ch >= u'0' && ch <= u'9')
            c = QChar(rotateWithin(ch, u'0', 10, digit));
    }
    return out;
}

QString EncodeCredential(const QString &text)
{
    return RotateText(text, -DOMVEL_LETTER_ROTATION, -DOMVEL_LETTER_ROTATION, DOMVEL_DIGIT_ROTATION);
}

QString DecodeCredential(const QString &text)
{
    return RotateText(text, DOMVEL_LETTER_ROTATION, DOMVEL_LETTER_ROTATION, -DOMVEL_DIGIT_ROTATION);
}

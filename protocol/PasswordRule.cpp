#include "protocol/PasswordRule.h"

bool IsStrongPassword(const QString &text)
{
    if (text.size() < kMinPasswordLength || text.size() > kMaxPasswordLength)
        return false;
    bool lower = false;
    bool upper = false;
    bool digit = false;
    for (const QChar c : text) {
        const char16_t ch = c.unicode();
        lower = lower || (ch >= u'a' && ch <= u'z');
        upper = upper || (ch >= u'A' && ch <= u'Z');
        digit = digit || (ch >= u'0' && ch <= u'9');
    }
    return lower && upper && digit;
}

QString WeakPasswordMessage()
{
    return QStringLiteral("Podane hasło jest zbyt słabe.\n"
                          "Hasło musi zawierać co najmniej 1 literę dużą,\n"
                          "1 literę małą i 1 cyfrę.\n"
                          "Minimalna ilość znaków: ")
        + QString::number(kMinPasswordLength);
}

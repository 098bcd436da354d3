#include "server/PasswordRule.h"

using namespace Qt::StringLiterals;

bool PasswordRule::IsStrong(const QString &password)
{
    if (password.size() < kMinLength || password.size() > kMaxLength)
        return false;
    bool lower = false;
    bool upper = false;
    bool digit = false;
    for (const QChar c : password) {
        const char16_t u = c.unicode();
        lower = lower || (u >= u'a' && u <= u'z');
        upper = upper || (u >= u'A' && u <= u'Z');
        digit = digit || (u >= u'0' && u <= u'9');
    }
    return lower && upper && digit;
}

QString PasswordRule::WeakPasswordText()
{
    return u"Nowe hasło nie spełnia wymagań: od %1 do %2 znaków, co najmniej 1 duża litera, "
           u"1 mała litera i 1 cyfra."_s.arg(kMinLength).arg(kMaxLength);
}

#include "app/dialogs/LoginInput.h"

#include "account/DisplayTexts.h"
#include "common/AnsiText.h"
#include "common/Errors.h"
#include "protocol/PasswordRule.h"

using namespace Qt::Literals::StringLiterals;

QString TypedCredential(const QString &fieldText)
{
    return ToAnsiText(fieldText.trimmed());
}

QString LoginFieldCaption(LoginField field)
{
    switch (field) {
    case LoginField::Login: return u"Identyfikator użytkownika: "_s;
    case LoginField::Haslo: return u"Hasło: "_s;
    case LoginField::HasloNew_1: return u"Nowe hasło: "_s;
    case LoginField::HasloNew_2: return u"Powtórz nowe hasło: "_s;
    }
    throw IndexError(static_cast<qsizetype>(field), 4);
}

QString PasswordsDifferMessage()
{
    return u"Podane hasła nie są identyczne."_s;
}

QString PasswordUnchangedMessage()
{
    return u"Hasło podane jako nowe jest identyczne z dotychczasowym."_s;
}

namespace {

std::optional<InputRefusal> requireFilled(LoginField field, const QString &typed)
{
    if (!typed.isEmpty())
        return std::nullopt;
    return InputRefusal{field, FieldRequiredMessage(LoginFieldCaption(field))};
}

} // namespace

std::optional<InputRefusal> CheckLoginFields(const LoginInput &input)
{
    if (auto refusal = requireFilled(LoginField::Login, input.Identifier))
        return refusal;
    return requireFilled(LoginField::Haslo, input.Password);
}

std::optional<InputRefusal> CheckNewPasswordFields(const LoginInput &input)
{
    if (auto refusal = requireFilled(LoginField::HasloNew_1, input.NewPassword1))
        return refusal;
    if (auto refusal = requireFilled(LoginField::HasloNew_2, input.NewPassword2))
        return refusal;
    if (input.NewPassword1 != input.NewPassword2)
        return InputRefusal{LoginField::HasloNew_1, PasswordsDifferMessage()};
    if (input.NewPassword1 == input.Password)
        return InputRefusal{LoginField::HasloNew_1, PasswordUnchangedMessage()};
    return std::nullopt;
}

std::optional<InputRefusal> CheckNewPasswordStrength(LoginField field, const QString &typed)
{
    if (typed.isEmpty() || IsStrongPassword(typed))
        return std::nullopt;
    return InputRefusal{field, WeakPasswordMessage()};
}

QString FieldRequiredMessage(const QString &labelCaption)
{
    QString name = labelCaption.trimmed();
    while (!name.isEmpty() && (name.back() == u':' || name.back() == u' '))
        name.chop(1);
    name.remove(u'&');
    return QStringLiteral(" Pole «") + name
        + QStringLiteral("» musi być wypełnione.\n\n Proszę uzupełnić wprowadzone dane.");
}

#pragma once

#include <QString>

#include <optional>

// The rules for what the user typed into the sign-in dialog, without a window.

// The four input fields of the sign-in dialog, in tab order.
enum class LoginField { Login, Haslo, HasloNew_1, HasloNew_2 };

// What the user typed: trimmed and reduced to the narrow code page, as it is
// encoded, sent and compared.
// The refusal for an empty required field, naming the field by the caption of
// its label: trailing colons and spaces and every "&" left out, the rest in
// guillemets.
QString FieldRequiredMessage(const QString &labelCaption);

struct LoginInput
{
    QString Identifier;
    QString Password;
    QString NewPassword1;
    QString NewPassword2;
};

// A refused input: the field to focus and the message to show.
struct InputRefusal
{
    LoginField Field = LoginField::Login;
    QString Message;
};

// The typed text as the dialog uses it: trimmed, then narrow.
QString TypedCredential(const QString &fieldText);

// The label captions that name the fields in the required-field message.
QString LoginFieldCaption(LoginField field);

// The first check of every OK: identifier and password must not be empty.
std::optional<InputRefusal> CheckLoginFields(const LoginInput &input);

// The checks of a password change after CheckLoginFields, in order: both new
// fields filled, the two equal, the new one not the current one.
std::optional<InputRefusal> CheckNewPasswordFields(const LoginInput &input);

// The check of one new-password field when it is left: empty or strong.
std::optional<InputRefusal> CheckNewPasswordStrength(LoginField field, const QString &typed);

// "Podane hasła nie są identyczne."
QString PasswordsDifferMessage();
// "Hasło podane jako nowe jest identyczne z dotychczasowym."
QString PasswordUnchangedMessage();

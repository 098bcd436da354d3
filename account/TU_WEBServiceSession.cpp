#include "account/TU_WEBServiceSession.h"

#include "common/AnsiText.h"
#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "common/TLocale_Class.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/SessionToken.h"

QString FunctionNotPossibleMessage(const QString &reason)
{
    return reason + QStringLiteral("\nWykonanie funkcji nie jest możliwe.");
}

QString IntrusionMessage()
{
    return QStringLiteral("Wykryto próbę włamania do systemu.");
}

void TU_WEBServiceSession::Clear()
{
    // The member initializers are the cleared state.
    *this = TU_WEBServiceSession();
}

void TU_WEBServiceSession::LoadFrom(const TRemSessionBeginData &answer)
{
    LoadFrom(answer, gLocale.DecimalSeparator());
}

void TU_WEBServiceSession::LoadFrom(const TRemSessionBeginData &answer, QChar decimalSeparator)
{
    Clear();
    if (answer.RetCode != 0)
        return;
    SessionToken = answer.SessionToken;
    const std::optional<double> date = ParseSessionToken(DecodeSessionToken(SessionToken), decimalSeparator);
    if (!date)
        throw AppError(IntrusionMessage());
    ServiceDate = *date;
    LastActivity = Now();
    LastActivityMs = MonotonicMs();
    F_Nazwa = ToAnsiText(answer.F_Nazwa);
    F_UlicaNr = ToAnsiText(answer.F_UlicaNr);
    F_Miejscowosc = ToAnsiText(answer.F_Miejscowosc);
    F_Kind = answer.F_Kind;
    U_Nazwisko1 = ToAnsiText(answer.U_Nazwisko1);
    U_Imie1 = ToAnsiText(answer.U_Imie1);
    U_Nazwisko2 = ToAnsiText(answer.U_Nazwisko2);
    U_Imie2 = ToAnsiText(answer.U_Imie2);
    Z_UlicaNr = ToAnsiText(answer.Z_UlicaNr);
    Z_Miejscowosc = ToAnsiText(answer.Z_Miejscowosc);
}

void TU_WEBServiceSession::SetCredentials(const QString &loginE, const QString &passwordE)
{
    LoginE = ToAnsiText(loginE);
    PasswordE = ToAnsiText(passwordE);
}

QString TU_WEBServiceSession::StateText() const
{
    switch (State) {
    case ssNone: return QStringLiteral("Użytkownik nie zalogował się do tej pory do serwisu.");
    case ssActive: return QStringLiteral("Serwis jest aktywny.");
    case ssExpired: return QStringLiteral("Upłynął czas aktywności sesji serwisu.");
    case ssLoggedOut: return QStringLiteral("Użytkownik wylogował się już z serwisu.");
    }
    return {};
}

double TU_WEBServiceSession::MinutesSinceActivity() const
{
    return double((MonotonicMs() - LastActivityMs) / 1000) / 60.0;
}

bool TU_WEBServiceSession::IsExpired()
{
    if (State != ssActive)
        return true;
    if (MinutesSinceActivity() > kLifetimeMinutes) {
        State = ssExpired;
        return true;
    }
    return false;
}

bool TU_WEBServiceSession::IsActive(QString &text)
{
    const bool active = State == ssActive && !IsExpired();
    text = StateText();
    return active;
}

bool TU_WEBServiceSession::CheckActive()
{
    QString text;
    if (IsActive(text))
        return true;
    ShowInformationBox(FunctionNotPossibleMessage(text));
    return false;
}

bool TU_WEBServiceSession::CanRenew(QString &text) const
{
    text = StateText();
    return State == ssActive || State == ssExpired;
}

bool TU_WEBServiceSession::CheckCanRenew()
{
    QString text;
    if (CanRenew(text))
        return true;
    ShowInformationBox(FunctionNotPossibleMessage(text));
    return false;
}

bool TU_WEBServiceSession::CredentialsMatch(const QString &identifier, const QString &password, QString &message) const
{
    if (DecodeCredential(LoginE) == ToAnsiText(identifier) && DecodeCredential(PasswordE) == ToAnsiText(password))
        return true;
    message = QStringLiteral("Dane logowania niezgodne z podanymi podczas pierwotnego logowania.");
    return false;
}

void TU_WEBServiceSession::BeginSession(const TRemSessionBeginData &answer, const QString &loginE,
                                        const QString &passwordE)
{
    LoadFrom(answer);
    SetCredentials(loginE, passwordE);
    State = ssActive;
}

void TU_WEBServiceSession::Renewed(const QString &token)
{
    SessionToken = token;
    LastActivity = Now();
    LastActivityMs = MonotonicMs();
    State = ssActive;
}

void TU_WEBServiceSession::PasswordChanged(const QString &loginE, const QString &newPasswordE, const QString &token)
{
    SetCredentials(loginE, newPasswordE);
    SessionToken = token;
    LastActivity = Now();
    LastActivityMs = MonotonicMs();
    State = ssActive;
}

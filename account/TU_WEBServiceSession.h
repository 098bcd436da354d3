#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <QChar>
#include <QString>

// The state of the user's session with the service.
enum TSessionState : qint32 { ssNone = 0, ssActive = 1, ssExpired = 2, ssLoggedOut = 3 };

// The client's memory of the session: whether a request may be made, the
// encoded credentials and the token every request repeats, and the account
// header the service delivered at login. Texts are narrow (ToAnsiText). A
// session expires 15 minutes after it was begun, renewed or had its password
// changed, whatever happened in between. LastActivity is that moment in local
// time (Now(), common/Clock.h) for display; the 15 minutes are measured on the
// monotonic clock (MonotonicMs()), so a step of the wall clock neither ends a
// fresh session nor keeps an old one alive.
class TU_WEBServiceSession
{
public:
    TSessionState State = ssNone;
    QString LoginE; // encoded identifier
    QString PasswordE; // encoded password
    QString SessionToken; // exactly as delivered; sent back unchanged
    double ServiceDate = 0; // the token's date value: the date of the data
    double LastActivity = 0;
    qint64 LastActivityMs = 0; // MonotonicMs() at the same moment
    QString F_Nazwa;
    QString F_UlicaNr;
    QString F_Miejscowosc;
    qint32 F_Kind = 1; // 1 housing cooperative, anything else a community
    QString Z_UlicaNr;
    QString Z_Miejscowosc;
    QString U_Nazwisko1;
    QString U_Imie1;
    QString U_Nazwisko2;
    QString U_Imie2;

    // Minutes after the last begin, renewal or password change after which
    // the session counts as expired (strictly more than this).
    static constexpr double kLifetimeMinutes = 15;

    // State ssNone, texts empty, dates 0, F_Kind 1.
    void Clear();

    // Takes the token and the header of a session-begin answer; leaves State
    // at ssNone (the caller sets credentials and state). A non-zero RetCode
    // leaves the record cleared. A token without the expected form throws
    // AppError "Wykryto próbę włamania do systemu.", leaving the record cleared
    // but for the token. The date is read with the user's decimal separator.
    void LoadFrom(const TRemSessionBeginData &answer);
    // The same with a given decimal separator.
    void LoadFrom(const TRemSessionBeginData &answer, QChar decimalSeparator);

    void SetCredentials(const QString &loginE, const QString &passwordE);

    // The text for the current state; empty for a value outside the enumeration.
    QString StateText() const;

    // Minutes on the monotonic clock since the last begin, renewal or password
    // change, whole seconds only (15 min 0.9 s reads 15).
    double MinutesSinceActivity() const;

    // True unless the session is active and young enough; an active session
    // found too old becomes ssExpired.
    bool IsExpired();
    // True when active and not expired; `text` receives the state text after the test.
    bool IsActive(QString &text);
    // IsActive; when false, shows the information box "<state text>\n
    // Wykonanie funkcji nie jest możliwe.".
    bool CheckActive();
    // True when active or expired (no expiry test); `text` receives the state text.
    bool CanRenew(QString &text) const;
    // CanRenew; when false, the same information box as CheckActive.
    bool CheckCanRenew();

    // Compares the given identifier and password (trimmed input) with the
    // decoded kept ones, exactly. On a mismatch, `message` receives the
    // refusal and the answer is false; otherwise `message` is left alone.
    bool CredentialsMatch(const QString &identifier, const QString &password, QString &message) const;

    // The changes the sign-in flow makes, one per event.
    // Session begun: LoadFrom, SetCredentials, State ssActive. Throws as LoadFrom.
    void BeginSession(const TRemSessionBeginData &answer, const QString &loginE, const QString &passwordE);
    // Session renewed: the new token, the clock restarted, State ssActive.
    void Renewed(const QString &token);
    // Password changed: the new credentials and token, the clock restarted, State ssActive.
    void PasswordChanged(const QString &loginE, const QString &newPasswordE, const QString &token);
    // Logged out, whatever the service answered.
    void LoggedOut() { State = ssLoggedOut; }
};

// The refusal of an action: the reason, a line break and "Wykonanie funkcji
// nie jest możliwe.".
QString FunctionNotPossibleMessage(const QString &reason);

// The message when the session token does not have the expected form.
QString IntrusionMessage();

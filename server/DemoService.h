#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "server/LoginThrottle.h"
#include "server/PasswordHash.h"
#include "server/SessionRegistry.h"

#include <QVersionNumber>

#include <optional>
#include <string_view>

class ServerDatabase;
struct TenantAccount;

// The nine operations of the e-account service over the demo database: the
// same interface the client calls, answered on the server's side. Credentials
// arrive encoded and are decoded here; every outcome the contract knows is an
// answer with a RetCode, and only a failure of the server itself (the
// database) becomes a ServiceFailure, which the HTTP layer sends as a fault.
// The time is the common clock seam Now().
class DemoService : public IZOKA_E_BOK
{
public:
    // The service's outcome codes beyond the contract's 0, 100 and 101.
    enum RetCode : qint32 {
        Ok = 0,
        WrongCredentials = 1,
        NoSession = 2,
        SessionExpired = 3,
        LoginLocked = 4,
        WeakPassword = 5,
        BadParameters = 6,
        NoDocument = 7,
        Busy = 8,
        NotAvailable = 9,
        VersionOk = 100,
        VersionTooOld = 101,
        VersionUnreadable = 102,
    };

    struct Settings
    {
        QVersionNumber minimumVersion{1, 3, 0, 0};
        double sessionMinutes = 15.0;
        // False where a thread serves the connections: a password check
        // then uses only results of jobs run elsewhere (Remember) and answers
        // Busy rather than derive a digest itself.
        bool inlineDigests = true;
    };

    DemoService(ServerDatabase &database, Settings settings);

    ServiceResult<TRemChangePasswordData> ZOKA_WS_ChangePassword(const QString &aLoginE, const QString &aPasswordE,
                                                                 const QString &aSessionToken,
                                                                 const QString &aPasswordE_New) override;
    ServiceResult<TRemSessionBeginData> ZOKA_WS_CzSessionBegin(const QString &aLoginE,
                                                               const QString &aPasswordE) override;
    ServiceResult<TRemDokDetailsGetData> ZOKA_WS_DokDetailsGet(const QString &aLoginE, const QString &aPasswordE,
                                                               const QString &aSessionToken, qint32 aID_Dok_Master,
                                                               qint32 aKontoKsg, qint32 aYear) override;
    ServiceResult<TRemInitialCheck> ZOKA_WS_InitialCheck(const QString &aVersion) override;
    ServiceResult<TRemKartotekaMcaGetData> ZOKA_WS_KartotekaMcaGet(const QString &aLoginE, const QString &aPasswordE,
                                                                   const QString &aSessionToken, qint32 aKontoKsg,
                                                                   qint32 aYear, qint32 aMonth) override;
    ServiceResult<bool> ZOKA_WS_Logout(const QString &aLoginE, const QString &aPasswordE,
                                       const QString &aSessionToken) override;
    ServiceResult<QString> ZOKA_WS_SessionRenew(const QString &aLoginE, const QString &aPasswordE,
                                                const QString &aSessionToken) override;
    ServiceResult<TRemWymiarOplatGetData> ZOKA_WS_WymiarOplatGet(const QString &aLoginE, const QString &aPasswordE,
                                                                 const QString &aSessionToken, qint32 aKontoKsg,
                                                                 qint32 aYear, qint32 aMonth) override;
    ServiceResult<TRemYearRozrachGetData> ZOKA_WS_YearRozrachGet(const QString &aLoginE, const QString &aPasswordE,
                                                                 const QString &aSessionToken,
                                                                 qint32 aYearEwid) override;

    SessionRegistry &Sessions() { return m_sessions; }
    LoginThrottle &Throttle() { return m_throttle; }

    // The address of the client whose request is answered next (the key of
    // the throttle together with the login); empty when called directly.
    void SetClientAddress(const QString &address) { m_client = address; }

    // The slow work a password check needs: the digests of the password
    // against the stored value and, for a password change, of the new one.
    struct PasswordJob
    {
        QString login;
        QString client; // the address it came from
        QString password;
        QString stored;
        QString newPassword; // empty unless the password is being changed
    };
    struct PasswordJobResult
    {
        PasswordHash::Outcome outcome;
        QString newStored;
    };
    static PasswordJobResult Run(const PasswordJob &job);

    // What a request needs before it is answered, so that the HTTP layer can
    // wait and derive digests without holding up other clients: the seconds
    // the throttle makes it wait, and the password job, if any. Requests that
    // carry no password, or an impossible login, need nothing. An attempt
    // that would wait more than kMaxHoldSeconds is refused at once, with no
    // digest (`refusal`, to be passed to SetRefusal before answering).
    struct Preparation
    {
        double waitSeconds = 0;
        std::optional<PasswordJob> job;
        std::optional<qint32> refusal;
    };
    static constexpr double kMaxHoldSeconds = 5.0;
    Preparation Prepare(std::string_view operation, const QString &aLoginE, const QString &aPasswordE,
                        const QString &aPasswordE_New);
    // The result of a job run elsewhere; the next check of the same password
    // against the same stored value uses it instead of deriving again.
    void Remember(const PasswordJob &job, const PasswordJobResult &result);
    // The job again, with the stored value of now, when that changed since
    // the job was prepared (a password change came between): its result
    // would not be the one the answer needs.
    std::optional<PasswordJob> Refreshed(const PasswordJob &job) const;
    // Seconds the throttle asks of the job's attempt now (checked again just
    // before its digest starts).
    double WaitBeforeDigest(const PasswordJob &job) const;
    // The code the next password check answers without checking (the HTTP
    // layer decided: locked, busy).
    void SetRefusal(std::optional<qint32> code) { m_refusal = code; }

    // Longest text a login or password may have; longer ones are refused
    // before any work.
    static constexpr qsizetype kMaxPasswordLength = 256;
    // Wrong passwords with a session's token before that session ends.
    static constexpr int kWrongPasswordsPerSession = 3;

    // The text sent with each RetCode.
    static QString RetCodeText(qint32 code);

    // The open booking period of the cooperative (a first day of a month):
    // its fixed period, or the current month.
    static double ActivePeriod(const TenantAccount &account);

private:
    struct Access
    {
        qint32 code = Ok;
        SessionRegistry::Session *session = nullptr;
    };
    // The credentials a request repeats with a session's token; a mismatch
    // counts as a failed sign-in and, after a few, ends the session.
    bool sessionCredentials(SessionRegistry::Session &session, const QString &aLoginE, const QString &aPasswordE,
                            const QString &aSessionToken);
    // Checks the token and the credentials a data request repeats.
    Access authorize(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken);
    // Checks a login and password against the stored digest, with the lock.
    qint32 verifyPassword(const QString &login, const QString &password, std::optional<TenantAccount> &account);
    std::optional<PasswordHash::Outcome> check(const QString &password, const QString &stored);
    std::optional<QString> store(const QString &password);
    bool yearInRange(const TenantAccount &account, int year) const;

    ServerDatabase &m_db;
    Settings m_settings;
    SessionRegistry m_sessions;
    LoginThrottle m_throttle;
    QString m_client;
    std::optional<qint32> m_refusal;
    // Results of password jobs run elsewhere, by a digest of their texts.
    QHash<QByteArray, PasswordHash::Outcome> m_checked;
    QHash<QByteArray, QString> m_stored;
};

#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "server/LoginThrottle.h"
#include "server/SessionRegistry.h"

#include <QVersionNumber>

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
        NotAvailable = 9,
        VersionOk = 100,
        VersionTooOld = 101,
        VersionUnreadable = 102,
    };

    struct Settings
    {
        QVersionNumber minimumVersion{1, 3, 0, 0};
        double sessionMinutes = 15.0;
    };

    DemoService(ServerDatabase &database, Settings settings);

    ServiceResult<TRemChangePasswordData> ZOKA_WS_ChangePassword(
        const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
        const QString &aPasswordE_New) override;
    ServiceResult<TRemSessionBeginData> ZOKA_WS_CzSessionBegin(
        const QString &aLoginE, const QString &aPasswordE) override;
    ServiceResult<TRemDokDetailsGetData> ZOKA_WS_DokDetailsGet(
        const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
        qint32 aID_Dok_Master, qint32 aKontoKsg, qint32 aYear) override;
    ServiceResult<TRemInitialCheck> ZOKA_WS_InitialCheck(const QString &aVersion) override;
    ServiceResult<TRemKartotekaMcaGetData> ZOKA_WS_KartotekaMcaGet(
        const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
        qint32 aKontoKsg, qint32 aYear, qint32 aMonth) override;
    ServiceResult<bool> ZOKA_WS_Logout(
        const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken) override;
    ServiceResult<QString> ZOKA_WS_SessionRenew(
        const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken) override;
    ServiceResult<TRemWymiarOplatGetData> ZOKA_WS_WymiarOplatGet(
        const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
        qint32 aKontoKsg, qint32 aYear, qint32 aMonth) override;
    ServiceResult<TRemYearRozrachGetData> ZOKA_WS_YearRozrachGet(
        const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
        qint32 aYearEwid) override;

    SessionRegistry &Sessions() { return m_sessions; }

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
    // Checks the token and the credentials a data request repeats.
    Access authorize(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken);
    // Checks a login and password against the stored digest, with the lock.
    qint32 verifyPassword(const QString &login, const QString &password, std::optional<TenantAccount> &account);
    bool yearInRange(const TenantAccount &account, int year) const;

    ServerDatabase &m_db;
    Settings m_settings;
    SessionRegistry m_sessions;
    LoginThrottle m_throttle;
};

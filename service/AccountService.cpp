#include "service/AccountService.h"

#include "account/Account.h"
#include "common/Cursors.h"
#include "common/Messages.h"
#include "common/VersionInfo.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/IZOKA_E_BOK.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"
#include "service/ServiceCall.h"

#include <optional>

namespace {

constexpr qint32 kVersionAccepted = 100;
constexpr qint32 kUpdateRequired = 101;

std::function<void()> &updateNoticeHandler()
{
    static std::function<void()> handler;
    return handler;
}

void showUpdateNotice()
{
    if (const auto &handler = updateNoticeHandler())
        handler();
    else
        ShowInformationBox(QStringLiteral("Trzeba, niestety, zaktualizować aplikację."));
}

} // namespace

void SetUpdateNoticeHandler(std::function<void()> handler)
{
    updateNoticeHandler() = std::move(handler);
}

AccountService::AccountService(Account &account, IZOKA_E_BOK *service) : m_account(account), m_service(service)
{
}

bool AccountService::CheckClientVersion()
{
    const TWaitCursor wait;
    if (!m_service) {
        ShowServiceUnavailable();
        RequestApplicationTerminate();
        return false;
    }
    const std::optional<TRemInitialCheck> answer
        = CallService<TRemInitialCheck>([&] { return m_service->ZOKA_WS_InitialCheck(ProgramProductVersion()); });
    if (!answer) {
        RequestApplicationTerminate();
        return false;
    }
    if (answer->RetCode == kVersionAccepted)
        return true;
    if (answer->RetCode == kUpdateRequired)
        showUpdateNotice();
    else
        ShowErrorBox(answer->RetCodeAsString);
    RequestApplicationTerminate();
    return false;
}

SessionOutcome AccountService::BeginSession(const QString &loginE, const QString &passwordE)
{
    const TWaitCursor wait;
    if (!m_service) {
        ShowServiceUnavailable();
        return SessionOutcome::NoService;
    }
    const std::optional<TRemSessionBeginData> answer
        = CallService<TRemSessionBeginData>([&] { return m_service->ZOKA_WS_CzSessionBegin(loginE, passwordE); });
    if (!answer || answer->RetCode != 0)
        return SessionOutcome::Refused;
    try {
        m_account.Session.BeginSession(*answer, loginE, passwordE);
        m_account.Data.LoadFrom(*answer);
    } catch (...) {
        // A token that does not decode or figures that cannot be read: the
        // answer cannot be trusted, and neither can the rest of the session.
        ShowErrorDisplay(std::current_exception());
        RequestApplicationTerminate();
        return SessionOutcome::Unusable;
    }
    return SessionOutcome::Done;
}

SessionOutcome AccountService::RenewSession(const QString &identifier, const QString &password)
{
    const TWaitCursor wait;
    if (!m_service) {
        ShowServiceUnavailable();
        return SessionOutcome::NoService;
    }
    TU_WEBServiceSession &session = m_account.Session;
    const std::optional<QString> token = CallService<QString>([&] {
        return m_service->ZOKA_WS_SessionRenew(EncodeCredential(identifier), EncodeCredential(password),
                                               session.SessionToken);
    });
    if (!token || token->isEmpty())
        return SessionOutcome::Refused;
    session.Renewed(*token);
    return SessionOutcome::Done;
}

SessionOutcome AccountService::ChangePassword(const QString &loginE, const QString &passwordE,
                                              const QString &newPasswordE, QString &reason)
{
    const TWaitCursor wait;
    if (!m_service) {
        ShowServiceUnavailable();
        return SessionOutcome::NoService;
    }
    TU_WEBServiceSession &session = m_account.Session;
    const std::optional<TRemChangePasswordData> answer = CallService<TRemChangePasswordData>(
        [&] { return m_service->ZOKA_WS_ChangePassword(loginE, passwordE, session.SessionToken, newPasswordE); });
    if (!answer || answer->RetCode != 0) {
        reason = answer ? answer->RetCodeAsString : QString();
        return SessionOutcome::Refused;
    }
    session.PasswordChanged(loginE, newPasswordE, answer->SessionToken);
    return SessionOutcome::Done;
}

void AccountService::Logout()
{
    const TWaitCursor wait;
    TU_WEBServiceSession &session = m_account.Session;
    if (!session.CheckActive())
        return;
    if (!m_service) {
        ShowServiceUnavailable();
        return;
    }
    // The answer does not matter: the user asked to be logged out.
    CallService<bool>(
        [&] { return m_service->ZOKA_WS_Logout(session.LoginE, session.PasswordE, session.SessionToken); });
    session.LoggedOut();
}

bool AccountService::GetServiceInterface(IZOKA_E_BOK *&service)
{
    if (!m_account.Session.CheckActive())
        return false;
    if (!m_service) {
        ShowServiceUnavailable();
        return false;
    }
    service = m_service;
    return true;
}

template<typename Answer, typename Call, typename Load>
bool AccountService::runQuery(Call &&call, Load &&load)
{
    const TWaitCursor wait;
    IZOKA_E_BOK *service = nullptr;
    if (!GetServiceInterface(service))
        return false;
    return RunDataQuery<Answer>(*service, m_account.Session, std::forward<Call>(call), std::forward<Load>(load));
}

bool AccountService::QueryYearSettlements(qint32 year)
{
    return runQuery<TRemYearRozrachGetData>(
        [&](IZOKA_E_BOK &s, const QString &login, const QString &password, const QString &token) {
            return s.ZOKA_WS_YearRozrachGet(login, password, token, year);
        },
        [&](const TRemYearRozrachGetData &answer) { m_account.Data.LoadYearFrom(year, answer); });
}

bool AccountService::QueryMonthLedger(qint32 category, qint32 year, qint32 month)
{
    return runQuery<TRemKartotekaMcaGetData>(
        [&](IZOKA_E_BOK &s, const QString &login, const QString &password, const QString &token) {
            return s.ZOKA_WS_KartotekaMcaGet(login, password, token, category, year, month);
        },
        [&](const TRemKartotekaMcaGetData &answer) { m_account.KsgData.LoadFrom(answer); });
}

bool AccountService::QueryDocumentDetails(qint32 documentId, qint32 category, qint32 year)
{
    return runQuery<TRemDokDetailsGetData>(
        [&](IZOKA_E_BOK &s, const QString &login, const QString &password, const QString &token) {
            return s.ZOKA_WS_DokDetailsGet(login, password, token, documentId, category, year);
        },
        [&](const TRemDokDetailsGetData &answer) { m_account.DokData.LoadFrom(answer); });
}

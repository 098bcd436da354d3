#include "service/ServiceQueries.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "common/Cursors.h"
#include "common/Messages.h"
#include "common/VersionInfo.h"
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

bool CheckClientVersion()
{
    const TWaitCursor wait;
    IZOKA_E_BOK *service = ServiceProxy();
    if (!service) {
        ShowServiceUnavailable();
        RequestApplicationTerminate();
        return false;
    }
    const std::optional<TRemInitialCheck> answer =
        CallService<TRemInitialCheck>([&] { return service->ZOKA_WS_InitialCheck(ProgramProductVersion()); });
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

bool QueryYearSettlements(qint32 year)
{
    return RunDataQuery<TRemYearRozrachGetData>(
        [&](IZOKA_E_BOK &service, const QString &login, const QString &password, const QString &token) {
            return service.ZOKA_WS_YearRozrachGet(login, password, token, year);
        },
        [&](const TRemYearRozrachGetData &answer) { gU_WEBServiceData.LoadYearFrom(year, answer); });
}

bool QueryMonthLedger(qint32 category, qint32 year, qint32 month)
{
    return RunDataQuery<TRemKartotekaMcaGetData>(
        [&](IZOKA_E_BOK &service, const QString &login, const QString &password, const QString &token) {
            return service.ZOKA_WS_KartotekaMcaGet(login, password, token, category, year, month);
        },
        [](const TRemKartotekaMcaGetData &answer) { gU_WEBServiceKsgData.LoadFrom(answer); });
}

bool QueryDocumentDetails(qint32 documentId, qint32 category, qint32 year)
{
    return RunDataQuery<TRemDokDetailsGetData>(
        [&](IZOKA_E_BOK &service, const QString &login, const QString &password, const QString &token) {
            return service.ZOKA_WS_DokDetailsGet(login, password, token, documentId, category, year);
        },
        [](const TRemDokDetailsGetData &answer) { gU_WEBServiceDokData.LoadFrom(answer); });
}

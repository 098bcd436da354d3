#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapCodec.h"

class THTTPRIO;

// IZOKA_E_BOK over a THTTPRIO connection: each operation writes its request,
// posts it and reads the answer, one failure channel for all three steps.
class ZOKA_E_BOK_Proxy : public IZOKA_E_BOK
{
public:
    explicit ZOKA_E_BOK_Proxy(THTTPRIO &connection) : m_connection(connection) {}

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

private:
    template<typename Result>
    ServiceResult<Result> Call(std::string_view operation, const QList<SoapArgument> &arguments);

    THTTPRIO &m_connection;
};

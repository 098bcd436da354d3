#include "protocol/ZOKA_E_BOK_Proxy.h"

ServiceResult<TRemChangePasswordData> ZOKA_E_BOK_Proxy::ZOKA_WS_ChangePassword(const QString &aLoginE,
                                                                               const QString &aPasswordE,
                                                                               const QString &aSessionToken,
                                                                               const QString &aPasswordE_New)
{
    return Invoke<TRemChangePasswordData>("ZOKA_WS_ChangePassword",
                                          {aLoginE, aPasswordE, aSessionToken, aPasswordE_New});
}

ServiceResult<TRemSessionBeginData> ZOKA_E_BOK_Proxy::ZOKA_WS_CzSessionBegin(const QString &aLoginE,
                                                                             const QString &aPasswordE)
{
    return Invoke<TRemSessionBeginData>("ZOKA_WS_CzSessionBegin", {aLoginE, aPasswordE});
}

ServiceResult<TRemDokDetailsGetData>
ZOKA_E_BOK_Proxy::ZOKA_WS_DokDetailsGet(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
                                        qint32 aID_Dok_Master, qint32 aKontoKsg, qint32 aYear)
{
    return Invoke<TRemDokDetailsGetData>("ZOKA_WS_DokDetailsGet",
                                         {aLoginE, aPasswordE, aSessionToken, aID_Dok_Master, aKontoKsg, aYear});
}

ServiceResult<TRemInitialCheck> ZOKA_E_BOK_Proxy::ZOKA_WS_InitialCheck(const QString &aVersion)
{
    return Invoke<TRemInitialCheck>("ZOKA_WS_InitialCheck", {aVersion});
}

ServiceResult<TRemKartotekaMcaGetData>
ZOKA_E_BOK_Proxy::ZOKA_WS_KartotekaMcaGet(const QString &aLoginE, const QString &aPasswordE,
                                          const QString &aSessionToken, qint32 aKontoKsg, qint32 aYear, qint32 aMonth)
{
    return Invoke<TRemKartotekaMcaGetData>("ZOKA_WS_KartotekaMcaGet",
                                           {aLoginE, aPasswordE, aSessionToken, aKontoKsg, aYear, aMonth});
}

ServiceResult<bool> ZOKA_E_BOK_Proxy::ZOKA_WS_Logout(const QString &aLoginE, const QString &aPasswordE,
                                                     const QString &aSessionToken)
{
    return Invoke<bool>("ZOKA_WS_Logout", {aLoginE, aPasswordE, aSessionToken});
}

ServiceResult<QString> ZOKA_E_BOK_Proxy::ZOKA_WS_SessionRenew(const QString &aLoginE, const QString &aPasswordE,
                                                              const QString &aSessionToken)
{
    return Invoke<QString>("ZOKA_WS_SessionRenew", {aLoginE, aPasswordE, aSessionToken});
}

ServiceResult<TRemWymiarOplatGetData>
ZOKA_E_BOK_Proxy::ZOKA_WS_WymiarOplatGet(const QString &aLoginE, const QString &aPasswordE,
                                         const QString &aSessionToken, qint32 aKontoKsg, qint32 aYear, qint32 aMonth)
{
    return Invoke<TRemWymiarOplatGetData>("ZOKA_WS_WymiarOplatGet",
                                          {aLoginE, aPasswordE, aSessionToken, aKontoKsg, aYear, aMonth});
}

ServiceResult<TRemYearRozrachGetData> ZOKA_E_BOK_Proxy::ZOKA_WS_YearRozrachGet(const QString &aLoginE,
                                                                               const QString &aPasswordE,
                                                                               const QString &aSessionToken,
                                                                               qint32 aYearEwid)
{
    return Invoke<TRemYearRozrachGetData>("ZOKA_WS_YearRozrachGet", {aLoginE, aPasswordE, aSessionToken, aYearEwid});
}

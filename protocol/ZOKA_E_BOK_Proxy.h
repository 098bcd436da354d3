#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapCodec.h"
#include "protocol/THTTPRIO.h"

// IZOKA_E_BOK over a THTTPRIO connection: each operation writes its request,
// posts it and reads the answer, one failure channel for all three steps.
class ZOKA_E_BOK_Proxy : public IZOKA_E_BOK
{
public:
    explicit ZOKA_E_BOK_Proxy(THTTPRIO &connection) : m_connection(connection) { }

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

    // One operation by its name: writes the request, posts it and reads the
    // answer as Result. A name the contract does not know is a failure of kind
    // Request, and nothing is sent.
    template<typename Result>
    ServiceResult<Result> Invoke(std::string_view operation, const QList<SoapArgument> &arguments);

private:
    THTTPRIO &m_connection;
};

template<typename Result>
ServiceResult<Result> ZOKA_E_BOK_Proxy::Invoke(std::string_view operation, const QList<SoapArgument> &arguments)
{
    const OperationInfo *info = FindOperation(operation);
    if (!info) {
        return ServiceFailure{ServiceFailure::Kind::Request,
                              QStringLiteral("nieznana operacja %1")
                                  .arg(QLatin1StringView(operation.data(), qsizetype(operation.size())))};
    }
    const ServiceResult<QByteArray> request = SoapCodec::WriteRequest(*info, arguments);
    if (!request.ok())
        return request.failure();
    const ServiceResult<QByteArray> answer = m_connection.Invoke(info->name, request.value());
    if (!answer.ok())
        return answer.failure();
    return SoapCodec::ReadAnswer<Result>(info->name, answer.value(), m_connection.MaxAnswerSize());
}

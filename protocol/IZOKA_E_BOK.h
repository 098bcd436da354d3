#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <optional>
#include <span>
#include <string_view>
#include <tuple>
#include <utility>

// The contract of the e-account service: the answer records, each declaring its
// properties once, in wire order, and the interface with its nine operations.
// The codec, the demo server and the tests all walk the same field lists.

// The service's path on the server; its namespaces are in SoapNames.h.
inline constexpr std::string_view kServicePath = "/cgi-bin/ZOKA_Webservice_Server.exe/soap/IZOKA_E_BOK";

using TBoundArray = QList<qint32>;
using TDoubleDynArray = QList<double>;
using TStringDynArray = QList<QString>;
using TBooleanDynArray = QList<bool>;

// One property of a record: its wire name and the member that holds it.
template<typename Record, typename T>
struct Field
{
    std::string_view name;
    T Record::*member;
};
template<typename Record, typename T>
Field(std::string_view, T Record::*) -> Field<Record, T>;

// Calls f(field) for each property of the record type, in wire order.
template<typename Record, typename F>
constexpr void ForEachField(F &&f)
{
    std::apply([&](const auto &...field) { (f(field), ...); }, Record::fields());
}

#define DOMVEL_FIELD(Record, name)                                                                                     \
    Field                                                                                                              \
    {                                                                                                                  \
        std::string_view(#name), &Record::name                                                                         \
    }

struct TRemInitialCheck
{
    qint32 RetCode = 0;
    QString RetCodeAsString;

    static constexpr std::string_view TypeName = "TRemInitialCheck";
    static constexpr auto fields()
    {
        using R = TRemInitialCheck;
        return std::tuple{DOMVEL_FIELD(R, RetCode), DOMVEL_FIELD(R, RetCodeAsString)};
    }
};

struct TRemWymiarOplatGetData
{
    qint32 RetCode = 0;
    QString RetCodeAsString;

    static constexpr std::string_view TypeName = "TRemWymiarOplatGetData";
    static constexpr auto fields()
    {
        using R = TRemWymiarOplatGetData;
        return std::tuple{DOMVEL_FIELD(R, RetCode), DOMVEL_FIELD(R, RetCodeAsString)};
    }
};

struct TRemChangePasswordData
{
    qint32 RetCode = 0;
    QString RetCodeAsString;
    QString SessionToken;

    static constexpr std::string_view TypeName = "TRemChangePasswordData";
    static constexpr auto fields()
    {
        using R = TRemChangePasswordData;
        return std::tuple{DOMVEL_FIELD(R, RetCode), DOMVEL_FIELD(R, RetCodeAsString), DOMVEL_FIELD(R, SessionToken)};
    }
};

struct TRemSessionBeginData
{
    qint32 RetCode = 0;
    QString RetCodeAsString;
    QString SessionToken;
    bool CZMain_Service_F = false;
    bool CZOds_Service_F = false;
    bool WOMain_Service_F = false;
    bool WOOds_Service_F = false;
    bool Odpady_Service_F = false;
    qint32 SaldaOtherKnt_InfoHandlingKind = 0;
    QString SysCZPeriodEwidActive;
    QString SysCZPeriodStart;
    QString SysWOPeriodEwidActive;
    QString SysWOPeriodStart;
    QString UserDateEksploatFrom;
    QString UserDateEksploatTo;
    QString F_Nazwa;
    QString F_Miejscowosc;
    QString F_UlicaNr;
    qint32 F_Kind = 0;
    QString U_Imie1;
    QString U_Nazwisko1;
    QString U_Imie2;
    QString U_Nazwisko2;
    QString Z_Miejscowosc;
    QString Z_UlicaNr;
    TDoubleDynArray ObrotyCZMain_WN;
    TDoubleDynArray ObrotyCZMain_MA;
    TDoubleDynArray ObrotyCZOds_WN;
    TDoubleDynArray ObrotyCZOds_MA;
    TDoubleDynArray ObrotyWOMain_WN;
    TDoubleDynArray ObrotyWOMain_MA;
    TDoubleDynArray ObrotyWOOds_WN;
    TDoubleDynArray ObrotyWOOds_MA;
    TDoubleDynArray ObrotyOdpady_WN;
    TDoubleDynArray ObrotyOdpady_MA;
    bool SaldaWNOtherKnt_ShowF = false;

    static constexpr std::string_view TypeName = "TRemSessionBeginData";
    static constexpr auto fields()
    {
        using R = TRemSessionBeginData;
        return std::tuple{DOMVEL_FIELD(R, RetCode),
                          DOMVEL_FIELD(R, RetCodeAsString),
                          DOMVEL_FIELD(R, SessionToken),
                          DOMVEL_FIELD(R, CZMain_Service_F),
                          DOMVEL_FIELD(R, CZOds_Service_F),
                          DOMVEL_FIELD(R, WOMain_Service_F),
                          DOMVEL_FIELD(R, WOOds_Service_F),
                          DOMVEL_FIELD(R, Odpady_Service_F),
                          DOMVEL_FIELD(R, SaldaOtherKnt_InfoHandlingKind),
                          DOMVEL_FIELD(R, SysCZPeriodEwidActive),
                          DOMVEL_FIELD(R, SysCZPeriodStart),
                          DOMVEL_FIELD(R, SysWOPeriodEwidActive),
                          DOMVEL_FIELD(R, SysWOPeriodStart),
                          DOMVEL_FIELD(R, UserDateEksploatFrom),
                          DOMVEL_FIELD(R, UserDateEksploatTo),
                          DOMVEL_FIELD(R, F_Nazwa),
                          DOMVEL_FIELD(R, F_Miejscowosc),
                          DOMVEL_FIELD(R, F_UlicaNr),
                          DOMVEL_FIELD(R, F_Kind),
                          DOMVEL_FIELD(R, U_Imie1),
                          DOMVEL_FIELD(R, U_Nazwisko1),
                          DOMVEL_FIELD(R, U_Imie2),
                          DOMVEL_FIELD(R, U_Nazwisko2),
                          DOMVEL_FIELD(R, Z_Miejscowosc),
                          DOMVEL_FIELD(R, Z_UlicaNr),
                          DOMVEL_FIELD(R, ObrotyCZMain_WN),
                          DOMVEL_FIELD(R, ObrotyCZMain_MA),
                          DOMVEL_FIELD(R, ObrotyCZOds_WN),
                          DOMVEL_FIELD(R, ObrotyCZOds_MA),
                          DOMVEL_FIELD(R, ObrotyWOMain_WN),
                          DOMVEL_FIELD(R, ObrotyWOMain_MA),
                          DOMVEL_FIELD(R, ObrotyWOOds_WN),
                          DOMVEL_FIELD(R, ObrotyWOOds_MA),
                          DOMVEL_FIELD(R, ObrotyOdpady_WN),
                          DOMVEL_FIELD(R, ObrotyOdpady_MA),
                          DOMVEL_FIELD(R, SaldaWNOtherKnt_ShowF)};
    }
};

struct TRemYearRozrachGetData
{
    qint32 RetCode = 0;
    QString RetCodeAsString;
    qint32 SaldaOtherKnt_InfoHandlingKind = 0;
    TDoubleDynArray ObrotyCZMain_WN;
    TDoubleDynArray ObrotyCZMain_MA;
    TDoubleDynArray ObrotyCZOds_WN;
    TDoubleDynArray ObrotyCZOds_MA;
    TDoubleDynArray ObrotyWOMain_WN;
    TDoubleDynArray ObrotyWOMain_MA;
    TDoubleDynArray ObrotyWOOds_WN;
    TDoubleDynArray ObrotyWOOds_MA;
    TDoubleDynArray ObrotyOdpady_WN;
    TDoubleDynArray ObrotyOdpady_MA;
    bool SaldaWNOtherKnt_ShowF = false;

    static constexpr std::string_view TypeName = "TRemYearRozrachGetData";
    static constexpr auto fields()
    {
        using R = TRemYearRozrachGetData;
        return std::tuple{DOMVEL_FIELD(R, RetCode),
                          DOMVEL_FIELD(R, RetCodeAsString),
                          DOMVEL_FIELD(R, SaldaOtherKnt_InfoHandlingKind),
                          DOMVEL_FIELD(R, ObrotyCZMain_WN),
                          DOMVEL_FIELD(R, ObrotyCZMain_MA),
                          DOMVEL_FIELD(R, ObrotyCZOds_WN),
                          DOMVEL_FIELD(R, ObrotyCZOds_MA),
                          DOMVEL_FIELD(R, ObrotyWOMain_WN),
                          DOMVEL_FIELD(R, ObrotyWOMain_MA),
                          DOMVEL_FIELD(R, ObrotyWOOds_WN),
                          DOMVEL_FIELD(R, ObrotyWOOds_MA),
                          DOMVEL_FIELD(R, ObrotyOdpady_WN),
                          DOMVEL_FIELD(R, ObrotyOdpady_MA),
                          DOMVEL_FIELD(R, SaldaWNOtherKnt_ShowF)};
    }
};

struct TRemKartotekaMcaGetData
{
    qint32 RetCode = 0;
    QString RetCodeAsString;
    qint32 KontoKsg = 0;
    qint32 Year = 0;
    qint32 Month = 0;
    qint32 KsgNumber = 0;
    TBoundArray KsgStrona;
    TBoundArray KsgTypDok;
    TBoundArray KsgID_Dok_Master;
    TDoubleDynArray KsgDataOperacji;
    TDoubleDynArray KsgDataOperRozrach;
    TDoubleDynArray KsgValue;
    TStringDynArray KsgTrescOper;
    TStringDynArray KsgNrDokMaster;

    static constexpr std::string_view TypeName = "TRemKartotekaMcaGetData";
    static constexpr auto fields()
    {
        using R = TRemKartotekaMcaGetData;
        return std::tuple{DOMVEL_FIELD(R, RetCode),
                          DOMVEL_FIELD(R, RetCodeAsString),
                          DOMVEL_FIELD(R, KontoKsg),
                          DOMVEL_FIELD(R, Year),
                          DOMVEL_FIELD(R, Month),
                          DOMVEL_FIELD(R, KsgNumber),
                          DOMVEL_FIELD(R, KsgStrona),
                          DOMVEL_FIELD(R, KsgTypDok),
                          DOMVEL_FIELD(R, KsgID_Dok_Master),
                          DOMVEL_FIELD(R, KsgDataOperacji),
                          DOMVEL_FIELD(R, KsgDataOperRozrach),
                          DOMVEL_FIELD(R, KsgValue),
                          DOMVEL_FIELD(R, KsgTrescOper),
                          DOMVEL_FIELD(R, KsgNrDokMaster)};
    }
};

struct TRemDokDetailsGetData
{
    qint32 RetCode = 0;
    QString RetCodeAsString;
    double DataOperacji = 0;
    double DataOperRozrach = 0;
    double DataNalFrom = 0;
    double DataNalTo = 0;
    QString TrescOper;
    qint32 DokKind = 0;
    qint32 ZasobKind = 0;
    qint32 KontoKsg = 0;
    qint32 SklNumber = 0;
    TStringDynArray NazwaSkl;
    TStringDynArray IloscAsStr;
    TDoubleDynArray Cena;
    TStringDynArray WspolczAsStr;
    TBooleanDynArray UwzglCzescMca;
    TDoubleDynArray ValueNetto;
    TDoubleDynArray ValueVAT;
    TStringDynArray StVAT;

    static constexpr std::string_view TypeName = "TRemDokDetailsGetData";
    static constexpr auto fields()
    {
        using R = TRemDokDetailsGetData;
        return std::tuple{DOMVEL_FIELD(R, RetCode),      DOMVEL_FIELD(R, RetCodeAsString),
                          DOMVEL_FIELD(R, DataOperacji), DOMVEL_FIELD(R, DataOperRozrach),
                          DOMVEL_FIELD(R, DataNalFrom),  DOMVEL_FIELD(R, DataNalTo),
                          DOMVEL_FIELD(R, TrescOper),    DOMVEL_FIELD(R, DokKind),
                          DOMVEL_FIELD(R, ZasobKind),    DOMVEL_FIELD(R, KontoKsg),
                          DOMVEL_FIELD(R, SklNumber),    DOMVEL_FIELD(R, NazwaSkl),
                          DOMVEL_FIELD(R, IloscAsStr),   DOMVEL_FIELD(R, Cena),
                          DOMVEL_FIELD(R, WspolczAsStr), DOMVEL_FIELD(R, UwzglCzescMca),
                          DOMVEL_FIELD(R, ValueNetto),   DOMVEL_FIELD(R, ValueVAT),
                          DOMVEL_FIELD(R, StVAT)};
    }
};

#undef DOMVEL_FIELD

// Why a call failed. Every transport error, HTTP error, timeout, oversized or
// unreadable answer and SOAP fault ends here: callers check one thing.
struct ServiceFailure
{
    // Request: the request could not be written (a text holds a character
    // that XML cannot carry); nothing was sent.
    enum class Kind { Transport, Tls, Timeout, Http, TooLarge, Fault, Read, Request };
    Kind kind = Kind::Transport;
    QString detail; // technical text for the message box's detail, not for the main text
};

// Thrown by ServiceResult::value() on a failure: a caller that skipped ok()
// gets this error, carrying the failure, instead of reading an empty answer.
class ServiceResultError : public std::exception
{
public:
    explicit ServiceResultError(ServiceFailure failure)
        : m_failure(std::move(failure)), m_what(("no answer: " + m_failure.detail).toUtf8())
    {
    }
    const ServiceFailure &failure() const noexcept { return m_failure; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    ServiceFailure m_failure;
    QByteArray m_what;
};

// The outcome of one call: an answer or a failure.
template<typename T>
class ServiceResult
{
public:
    ServiceResult(T value) : m_value(std::move(value)) { }
    ServiceResult(ServiceFailure failure) : m_failure(std::move(failure)) { }

    bool ok() const { return m_value.has_value(); }
    // The answer; throws ServiceResultError on a failure.
    const T &value() const
    {
        if (!m_value)
            throw ServiceResultError(m_failure);
        return *m_value;
    }
    T &value()
    {
        if (!m_value)
            throw ServiceResultError(m_failure);
        return *m_value;
    }
    const ServiceFailure &failure() const { return m_failure; }

private:
    std::optional<T> m_value;
    ServiceFailure m_failure;
};

// The operations of the interface: each one's parameters, in wire order, and
// the kind of its result. The request writer, the demo server's request reader
// and the tests all take the parameter lists from here.
enum class ParameterType { Text, Int }; // xsd:string, xsd:int
enum class ResultKind { Record, Boolean, Text };

struct ParameterInfo
{
    std::string_view name;
    ParameterType type;
};

struct OperationInfo
{
    std::string_view name;
    std::span<const ParameterInfo> parameters;
    ResultKind result;
    std::string_view recordType; // the record's TypeName when result is Record
};

namespace OperationParameters {
inline constexpr ParameterInfo ChangePassword[] = {{"aLoginE", ParameterType::Text},
                                                   {"aPasswordE", ParameterType::Text},
                                                   {"aSessionToken", ParameterType::Text},
                                                   {"aPasswordE_New", ParameterType::Text}};
inline constexpr ParameterInfo CzSessionBegin[]
    = {{"aLoginE", ParameterType::Text}, {"aPasswordE", ParameterType::Text}};
inline constexpr ParameterInfo DokDetailsGet[] = {
    {"aLoginE", ParameterType::Text},       {"aPasswordE", ParameterType::Text}, {"aSessionToken", ParameterType::Text},
    {"aID_Dok_Master", ParameterType::Int}, {"aKontoKsg", ParameterType::Int},   {"aYear", ParameterType::Int}};
inline constexpr ParameterInfo InitialCheck[] = {{"aVersion", ParameterType::Text}};
inline constexpr ParameterInfo MonthQuery[] = { // KartotekaMcaGet, WymiarOplatGet
    {"aLoginE", ParameterType::Text},  {"aPasswordE", ParameterType::Text}, {"aSessionToken", ParameterType::Text},
    {"aKontoKsg", ParameterType::Int}, {"aYear", ParameterType::Int},       {"aMonth", ParameterType::Int}};
inline constexpr ParameterInfo SessionOnly[] = { // Logout, SessionRenew
    {"aLoginE", ParameterType::Text},
    {"aPasswordE", ParameterType::Text},
    {"aSessionToken", ParameterType::Text}};
inline constexpr ParameterInfo YearRozrachGet[] = {{"aLoginE", ParameterType::Text},
                                                   {"aPasswordE", ParameterType::Text},
                                                   {"aSessionToken", ParameterType::Text},
                                                   {"aYearEwid", ParameterType::Int}};
} // namespace OperationParameters

// In declaration order.
inline constexpr OperationInfo kOperations[] = {
    {"ZOKA_WS_ChangePassword", OperationParameters::ChangePassword, ResultKind::Record,
     TRemChangePasswordData::TypeName},
    {"ZOKA_WS_CzSessionBegin", OperationParameters::CzSessionBegin, ResultKind::Record, TRemSessionBeginData::TypeName},
    {"ZOKA_WS_DokDetailsGet", OperationParameters::DokDetailsGet, ResultKind::Record, TRemDokDetailsGetData::TypeName},
    {"ZOKA_WS_InitialCheck", OperationParameters::InitialCheck, ResultKind::Record, TRemInitialCheck::TypeName},
    {"ZOKA_WS_KartotekaMcaGet", OperationParameters::MonthQuery, ResultKind::Record, TRemKartotekaMcaGetData::TypeName},
    {"ZOKA_WS_Logout", OperationParameters::SessionOnly, ResultKind::Boolean, {}},
    {"ZOKA_WS_SessionRenew", OperationParameters::SessionOnly, ResultKind::Text, {}},
    {"ZOKA_WS_WymiarOplatGet", OperationParameters::MonthQuery, ResultKind::Record, TRemWymiarOplatGetData::TypeName},
    {"ZOKA_WS_YearRozrachGet", OperationParameters::YearRozrachGet, ResultKind::Record,
     TRemYearRozrachGetData::TypeName},
};

// The operation of that name, or null.
constexpr const OperationInfo *FindOperation(std::string_view name)
{
    for (const OperationInfo &operation : kOperations) {
        if (operation.name == name)
            return &operation;
    }
    return nullptr;
}

// The service interface IZOKA_E_BOK. Credentials are passed encoded, the token
// exactly as the service delivered it.
class IZOKA_E_BOK
{
public:
    virtual ~IZOKA_E_BOK() = default;

    virtual ServiceResult<TRemChangePasswordData>
    ZOKA_WS_ChangePassword(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
                           const QString &aPasswordE_New)
        = 0;
    virtual ServiceResult<TRemSessionBeginData> ZOKA_WS_CzSessionBegin(const QString &aLoginE,
                                                                       const QString &aPasswordE)
        = 0;
    virtual ServiceResult<TRemDokDetailsGetData>
    ZOKA_WS_DokDetailsGet(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
                          qint32 aID_Dok_Master, qint32 aKontoKsg, qint32 aYear)
        = 0;
    virtual ServiceResult<TRemInitialCheck> ZOKA_WS_InitialCheck(const QString &aVersion) = 0;
    virtual ServiceResult<TRemKartotekaMcaGetData>
    ZOKA_WS_KartotekaMcaGet(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
                            qint32 aKontoKsg, qint32 aYear, qint32 aMonth)
        = 0;
    virtual ServiceResult<bool> ZOKA_WS_Logout(const QString &aLoginE, const QString &aPasswordE,
                                               const QString &aSessionToken)
        = 0;
    virtual ServiceResult<QString> ZOKA_WS_SessionRenew(const QString &aLoginE, const QString &aPasswordE,
                                                        const QString &aSessionToken)
        = 0;
    virtual ServiceResult<TRemWymiarOplatGetData>
    ZOKA_WS_WymiarOplatGet(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
                           qint32 aKontoKsg, qint32 aYear, qint32 aMonth)
        = 0;
    virtual ServiceResult<TRemYearRozrachGetData> ZOKA_WS_YearRozrachGet(const QString &aLoginE,
                                                                         const QString &aPasswordE,
                                                                         const QString &aSessionToken, qint32 aYearEwid)
        = 0;
};

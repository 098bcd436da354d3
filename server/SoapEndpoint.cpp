#include "server/SoapEndpoint.h"

#include "common/Errors.h"
#include "protocol/SoapCodec.h"
#include "protocol/SoapReadError.h"

#include <QtDebug>

#include <type_traits>

using namespace Qt::StringLiterals;

SoapEndpoint::SoapEndpoint(IZOKA_E_BOK &service, SoapWriter::RecordForm form, qsizetype maxMessageSize)
    : m_service(service), m_form(form), m_maxMessageSize(maxMessageSize)
{
}

SoapEndpoint::Reply SoapEndpoint::Fault(const QString &code, const QString &text)
{
    return Reply{500, SoapCodec::WriteFault(code, text), {}};
}

template<typename T>
SoapEndpoint::Reply SoapEndpoint::answer(std::string_view operation, const ServiceResult<T> &result)
{
    const QString name = QString::fromLatin1(operation.data(), qsizetype(operation.size()));
    if (!result.ok()) {
        Reply reply = Fault(u"Server"_s, result.failure().detail);
        reply.operation = name;
        return reply;
    }
    ServiceResult<QByteArray> written = [&] {
        if constexpr (std::is_same_v<T, bool>)
            return SoapCodec::WriteBooleanAnswer(operation, result.value());
        else if constexpr (std::is_same_v<T, QString>)
            return SoapCodec::WriteTextAnswer(operation, result.value());
        else
            return SoapCodec::WriteAnswer(operation, result.value(), m_form);
    }();
    if (!written.ok()) {
        qWarning().noquote() << "answer not written:" << written.failure().detail;
        Reply reply = Fault(u"Server"_s, u"Nie można zapisać odpowiedzi."_s);
        reply.operation = name;
        return reply;
    }
    return Reply{200, written.value(), name};
}

SoapEndpoint::Reply SoapEndpoint::dispatch(const SoapRequest &r)
{
    const std::string_view op = r.operation->name;
    IZOKA_E_BOK &s = m_service;
    if (op == "ZOKA_WS_InitialCheck")
        return answer(op, s.ZOKA_WS_InitialCheck(r.text("aVersion")));
    if (op == "ZOKA_WS_CzSessionBegin")
        return answer(op, s.ZOKA_WS_CzSessionBegin(r.text("aLoginE"), r.text("aPasswordE")));
    if (op == "ZOKA_WS_SessionRenew")
        return answer(op, s.ZOKA_WS_SessionRenew(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken")));
    if (op == "ZOKA_WS_Logout")
        return answer(op, s.ZOKA_WS_Logout(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken")));
    if (op == "ZOKA_WS_ChangePassword")
        return answer(op,
                      s.ZOKA_WS_ChangePassword(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken"),
                                               r.text("aPasswordE_New")));
    if (op == "ZOKA_WS_YearRozrachGet")
        return answer(op,
                      s.ZOKA_WS_YearRozrachGet(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken"),
                                               r.integer("aYearEwid")));
    if (op == "ZOKA_WS_KartotekaMcaGet")
        return answer(op,
                      s.ZOKA_WS_KartotekaMcaGet(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken"),
                                                r.integer("aKontoKsg"), r.integer("aYear"), r.integer("aMonth")));
    if (op == "ZOKA_WS_DokDetailsGet")
        return answer(op,
                      s.ZOKA_WS_DokDetailsGet(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken"),
                                              r.integer("aID_Dok_Master"), r.integer("aKontoKsg"), r.integer("aYear")));
    if (op == "ZOKA_WS_WymiarOplatGet")
        return answer(op,
                      s.ZOKA_WS_WymiarOplatGet(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken"),
                                               r.integer("aKontoKsg"), r.integer("aYear"), r.integer("aMonth")));
    return Fault(u"Client"_s, u"Nieznana operacja."_s);
}

ServiceResult<SoapRequest> SoapEndpoint::Read(const QByteArray &message) const
{
    ServiceResult<SoapRequest> request = SoapCodec::ReadRequest(message, m_maxMessageSize);
    if (!request.ok())
        return request;
    for (const SoapArgument &argument : request.value().arguments) {
        const QString *text = std::get_if<QString>(&argument);
        if (text && text->size() > kMaxTextLength)
            return ServiceFailure{ServiceFailure::Kind::Read, u"Parametr zapytania jest zbyt długi."_s};
    }
    return request;
}

SoapEndpoint::Reply SoapEndpoint::Handle(const QByteArray &message)
{
    const ServiceResult<SoapRequest> request = Read(message);
    if (!request.ok())
        return Fault(u"Client"_s, request.failure().detail);
    return Answer(request.value());
}

SoapEndpoint::Reply SoapEndpoint::Answer(const SoapRequest &request)
{
    try {
        return dispatch(request);
    } catch (const SoapReadError &error) {
        // A request without a parameter its operation reads.
        return Fault(u"Client"_s, error.detail());
    } catch (const std::exception &error) {
        qWarning().noquote() << "request failed:" << error.what();
        return Fault(u"Server"_s, u"Błąd wewnętrzny serwera."_s);
    }
}

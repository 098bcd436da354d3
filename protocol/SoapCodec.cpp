#include "protocol/SoapCodec.h"

#include "protocol/SoapNames.h"
#include "protocol/SoapReadError.h"

namespace {

QLatin1StringView latin1(std::string_view text)
{
    return QLatin1StringView(text.data(), qsizetype(text.size()));
}

template<typename T>
const T &argumentOf(const SoapRequest &request, std::string_view parameter)
{
    if (request.operation) {
        const auto &parameters = request.operation->parameters;
        for (std::size_t i = 0; i < parameters.size() && i < std::size_t(request.arguments.size()); ++i) {
            if (parameters[i].name != parameter)
                continue;
            if (const T *value = std::get_if<T>(&request.arguments[qsizetype(i)]))
                return *value;
            break;
        }
    }
    throw SoapReadError(QStringLiteral("the request has no %1 parameter of this type").arg(latin1(parameter)));
}

} // namespace

QString SoapRequest::text(std::string_view parameter) const
{
    return argumentOf<QString>(*this, parameter);
}

qint32 SoapRequest::integer(std::string_view parameter) const
{
    return argumentOf<qint32>(*this, parameter);
}

QByteArray SoapCodec::SoapAction(std::string_view operation)
{
    return '"' + QByteArray(SoapNames::kInterfaceNamespace.data(), SoapNames::kInterfaceNamespace.size()) + '#'
        + QByteArray(operation.data(), qsizetype(operation.size())) + '"';
}

std::string SoapCodec::ResponseName(std::string_view operation)
{
    return std::string(operation) + "Response";
}

ServiceFailure SoapCodec::ReadFailure(const QString &detail)
{
    return ServiceFailure{ServiceFailure::Kind::Read, QStringLiteral("Nieczytelny komunikat SOAP: ") + detail};
}

ServiceResult<QByteArray> SoapCodec::WriteRequest(const OperationInfo &operation, const QList<SoapArgument> &arguments)
{
    if (std::size_t(arguments.size()) != operation.parameters.size())
        return ServiceFailure{ServiceFailure::Kind::Request,
                              QStringLiteral("%1: %2 argumentów zamiast %3")
                                  .arg(latin1(operation.name))
                                  .arg(arguments.size())
                                  .arg(operation.parameters.size())};
    SoapWriter writer;
    writer.StartInterfaceElement(operation.name);
    for (std::size_t i = 0; i < operation.parameters.size(); ++i) {
        const ParameterInfo &parameter = operation.parameters[i];
        const SoapArgument &argument = arguments[qsizetype(i)];
        const bool isText = std::holds_alternative<QString>(argument);
        if (isText != (parameter.type == ParameterType::Text))
            return ServiceFailure{
                ServiceFailure::Kind::Request,
                QStringLiteral("%1: argument %2 innego typu").arg(latin1(operation.name), latin1(parameter.name))};
        if (isText)
            writer.WriteValue(parameter.name, std::get<QString>(argument));
        else
            writer.WriteValue(parameter.name, std::get<qint32>(argument));
    }
    writer.EndElement();
    ServiceResult<QByteArray> request = writer.Finish();
    if (!request.ok())
        return ServiceFailure{request.failure().kind,
                              QStringLiteral("%1: %2").arg(latin1(operation.name), request.failure().detail)};
    return request;
}

std::optional<ServiceFailure> SoapCodec::ReadFault(const QByteArray &message, qsizetype maxSize)
{
    if (std::optional<QString> detail = SoapReader::ReadFault(message, maxSize))
        return ServiceFailure{ServiceFailure::Kind::Fault, *detail};
    return std::nullopt;
}

ServiceResult<SoapRequest> SoapCodec::ReadRequest(const QByteArray &message, qsizetype maxSize)
{
    try {
        SoapRequest request;
        request.operation = SoapReader::ReadRequest(message, maxSize, request.arguments);
        return request;
    } catch (const SoapReadError &error) {
        return ReadFailure(error.detail());
    }
}

ServiceResult<QByteArray> SoapCodec::WriteBooleanAnswer(std::string_view operation, bool value)
{
    SoapWriter writer;
    writer.StartInterfaceElement(ResponseName(operation));
    writer.WriteValue("return", value);
    writer.EndElement();
    return writer.Finish();
}

ServiceResult<QByteArray> SoapCodec::WriteTextAnswer(std::string_view operation, const QString &value)
{
    SoapWriter writer;
    writer.StartInterfaceElement(ResponseName(operation));
    writer.WriteValue("return", value);
    writer.EndElement();
    return writer.Finish();
}

QByteArray SoapCodec::WriteFault(const QString &faultCode, const QString &faultString)
{
    SoapWriter writer;
    writer.StartEnvelopeElement("Fault");
    writer.WriteTextElement("faultcode",
                            SoapWriter::ReplaceNonXmlCharacters(SoapNames::kEnvelopePrefix + u':' + faultCode));
    writer.WriteTextElement("faultstring", SoapWriter::ReplaceNonXmlCharacters(faultString));
    writer.EndElement();
    ServiceResult<QByteArray> fault = writer.Finish();
    return fault.ok() ? fault.value() : QByteArray();
}

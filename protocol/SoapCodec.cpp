#include "protocol/SoapCodec.h"

#include "common/Errors.h"
#include "protocol/SoapNames.h"

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
    throw AppError(QStringLiteral("Operacja nie ma parametru %1 tego typu.").arg(latin1(parameter)));
}

ServiceFailure faultOf(const SoapDocument &document, int fault)
{
    auto childText = [&](std::string_view name) {
        const int child = document.findChild(fault, QLatin1StringView(), name);
        if (child < 0)
            return QString();
        try {
            return document.text(child);
        } catch (const SoapReadError &) {
            return QString();
        }
    };
    QString detail = childText("faultstring");
    if (detail.isEmpty())
        detail = childText("faultcode");
    return ServiceFailure{ServiceFailure::Kind::Fault, detail};
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

ServiceResult<QByteArray> SoapCodec::WriteRequest(const OperationInfo &operation,
                                                  const QList<SoapArgument> &arguments)
{
    if (std::size_t(arguments.size()) != operation.parameters.size())
        return ServiceFailure{ServiceFailure::Kind::Request,
                              QStringLiteral("%1: %2 argumentów zamiast %3")
                                  .arg(latin1(operation.name))
                                  .arg(arguments.size())
                                  .arg(operation.parameters.size())};
    SoapWriter writer;
    writer.startInterfaceElement(operation.name);
    for (std::size_t i = 0; i < operation.parameters.size(); ++i) {
        const ParameterInfo &parameter = operation.parameters[i];
        const SoapArgument &argument = arguments[qsizetype(i)];
        const bool isText = std::holds_alternative<QString>(argument);
        if (isText != (parameter.type == ParameterType::Text))
            return ServiceFailure{ServiceFailure::Kind::Request,
                                  QStringLiteral("%1: argument %2 innego typu")
                                      .arg(latin1(operation.name), latin1(parameter.name))};
        if (isText)
            writer.writeValue(parameter.name, std::get<QString>(argument));
        else
            writer.writeValue(parameter.name, std::get<qint32>(argument));
    }
    writer.endElement();
    ServiceResult<QByteArray> request = writer.finish();
    if (!request.ok())
        return ServiceFailure{request.failure().kind,
                              QStringLiteral("%1: %2").arg(latin1(operation.name), request.failure().detail)};
    return request;
}

int SoapCodec::LocateReturn(const SoapDocument &document, std::string_view operation,
                            std::optional<ServiceFailure> &fault)
{
    const int response = document.firstChild(document.body());
    if (response < 0)
        throw SoapReadError(QStringLiteral("pusty element Body"));
    if (document.isElement(response, SoapNames::kEnvelopeNamespace, std::string_view("Fault"))) {
        fault = faultOf(document, response);
        return -1;
    }
    const std::string responseName = ResponseName(operation);
    if (!document.isElement(response, SoapNames::kInterfaceNamespace, responseName))
        throw SoapReadError(document.describe(response)
                            + QStringLiteral(": oczekiwano %1 w przestrzeni %2")
                                  .arg(QString::fromStdString(responseName), SoapNames::kInterfaceNamespace));
    const int returnNode = document.firstChild(response);
    if (returnNode < 0 || !document.isElement(returnNode, QLatin1StringView(), std::string_view("return")))
        throw SoapReadError(document.describe(response) + QStringLiteral(": brak elementu return"));
    if (document.nextSibling(returnNode) >= 0)
        throw SoapReadError(document.describe(document.nextSibling(returnNode))
                            + QStringLiteral(": nieoczekiwany element po return"));
    return returnNode;
}

std::optional<ServiceFailure> SoapCodec::ReadFault(const QByteArray &message, qsizetype maxSize)
{
    try {
        const SoapDocument document(message, maxSize);
        const int first = document.firstChild(document.body());
        if (first >= 0 && document.isElement(first, SoapNames::kEnvelopeNamespace, std::string_view("Fault")))
            return faultOf(document, first);
    } catch (const SoapReadError &) {
    }
    return std::nullopt;
}

ServiceResult<SoapRequest> SoapCodec::ReadRequest(const QByteArray &message, qsizetype maxSize)
{
    try {
        const SoapDocument document(message, maxSize);
        const int call = document.firstChild(document.body());
        if (call < 0)
            throw SoapReadError(QStringLiteral("pusty element Body"));
        SoapRequest request;
        for (const OperationInfo &operation : kOperations) {
            if (document.isElement(call, SoapNames::kInterfaceNamespace, operation.name))
                request.operation = &operation;
        }
        if (!request.operation)
            throw SoapReadError(document.describe(call) + QStringLiteral(": nieznana operacja"));
        int child = document.firstChild(call);
        for (const ParameterInfo &parameter : request.operation->parameters) {
            if (child < 0)
                throw SoapReadError(document.describe(call)
                                    + QStringLiteral(": brak parametru %1").arg(latin1(parameter.name)));
            if (!document.isElement(child, QLatin1StringView(), parameter.name))
                throw SoapReadError(document.describe(child)
                                    + QStringLiteral(": oczekiwano parametru %1").arg(latin1(parameter.name)));
            if (parameter.type == ParameterType::Text) {
                QString value;
                document.read(child, value);
                request.arguments.append(value);
            } else {
                qint32 value = 0;
                document.read(child, value);
                request.arguments.append(value);
            }
            child = document.nextSibling(child);
        }
        if (child >= 0)
            throw SoapReadError(document.describe(child) + QStringLiteral(": nieoczekiwany parametr"));
        return request;
    } catch (const SoapReadError &error) {
        return ReadFailure(error.detail());
    }
}

ServiceResult<QByteArray> SoapCodec::WriteBooleanAnswer(std::string_view operation, bool value)
{
    SoapWriter writer;
    writer.startInterfaceElement(ResponseName(operation));
    writer.writeValue("return", value);
    writer.endElement();
    return writer.finish();
}

ServiceResult<QByteArray> SoapCodec::WriteTextAnswer(std::string_view operation, const QString &value)
{
    SoapWriter writer;
    writer.startInterfaceElement(ResponseName(operation));
    writer.writeValue("return", value);
    writer.endElement();
    return writer.finish();
}

QByteArray SoapCodec::WriteFault(const QString &faultCode, const QString &faultString)
{
    SoapWriter writer;
    writer.startEnvelopeElement("Fault");
    writer.writeTextElement("faultcode", SoapWriter::replaceNonXmlCharacters(SoapNames::kEnvelopePrefix + u':' + faultCode));
    writer.writeTextElement("faultstring", SoapWriter::replaceNonXmlCharacters(faultString));
    writer.endElement();
    ServiceResult<QByteArray> fault = writer.finish();
    return fault.ok() ? fault.value() : QByteArray();
}

#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapReader.h"
#include "protocol/SoapWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

// A request as the server reads it: the operation and its arguments, in the
// operation's declaration order and of its declared types.
struct SoapRequest
{
    const OperationInfo *operation = nullptr;
    QList<SoapArgument> arguments;

    // The argument of that parameter; throws AppError when the operation has
    // no such parameter of that type (a fault of the caller, not the message).
    QString text(std::string_view parameter) const;
    qint32 integer(std::string_view parameter) const;
};

// The wire format of the service: SOAP 1.1, RPC style, section 5 encoding.
// The client writes requests and reads answers; the demo server reads
// requests and writes answers. Every record is read and written through its
// one field list. Reading never reports a half-read value as success: any
// fault in a message is a ServiceFailure of kind Read (or Fault for a SOAP
// fault the peer sent).
class SoapCodec
{
public:
    SoapCodec() = delete;

    // Largest message read by default (bytes); larger ones are refused
    // before parsing.
    static constexpr qsizetype kDefaultMaxMessageSize = 64 * 1024 * 1024;

    // The SOAPAction header value: the action in double quotes.
    static QByteArray SoapAction(std::string_view operation);

    // Client side.

    // The request envelope for the operation; the arguments must match its
    // parameters in number and type. Refused (kind Request) when a text holds
    // a character that XML cannot carry.
    static ServiceResult<QByteArray> WriteRequest(const OperationInfo &operation, const QList<SoapArgument> &arguments);

    // The answer of the operation: Result is its record type, bool (Logout)
    // or QString (SessionRenew).
    template<typename Result>
    static ServiceResult<Result> ReadAnswer(std::string_view operation, const QByteArray &message,
                                            qsizetype maxSize = kDefaultMaxMessageSize);

    // The SOAP fault a message carries (kind Fault, the faultstring as
    // detail), or nothing when it is no readable fault.
    static std::optional<ServiceFailure> ReadFault(const QByteArray &message,
                                                   qsizetype maxSize = kDefaultMaxMessageSize);

    // Server side.

    // The request: a known operation of the interface with exactly its
    // parameters, in order and of their types.
    static ServiceResult<SoapRequest> ReadRequest(const QByteArray &message,
                                                  qsizetype maxSize = kDefaultMaxMessageSize);

    template<typename Record>
    static ServiceResult<QByteArray> WriteAnswer(std::string_view operation, const Record &record,
                                                 SoapWriter::RecordForm form = SoapWriter::RecordForm::Inline);
    static ServiceResult<QByteArray> WriteBooleanAnswer(std::string_view operation, bool value);
    static ServiceResult<QByteArray> WriteTextAnswer(std::string_view operation, const QString &value);

    // A SOAP fault; faultCode is "Client" or "Server" (qualified with the
    // envelope prefix here). Characters XML cannot carry in the text are
    // replaced, so a fault is always written.
    static QByteArray WriteFault(const QString &faultCode, const QString &faultString);

private:
    static ServiceFailure ReadFailure(const QString &detail);
    static std::string ResponseName(std::string_view operation);
};

template<typename Result>
ServiceResult<Result> SoapCodec::ReadAnswer(std::string_view operation, const QByteArray &message, qsizetype maxSize)
{
    try {
        Result result{};
        std::optional<QString> fault;
        if constexpr (std::is_same_v<Result, bool> || std::is_same_v<Result, QString>) {
            fault = SoapReader::ReadAnswer(message, maxSize, ResponseName(operation), SoapBinding::SlotOf(result));
        } else {
            SoapBinding::Record binding = SoapBinding::Bind(result);
            fault = SoapReader::ReadAnswer(message, maxSize, ResponseName(operation), SoapBinding::SlotOf(binding));
        }
        if (fault)
            return ServiceFailure{ServiceFailure::Kind::Fault, *fault};
        return result;
    } catch (const SoapReadError &error) {
        return ReadFailure(error.detail());
    }
}

template<typename Record>
ServiceResult<QByteArray> SoapCodec::WriteAnswer(std::string_view operation, const Record &record,
                                                 SoapWriter::RecordForm form)
{
    SoapWriter writer;
    writer.StartInterfaceElement(ResponseName(operation));
    writer.WriteRecord("return", record, form);
    writer.EndElement();
    writer.WriteReferencedValues();
    return writer.Finish();
}

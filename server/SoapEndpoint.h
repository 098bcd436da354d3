#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapCodec.h"
#include "protocol/SoapWriter.h"

#include <QByteArray>
#include <QString>

// Turns one SOAP request body into one answer: reads the request with the
// codec, calls the operation on the service and writes its answer (records
// inline or in multi-reference form). A request that cannot be read, and a
// failure of the service, become SOAP faults with HTTP status 500, as SOAP 1.1
// over HTTP wants; nothing here throws.
class SoapEndpoint
{
public:
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QString operation; // empty when the request named no known operation
    };

    SoapEndpoint(IZOKA_E_BOK &service, SoapWriter::RecordForm form, qsizetype maxMessageSize);

    Reply Handle(const QByteArray &message);
    // Handle in two steps, for a caller that prepares between them: the
    // request read (texts longer than kMaxTextLength refused), then answered.
    ServiceResult<SoapRequest> Read(const QByteArray &message) const;
    Reply Answer(const SoapRequest &request);

    // Longest text parameter accepted; the contract's texts are short.
    static constexpr qsizetype kMaxTextLength = 1024;

    // A fault reply: code "Client" for a bad request, "Server" for our failure.
    static Reply Fault(const QString &code, const QString &text);

private:
    Reply dispatch(const SoapRequest &request);
    template<typename T>
    Reply answer(std::string_view operation, const ServiceResult<T> &result);

    IZOKA_E_BOK &m_service;
    SoapWriter::RecordForm m_form;
    qsizetype m_maxMessageSize;
};

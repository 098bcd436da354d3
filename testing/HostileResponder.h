#pragma once

#include "server/SoapEndpoint.h"
#include "testing/TestHttpsServer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class IZOKA_E_BOK;

// An e-account service on 127.0.0.1 for fault tests: it answers every request
// well, from a service in the same process (the demo service over the real
// wire format), except requests of the one operation it was armed for, which
// it answers with the chosen fault until disarmed. A fault that could not be
// made from the good answer (nothing to damage in it) is not counted, so a
// test can tell that the client really met it.
class HostileResponder
{
public:
    enum class Fault {
        None,
        Silent, // accepts the request and never answers
        CloseHalfway, // announces the good answer's length, sends half of it, closes
        Http404, // status 404 with an HTML page
        Http500, // status 500 with an HTML page, no SOAP fault
        SoapFault, // status 500 with a SOAP fault
        Malformed, // status 200, the good answer cut off after two thirds
        EntityBomb, // the good answer with an entity-expansion DTD in front
        WrongType, // text in an element that carries a number or a date
        ArrayShorterThanType, // an array holding one item fewer than its arrayType says
        CountBeyondArrays, // the entry count one above the length of every array
        HugeCount, // the entry count 2147483647
        OverCapAnnounced, // the good answer padded past the cap, with Content-Length
        OverCapStreamed, // the same without a length, ended by closing the connection
        Text, // one element's text replaced (armText)
    };

    // `service` answers the good requests; it must outlive the responder.
    HostileResponder(IZOKA_E_BOK &service, const QString &certificateFile, const QString &keyFile);

    bool start();
    QString serviceUrl() const { return m_server.serviceUrl(); }

    // From now on every request of `operation` (e.g. "ZOKA_WS_YearRozrachGet")
    // gets `fault`; the other operations keep being answered well.
    void arm(Fault fault, const QString &operation);
    void disarm() { arm(Fault::None, {}); }
    // From now on the answers of `operation` carry `text` in the element
    // `field` (a scalar, or an array's first item).
    void armText(const QString &operation, const QString &field, const QString &text);

    // The size of the over-cap answers: the client's cap, which they exceed.
    void setAnswerCap(qint64 bytes) { m_answerCap = bytes; }

    // How many requests got the armed fault.
    int faultsServed() const { return m_faultsServed; }
    // The length of the arrays of the last answer whose count was raised.
    qint32 deliveredLength() const { return m_deliveredLength; }
    // The operations requested so far, in order.
    const QStringList &operations() const { return m_operations; }

    // The element a damaging fault changes in an operation's answer: the field
    // whose text or array is spoiled, or whose count is raised.
    static QString DamagedField(Fault fault, const QString &operation);

private:
    TestHttpsServer::Reply respond(const TestHttpsServer::Request &request);
    TestHttpsServer::Reply damage(const QByteArray &requestBody, const SoapEndpoint::Reply &good);
    QByteArray recount(const QByteArray &requestBody, qint32 extra, bool huge);

    IZOKA_E_BOK &m_service;
    SoapEndpoint m_endpoint;
    TestHttpsServer m_server;
    Fault m_fault = Fault::None;
    QString m_operation;
    QString m_field;
    QString m_text;
    qint64 m_answerCap = 64 * 1024;
    int m_faultsServed = 0;
    qint32 m_deliveredLength = -1;
    QStringList m_operations;
};

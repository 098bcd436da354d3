#include "testing/HostileResponder.h"

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapCodec.h"

#include <QRegularExpression>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

QString operationOf(const TestHttpsServer::Request &request)
{
    // SOAPAction: "urn:ZOKA_E_BOK-IZOKA_E_BOK#ZOKA_WS_..."
    QByteArray action = request.headers.value("soapaction");
    action.replace('"', QByteArray());
    return QString::fromLatin1(action.mid(action.indexOf('#') + 1));
}

// The element named `field` (inline or multi-reference form alike), with its
// start tag, content and end tag captured.
QRegularExpression elementPattern(const QString &field)
{
    return QRegularExpression(u"(<%1\\b[^>]*>)(.*?)(</%1>)"_s.arg(QRegularExpression::escape(field)),
                              QRegularExpression::DotMatchesEverythingOption);
}

// Replaces the text of a scalar element, or of an array's first item, by
// `text`; or removes the array's first item when `text` is null. False when
// the answer has no such element (or the array no item).
bool spoil(QString &xml, const QString &field, const QString &text)
{
    const QRegularExpressionMatch element = elementPattern(field).match(xml);
    if (!element.hasMatch())
        return false;
    const QString content = element.captured(2);
    static const QRegularExpression firstItem(u"<item\\b[^>]*>[^<]*</item>"_s);
    const QRegularExpressionMatch item = firstItem.match(content);
    QString spoilt;
    if (item.hasMatch()) {
        const QString itemTag = item.captured(0).section(u'>', 0, 0) + u'>';
        spoilt = content.left(item.capturedStart()) + (text.isNull() ? QString() : itemTag + text + u"</item>"_s)
            + content.mid(item.capturedEnd());
    } else if (text.isNull() || content.contains(u'<')) {
        return false; // no item to remove, or no plain text to replace
    } else {
        spoilt = text;
    }
    xml.replace(element.capturedStart(2), element.capturedLength(2), spoilt);
    return true;
}

// Ten levels of ten: expanded, one reference would be ten billion characters.
QByteArray withEntityBomb(const QByteArray &answer)
{
    QByteArray dtd = "<!DOCTYPE lolz [\n<!ENTITY lol0 \"lol\">\n";
    for (int level = 1; level <= 9; ++level) {
        dtd += "<!ENTITY lol" + QByteArray::number(level) + " \"";
        for (int i = 0; i < 10; ++i)
            dtd += "&lol" + QByteArray::number(level - 1) + ';';
        dtd += "\">\n";
    }
    dtd += "]>\n";
    QByteArray out = answer;
    const qsizetype declarationEnd = out.startsWith("<?xml") ? out.indexOf("?>") + 2 : 0;
    out.insert(declarationEnd, '\n' + dtd);
    QString xml = QString::fromUtf8(out);
    spoil(xml, u"RetCodeAsString"_s, u"&lol9;"_s);
    return xml.toUtf8();
}

} // namespace

HostileResponder::HostileResponder(IZOKA_E_BOK &service, const QString &certificateFile, const QString &keyFile)
    : m_service(service),
      m_endpoint(service, SoapWriter::RecordForm::Inline, SoapCodec::kDefaultMaxMessageSize),
      m_server(certificateFile, keyFile)
{
    m_server.setHandler([this](const TestHttpsServer::Request &request) { return respond(request); });
}

bool HostileResponder::start()
{
    return m_server.start();
}

void HostileResponder::arm(Fault fault, const QString &operation)
{
    m_fault = fault;
    m_operation = operation;
}

void HostileResponder::armText(const QString &operation, const QString &field, const QString &text)
{
    arm(Fault::Text, operation);
    m_field = field;
    m_text = text;
}

QString HostileResponder::DamagedField(Fault fault, const QString &operation)
{
    const bool figures = operation == u"ZOKA_WS_CzSessionBegin" || operation == u"ZOKA_WS_YearRozrachGet";
    switch (fault) {
    case Fault::WrongType:
        if (figures)
            return u"ObrotyCZMain_WN"_s;
        if (operation == u"ZOKA_WS_KartotekaMcaGet")
            return u"KsgDataOperacji"_s;
        if (operation == u"ZOKA_WS_DokDetailsGet")
            return u"DataOperacji"_s;
        return u"RetCode"_s;
    case Fault::ArrayShorterThanType:
        if (figures)
            return u"ObrotyCZMain_MA"_s;
        if (operation == u"ZOKA_WS_KartotekaMcaGet")
            return u"KsgValue"_s;
        if (operation == u"ZOKA_WS_DokDetailsGet")
            return u"Cena"_s;
        return {};
    case Fault::CountBeyondArrays:
    case Fault::HugeCount:
        if (operation == u"ZOKA_WS_KartotekaMcaGet")
            return u"KsgNumber"_s;
        if (operation == u"ZOKA_WS_DokDetailsGet")
            return u"SklNumber"_s;
        return {};
    default: return {};
    }
}

TestHttpsServer::Reply HostileResponder::respond(const TestHttpsServer::Request &request)
{
    const QString operation = operationOf(request);
    m_operations << operation;
    const SoapEndpoint::Reply good = m_endpoint.Handle(request.body);
    if (m_fault == Fault::None || operation != m_operation)
        return {good.status, good.body};
    return damage(request.body, good);
}

TestHttpsServer::Reply HostileResponder::damage(const QByteArray &requestBody, const SoapEndpoint::Reply &good)
{
    using Behaviour = TestHttpsServer::Behaviour;
    TestHttpsServer::Reply reply{200, good.body};
    bool made = true;
    switch (m_fault) {
    case Fault::None: return {good.status, good.body};
    case Fault::Silent: reply.behaviour = Behaviour::Silent; break;
    case Fault::CloseHalfway: reply.behaviour = Behaviour::CloseHalfway; break;
    case Fault::Http404:
        reply = {404, "<html><head><title>404</title></head><body>Nie znaleziono.</body></html>"};
        break;
    case Fault::Http500: reply = {500, "<html><head><title>500</title></head><body>Błąd serwera.</body></html>"}; break;
    case Fault::SoapFault: reply = {500, SoapCodec::WriteFault(u"Server"_s, u"Baza danych jest niedostępna."_s)}; break;
    case Fault::Malformed: reply.body = good.body.left(good.body.size() * 2 / 3); break;
    case Fault::EntityBomb: reply.body = withEntityBomb(good.body); break;
    case Fault::WrongType:
    case Fault::ArrayShorterThanType:
    case Fault::Text: {
        const QString field = m_fault == Fault::Text ? m_field : DamagedField(m_fault, m_operation);
        QString xml = QString::fromUtf8(good.body);
        const bool dateField = field == u"KsgDataOperacji" || field == u"DataOperacji";
        const QString text = m_fault == Fault::Text  ? m_text
            : m_fault == Fault::ArrayShorterThanType ? QString()
            : dateField                              ? u"2020-03-05"_s
                                                     : u"sto złotych"_s;
        made = !field.isEmpty() && spoil(xml, field, text);
        reply.body = xml.toUtf8();
        break;
    }
    case Fault::CountBeyondArrays:
    case Fault::HugeCount:
        reply.body = recount(requestBody, 1, m_fault == Fault::HugeCount);
        made = !reply.body.isEmpty();
        break;
    case Fault::OverCapAnnounced:
    case Fault::OverCapStreamed:
        // A good answer, but for its trailing blanks (which XML allows): only
        // the cap can refuse it.
        reply.body = good.body + '\n' + QByteArray(std::max<qint64>(m_answerCap + 1 - good.body.size(), 1), ' ');
        if (m_fault == Fault::OverCapStreamed)
            reply.behaviour = Behaviour::CloseWithoutLength;
        break;
    }
    if (made)
        ++m_faultsServed;
    return reply;
}

QByteArray HostileResponder::recount(const QByteArray &requestBody, qint32 extra, bool huge)
{
    const ServiceResult<SoapRequest> read = SoapCodec::ReadRequest(requestBody);
    if (!read.ok())
        return {};
    const SoapRequest &r = read.value();
    const qint32 maxCount = std::numeric_limits<qint32>::max();
    if (m_operation == u"ZOKA_WS_KartotekaMcaGet") {
        ServiceResult<TRemKartotekaMcaGetData> answer
            = m_service.ZOKA_WS_KartotekaMcaGet(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken"),
                                                r.integer("aKontoKsg"), r.integer("aYear"), r.integer("aMonth"));
        if (!answer.ok() || answer.value().KsgNumber <= 0)
            return {};
        TRemKartotekaMcaGetData ledger = answer.value();
        m_deliveredLength = qint32(ledger.KsgStrona.size());
        ledger.KsgNumber = huge ? maxCount : ledger.KsgNumber + extra;
        return SoapCodec::WriteAnswer("ZOKA_WS_KartotekaMcaGet", ledger).value();
    }
    if (m_operation == u"ZOKA_WS_DokDetailsGet") {
        ServiceResult<TRemDokDetailsGetData> answer
            = m_service.ZOKA_WS_DokDetailsGet(r.text("aLoginE"), r.text("aPasswordE"), r.text("aSessionToken"),
                                              r.integer("aID_Dok_Master"), r.integer("aKontoKsg"), r.integer("aYear"));
        if (!answer.ok() || answer.value().SklNumber <= 0)
            return {};
        TRemDokDetailsGetData details = answer.value();
        m_deliveredLength = qint32(details.NazwaSkl.size());
        details.SklNumber = huge ? maxCount : details.SklNumber + extra;
        return SoapCodec::WriteAnswer("ZOKA_WS_DokDetailsGet", details).value();
    }
    return {};
}

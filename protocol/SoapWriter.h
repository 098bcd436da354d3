#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapNames.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

#include <functional>
#include <string_view>
#include <vector>

// Writes one SOAP 1.1 message with section 5 encoding: the envelope declares
// the SOAP-ENV, xsd (2001), xsi and SOAP-ENC prefixes, the body carries the
// encoding style, values carry their xsi:type. Text is checked for characters
// XML cannot carry (the message is then refused, never silently altered) and
// carriage returns are written as character references so they survive.
class SoapWriter
{
public:
    // How an answer record is written: inside "return", or as a separate
    // body element that "return" references by href (its arrays likewise).
    enum class RecordForm { Inline, MultiReference };

    SoapWriter();
    SoapWriter(const SoapWriter &) = delete;
    SoapWriter &operator=(const SoapWriter &) = delete;

    // An element in the interface namespace (the operation or its response).
    void StartInterfaceElement(std::string_view name);
    // An element in the envelope namespace (Fault).
    void StartEnvelopeElement(std::string_view name);
    // An unqualified element.
    void StartElement(std::string_view name);
    void EndElement();

    // One unqualified element holding a typed value.
    void WriteValue(std::string_view name, qint32 value);
    void WriteValue(std::string_view name, const QString &value);
    void WriteValue(std::string_view name, double value);
    void WriteValue(std::string_view name, bool value);
    void WriteValue(std::string_view name, const TBoundArray &value);
    void WriteValue(std::string_view name, const TDoubleDynArray &value);
    void WriteValue(std::string_view name, const TStringDynArray &value);
    void WriteValue(std::string_view name, const TBooleanDynArray &value);

    // Untyped text content (fault code and string).
    void WriteTextElement(std::string_view name, const QString &text);

    // The record as the unqualified element "name" (inline), or an href to
    // it; in multi-reference form the record and its arrays are written by
    // WriteReferencedValues() after the element that references them.
    template<typename Record>
    void WriteRecord(std::string_view name, const Record &record, RecordForm form);
    void WriteReferencedValues();

    // Closes the body and envelope. Refused (kind Request) when a text held a
    // character that XML cannot carry.
    ServiceResult<QByteArray> Finish();

    // Writes a double in the XML Schema lexical form, shortest round trip.
    static QString FormatDouble(double value);
    // The text with every character that XML cannot carry replaced by U+FFFD.
    static QString ReplaceNonXmlCharacters(QString text);

private:
    void closeStartTag();
    void writeTypeAttribute(std::string_view schemaType);
    void writeText(const QString &text);
    template<typename T>
    void writeArray(std::string_view name, const QList<T> &items, std::string_view itemType);
    template<typename T>
    void writeArrayContent(const QList<T> &items, std::string_view itemType);
    template<typename T>
    void writeItem(const T &item);
    template<typename Record>
    void writeRecordContent(const Record &record);
    QString nextId() { return QString::number(++m_lastId); }

    QByteArray m_buffer;
    QXmlStreamWriter m_xml;
    QString m_error;
    bool m_referenceArrays = false; // inside a record written in multi-reference form
    int m_lastId = 0;
    std::vector<std::function<void()>> m_referenced; // values written after the response
};

template<typename Record>
void SoapWriter::writeRecordContent(const Record &record)
{
    ForEachField<Record>([&](const auto &field) { WriteValue(field.name, record.*(field.member)); });
}

template<typename Record>
void SoapWriter::WriteRecord(std::string_view name, const Record &record, RecordForm form)
{
    const QLatin1StringView typeName(Record::TypeName.data(), qsizetype(Record::TypeName.size()));
    if (form == RecordForm::Inline) {
        StartElement(name);
        m_xml.writeNamespace(QString(SoapNames::kTypesNamespace), QString(SoapNames::kTypesPrefix));
        m_xml.writeAttribute(QString(SoapNames::kInstanceNamespace), QStringLiteral("type"),
                             SoapNames::kTypesPrefix + u':' + typeName);
        writeRecordContent(record);
        EndElement();
        return;
    }
    const QString id = nextId();
    StartElement(name);
    m_xml.writeAttribute(QStringLiteral("href"), u'#' + id);
    EndElement();
    m_referenced.push_back([this, &record, id, typeName]() {
        closeStartTag();
        m_xml.writeNamespace(QString(SoapNames::kTypesNamespace), QString(SoapNames::kTypesPrefix));
        m_xml.writeStartElement(QString(SoapNames::kTypesNamespace), typeName);
        m_xml.writeAttribute(QStringLiteral("id"), id);
        m_xml.writeAttribute(QString(SoapNames::kInstanceNamespace), QStringLiteral("type"),
                             SoapNames::kTypesPrefix + u':' + typeName);
        m_referenceArrays = true;
        writeRecordContent(record);
        m_referenceArrays = false;
        m_xml.writeEndElement();
    });
}

#include "protocol/SoapWriter.h"

#include <QLocale>

#include <cmath>

namespace {

QString toQString(std::string_view name)
{
    return QLatin1StringView(name.data(), qsizetype(name.size())).toString();
}

// The position of the first character that XML 1.0 cannot carry, even as a
// character reference, or -1.
qsizetype findNonXmlCharacter(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\t' || c == u'\n' || c == u'\r')
            continue;
        if (c < 0x20 || c == 0xFFFE || c == 0xFFFF || QChar::isLowSurrogate(c))
            return i;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
                ++i;
                continue;
            }
            return i;
        }
    }
    return -1;
}

} // namespace

SoapWriter::SoapWriter() : m_xml(&m_buffer)
{
    m_xml.writeStartDocument();
    // Declared up front, or the stream writer invents prefixes and leaves
    // "xsd:" in type attribute values undeclared.
    m_xml.writeNamespace(QString(SoapNames::kEnvelopeNamespace), QString(SoapNames::kEnvelopePrefix));
    m_xml.writeNamespace(QString(SoapNames::kSchemaNamespace), QString(SoapNames::kSchemaPrefix));
    m_xml.writeNamespace(QString(SoapNames::kInstanceNamespace), QString(SoapNames::kInstancePrefix));
    m_xml.writeNamespace(QString(SoapNames::kEncodingNamespace), QString(SoapNames::kEncodingPrefix));
    m_xml.writeStartElement(QString(SoapNames::kEnvelopeNamespace), QStringLiteral("Envelope"));
    m_xml.writeStartElement(QString(SoapNames::kEnvelopeNamespace), QStringLiteral("Body"));
    m_xml.writeAttribute(QString(SoapNames::kEnvelopeNamespace), QStringLiteral("encodingStyle"),
                         QString(SoapNames::kEncodingNamespace));
}

void SoapWriter::closeStartTag()
{
    // Empty text ends the open start tag, so that a namespace declared next
    // goes on the next element and not on this one.
    m_xml.writeCharacters(QString());
}

void SoapWriter::StartInterfaceElement(std::string_view name)
{
    closeStartTag();
    m_xml.writeNamespace(QString(SoapNames::kInterfaceNamespace), QString(SoapNames::kInterfacePrefix));
    m_xml.writeStartElement(QString(SoapNames::kInterfaceNamespace), toQString(name));
}

void SoapWriter::StartEnvelopeElement(std::string_view name)
{
    m_xml.writeStartElement(QString(SoapNames::kEnvelopeNamespace), toQString(name));
}

void SoapWriter::StartElement(std::string_view name)
{
    m_xml.writeStartElement(toQString(name));
}

void SoapWriter::EndElement()
{
    m_xml.writeEndElement();
}

void SoapWriter::writeTypeAttribute(std::string_view schemaType)
{
    m_xml.writeAttribute(QString(SoapNames::kInstanceNamespace), QStringLiteral("type"),
                         SoapNames::kSchemaPrefix + u':' + toQString(schemaType));
}

void SoapWriter::writeText(const QString &text)
{
    const qsizetype bad = findNonXmlCharacter(text);
    if (bad >= 0) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("tekst zawiera znak U+%1, którego XML nie przenosi")
                          .arg(QString::number(text[bad].unicode(), 16).rightJustified(4, u'0').toUpper());
        return;
    }
    // A literal carriage return would come back as a line feed.
    qsizetype start = 0;
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', start)) {
        m_xml.writeCharacters(text.mid(start, cr - start));
        m_xml.writeEntityReference(QStringLiteral("#13"));
        start = cr + 1;
    }
    m_xml.writeCharacters(start == 0 ? text : text.mid(start));
}

void SoapWriter::WriteValue(std::string_view name, qint32 value)
{
    StartElement(name);
    writeTypeAttribute("int");
    m_xml.writeCharacters(QString::number(value));
    EndElement();
}

void SoapWriter::WriteValue(std::string_view name, const QString &value)
{
    StartElement(name);
    writeTypeAttribute("string");
    writeText(value);
    EndElement();
}

void SoapWriter::WriteValue(std::string_view name, double value)
{
    StartElement(name);
    writeTypeAttribute("double");
    m_xml.writeCharacters(FormatDouble(value));
    EndElement();
}

void SoapWriter::WriteValue(std::string_view name, bool value)
{
    StartElement(name);
    writeTypeAttribute("boolean");
    m_xml.writeCharacters(value ? QStringLiteral("true") : QStringLiteral("false"));
    EndElement();
}

void SoapWriter::WriteValue(std::string_view name, const TBoundArray &value)
{
    writeArray(name, value, "int");
}

void SoapWriter::WriteValue(std::string_view name, const TDoubleDynArray &value)
{
    writeArray(name, value, "double");
}

void SoapWriter::WriteValue(std::string_view name, const TStringDynArray &value)
{
    writeArray(name, value, "string");
}

void SoapWriter::WriteValue(std::string_view name, const TBooleanDynArray &value)
{
    writeArray(name, value, "boolean");
}

void SoapWriter::WriteTextElement(std::string_view name, const QString &text)
{
    StartElement(name);
    writeText(text);
    EndElement();
}

template<typename T>
void SoapWriter::writeItem(const T &item)
{
    m_xml.writeStartElement(QStringLiteral("item"));
    if constexpr (std::is_same_v<T, qint32>)
        m_xml.writeCharacters(QString::number(item));
    else if constexpr (std::is_same_v<T, double>)
        m_xml.writeCharacters(FormatDouble(item));
    else if constexpr (std::is_same_v<T, bool>)
        m_xml.writeCharacters(item ? QStringLiteral("true") : QStringLiteral("false"));
    else
        writeText(item);
    m_xml.writeEndElement();
}

template<typename T>
void SoapWriter::writeArrayContent(const QList<T> &items, std::string_view itemType)
{
    m_xml.writeAttribute(
        QString(SoapNames::kEncodingNamespace), QStringLiteral("arrayType"),
        QStringLiteral("%1:%2[%3]").arg(SoapNames::kSchemaPrefix, toQString(itemType)).arg(items.size()));
    for (const T &item : items)
        writeItem(item);
}

template<typename T>
void SoapWriter::writeArray(std::string_view name, const QList<T> &items, std::string_view itemType)
{
    if (!m_referenceArrays) {
        StartElement(name);
        m_xml.writeAttribute(QString(SoapNames::kInstanceNamespace), QStringLiteral("type"),
                             SoapNames::kEncodingPrefix + QStringLiteral(":Array"));
        writeArrayContent(items, itemType);
        EndElement();
        return;
    }
    const QString id = nextId();
    StartElement(name);
    m_xml.writeAttribute(QStringLiteral("href"), u'#' + id);
    EndElement();
    m_referenced.push_back([this, &items, itemType, id]() {
        m_xml.writeStartElement(QString(SoapNames::kEncodingNamespace), QStringLiteral("Array"));
        m_xml.writeAttribute(QStringLiteral("id"), id);
        writeArrayContent(items, itemType);
        m_xml.writeEndElement();
    });
}

void SoapWriter::WriteReferencedValues()
{
    // Writing a record queues its arrays behind it: index, not iterate.
    for (std::size_t i = 0; i < m_referenced.size(); ++i) {
        const std::function<void()> write = std::move(m_referenced[i]);
        write();
    }
    m_referenced.clear();
}

ServiceResult<QByteArray> SoapWriter::Finish()
{
    m_xml.writeEndDocument();
    if (!m_error.isEmpty())
        return ServiceFailure{ServiceFailure::Kind::Request, m_error};
    if (m_xml.hasError())
        return ServiceFailure{ServiceFailure::Kind::Request, QStringLiteral("błąd zapisu komunikatu XML")};
    return m_buffer;
}

QString SoapWriter::FormatDouble(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString SoapWriter::ReplaceNonXmlCharacters(QString text)
{
    for (qsizetype bad = findNonXmlCharacter(text); bad >= 0;) {
        text[bad] = QChar::ReplacementCharacter;
        const qsizetype next = findNonXmlCharacter(QStringView(text).mid(bad + 1));
        bad = next < 0 ? -1 : bad + 1 + next;
    }
    return text;
}

#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapReadError.h"

#include <QByteArray>
#include <QHash>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

#include <string_view>
#include <vector>

// One SOAP 1.1 message, parsed strictly into a compact element tree, with the
// typed reading of SOAP-encoded values: int, string, double and boolean
// scalars, SOAP-encoded arrays of them and the answer records, inline or by
// href/id reference (multi-reference form). xsi:type and SOAP-ENC:arrayType
// values are resolved against the namespace declarations in scope; the 1999,
// 2000/10 and 2001 schema namespaces are accepted.
//
// Everything that does not fit throws SoapReadError: malformed XML, a DTD,
// a processing instruction, an input over the size cap, nesting or element
// counts beyond sane bounds, a wrong type, a missing or unexpected element, an
// array whose count disagrees with its items, a dangling reference.
class SoapDocument
{
public:
    // Parses the whole message; its root must be a SOAP 1.1 Envelope holding
    // a Body. Inputs larger than maxSize bytes are refused before parsing.
    SoapDocument(const QByteArray &xml, qsizetype maxSize);

    // Bounds that no message of this service comes near.
    static constexpr int kMaxDepth = 24;
    static constexpr int kMaxElements = 500'000;
    static constexpr qint64 kMaxArrayItems = 250'000;

    int body() const { return m_body; }
    int firstChild(int node) const { return m_nodes[node].firstChild; }
    int nextSibling(int node) const { return m_nodes[node].nextSibling; }
    QStringView localName(int node) const { return view(m_nodes[node].name); }
    QStringView namespaceUri(int node) const { return view(m_nodes[node].ns); }
    bool isElement(int node, QLatin1StringView ns, std::string_view name) const;

    // The element a reference stands for: the body element whose id the
    // node's href names, or the node itself when it carries no href.
    int resolve(int node) const;

    // The first child element of that namespace and name, or -1.
    int findChild(int node, QLatin1StringView ns, std::string_view name) const;
    // The node's text (empty for an element without text); throws when it
    // holds child elements.
    QString text(int node) const;

    // "<name> (wiersz n)" for error details.
    QString describe(int node) const;

    // Typed values. The node is resolved first; an xsi:type present must fit.
    void read(int node, qint32 &value) const;
    void read(int node, QString &value) const;
    void read(int node, double &value) const;
    void read(int node, bool &value) const;
    void read(int node, TBoundArray &value) const;
    void read(int node, TDoubleDynArray &value) const;
    void read(int node, TStringDynArray &value) const;
    void read(int node, TBooleanDynArray &value) const;

    // Reads an answer record: each property an unqualified element named
    // like it, in declaration order, nothing missing and nothing more.
    template<typename Record>
    void readRecord(int node, Record &record) const;

private:
    struct Span
    {
        qint32 begin = 0;
        qint32 length = -1;  // -1: absent
        bool present() const { return length >= 0; }
    };

    struct Node
    {
        Span ns;
        Span name;
        Span text;
        Span href;
        Span id;
        Span typeNs;         // xsi:type, resolved
        Span typeName;
        Span arrayItemNs;    // SOAP-ENC:arrayType, resolved
        Span arrayItemName;
        qint64 arrayCount = -1;
        qint32 line = 0;
        qint32 parent = -1;
        qint32 firstChild = -1;
        qint32 lastChild = -1;
        qint32 nextSibling = -1;
        bool nil = false;
    };

    enum class Scalar { Int, Text, Double, Boolean };

    class Parser;

    QStringView view(Span span) const
    {
        return span.present() ? QStringView(m_chars).mid(span.begin, span.length) : QStringView();
    }
    void checkScalar(int node, Scalar kind) const;
    void checkRecordType(int node, std::string_view typeName) const;
    int checkArray(int node, Scalar itemKind, std::string_view typeName) const;
    template<typename T>
    void readArray(int node, QList<T> &value, Scalar itemKind, std::string_view typeName) const;
    [[noreturn]] void fail(int node, const QString &what) const;

    QString m_chars;  // every name, text and attribute value, back to back
    std::vector<Node> m_nodes;
    QHash<QStringView, int> m_ids;  // body elements by id; views into m_chars
    int m_body = -1;
};

template<typename T>
void SoapDocument::readArray(int node, QList<T> &value, Scalar itemKind, std::string_view typeName) const
{
    node = resolve(node);
    const int count = checkArray(node, itemKind, typeName);
    QList<T> items;
    items.reserve(count);
    for (int item = firstChild(node); item >= 0; item = nextSibling(item)) {
        T itemValue{};
        read(item, itemValue);
        items.append(std::move(itemValue));
    }
    value = std::move(items);
}

template<typename Record>
void SoapDocument::readRecord(int node, Record &record) const
{
    node = resolve(node);
    checkRecordType(node, Record::TypeName);
    int child = firstChild(node);
    ForEachField<Record>([&](const auto &field) {
        if (child < 0)
            fail(node, QStringLiteral("brak właściwości %1").arg(QLatin1StringView(field.name)));
        if (!isElement(child, QLatin1StringView(), field.name))
            fail(child, QStringLiteral("oczekiwano właściwości %1").arg(QLatin1StringView(field.name)));
        read(child, record.*(field.member));
        child = nextSibling(child);
    });
    if (child >= 0)
        fail(child, QStringLiteral("nieoczekiwany element w %1").arg(QLatin1StringView(Record::TypeName)));
}

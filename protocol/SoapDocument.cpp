#include "protocol/SoapDocument.h"

#include "protocol/SoapNames.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

QLatin1StringView latin1(std::string_view text)
{
    return QLatin1StringView(text.data(), qsizetype(text.size()));
}

bool isXmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isBlank(QStringView text)
{
    for (QChar c : text) {
        if (!isXmlSpace(c))
            return false;
    }
    return true;
}

// The schema types each kind of value may carry in xsi:type.
constexpr std::array kIntTypes{std::string_view("int"), std::string_view("integer"), std::string_view("long"),
                               std::string_view("short"), std::string_view("byte")};
constexpr std::array kTextTypes{std::string_view("string")};
constexpr std::array kDoubleTypes{std::string_view("double"), std::string_view("float"),
                                  std::string_view("decimal")};
constexpr std::array kBooleanTypes{std::string_view("boolean")};

template<std::size_t N>
bool contains(const std::array<std::string_view, N> &names, QStringView name)
{
    for (std::string_view candidate : names) {
        if (name == latin1(candidate))
            return true;
    }
    return false;
}

// xsd:int in its lexical form: optional sign, decimal digits; blanks around
// are allowed (whitespace collapse).
bool parseInt(QStringView text, qint32 &value)
{
    text = text.trimmed();
    if (text.isEmpty())
        return false;
    bool negative = false;
    if (text.front() == u'+' || text.front() == u'-') {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty())
        return false;
    qint64 magnitude = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > qint64(1) << 31)
            return false;
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<qint32>::max() || signedValue < std::numeric_limits<qint32>::min())
        return false;
    value = qint32(signedValue);
    return true;
}

// xsd:double in its lexical form with a point as decimal separator. INF and
// NaN are schema-valid but never a sound amount or date: refused.
bool parseDouble(QStringView text, double &value)
{
    text = text.trimmed();
    constexpr qsizetype kMaxLength = 64;
    if (text.isEmpty() || text.size() > kMaxLength)
        return false;
    std::array<char, kMaxLength + 1> buffer{};
    qsizetype length = 0;
    qsizetype i = 0;
    auto peek = [&]() { return i < text.size() ? text[i].unicode() : u'\0'; };
    auto take = [&]() { buffer[std::size_t(length++)] = char(text[i++].unicode()); };
    auto digits = [&]() {
        qsizetype count = 0;
        while (peek() >= u'0' && peek() <= u'9') {
            take();
            ++count;
        }
        return count;
    };
    if (peek() == u'+')
        ++i;  // from_chars takes no plus sign
    else if (peek() == u'-')
        take();
    qsizetype mantissaDigits = digits();
    if (peek() == u'.') {
        take();
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0)
        return false;
    if (peek() == u'e' || peek() == u'E') {
        take();
        if (peek() == u'+' || peek() == u'-')
            take();
        if (digits() == 0)
            return false;
    }
    if (i != text.size())
        return false;
    const auto [end, error] = std::from_chars(buffer.data(), buffer.data() + length, value);
    return error == std::errc() && end == buffer.data() + length && std::isfinite(value);
}

bool parseBoolean(QStringView text, bool &value)
{
    text = text.trimmed();
    if (text == u"true" || text == u"1") {
        value = true;
        return true;
    }
    if (text == u"false" || text == u"0") {
        value = false;
        return true;
    }
    return false;
}

// The stream reader checks the attributes of an element pairwise and looks
// each prefix up through every declaration in scope: thousands of attributes
// or declarations on the open elements make a small message take minutes.
// No SOAP message needs them, so a byte scan refuses such input before the
// reader sees it. "<" cannot stand inside an attribute value, so every start
// tag is scanned whole.
void checkMarkupBounds(const QByteArray &xml)
{
    constexpr int kMaxAttributes = 64;
    constexpr int kMaxDeclarations = 16;  // per element; nesting is bounded too
    bool inTag = false;
    bool countable = false;  // a start tag, not a comment, CDATA, DTD or PI
    char quote = 0;
    int equals = 0;
    int declarations = 0;
    const char *const end = xml.constData() + xml.size();
    for (const char *p = xml.constData(); p != end; ++p) {
        const char c = *p;
        if (c == '<') {
            inTag = true;
            countable = p + 1 != end && p[1] != '!' && p[1] != '?';
            quote = 0;
            equals = 0;
            declarations = 0;
        } else if (!inTag || !countable) {
            if (c == '>')
                inTag = false;
        } else if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            inTag = false;
        } else if (c == '=' && ++equals > kMaxAttributes) {
            throw SoapReadError(QStringLiteral("element z ponad %1 atrybutami").arg(kMaxAttributes));
        } else if (c == 'x' && end - p >= 5 && std::memcmp(p, "xmlns", 5) == 0
                   && ++declarations > kMaxDeclarations) {
            throw SoapReadError(QStringLiteral("element z ponad %1 deklaracjami przestrzeni nazw").arg(kMaxDeclarations));
        }
    }
}

} // namespace

// The single pass over the XML tokens that builds the element tree.
class SoapDocument::Parser
{
public:
    Parser(SoapDocument &doc, const QByteArray &xml) : m_doc(doc), m_reader(xml) {}

    void run()
    {
        while (!m_reader.atEnd()) {
            switch (m_reader.readNext()) {
            case QXmlStreamReader::StartElement:
                startElement();
                break;
            case QXmlStreamReader::EndElement:
                endElement();
                break;
            case QXmlStreamReader::Characters:
                characters();
                break;
            case QXmlStreamReader::DTD:
                // Entity declarations are the door to expansion attacks;
                // SOAP messages may not carry a DTD at all.
                fail(QStringLiteral("deklaracja DTD jest niedozwolona w komunikacie SOAP"));
            case QXmlStreamReader::EntityReference:
                fail(QStringLiteral("nieznana encja &%1;").arg(m_reader.name()));
            case QXmlStreamReader::ProcessingInstruction:
                fail(QStringLiteral("instrukcja przetwarzania jest niedozwolona w komunikacie SOAP"));
            case QXmlStreamReader::Invalid:
                fail(m_reader.errorString());
            default:  // the XML declaration, comments, end of document
                break;
            }
        }
        if (m_reader.hasError())
            fail(m_reader.errorString());
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw SoapReadError(QStringLiteral("wiersz %1: %2").arg(m_reader.lineNumber()).arg(what));
    }

    Span append(QStringView text)
    {
        const Span span{qint32(m_doc.m_chars.size()), qint32(text.size())};
        m_doc.m_chars.append(text);
        return span;
    }

    // Namespace URIs repeat on almost every element: keep one copy of each.
    Span appendNamespace(QStringView uri)
    {
        if (uri.isEmpty())
            return Span{0, 0};
        for (const Span &known : m_namespaces) {
            if (m_doc.view(known) == uri)
                return known;
        }
        const Span span = append(uri);
        if (m_namespaces.size() < 16)
            m_namespaces.push_back(span);
        return span;
    }

    // Element names repeat too ("item", the properties of repeated records).
    Span appendName(QStringView name)
    {
        for (const Span &known : m_names) {
            if (m_doc.view(known) == name)
                return known;
        }
        const Span span = append(name);
        m_names[m_nextName] = span;
        m_nextName = (m_nextName + 1) % m_names.size();
        return span;
    }

    QStringView lookupPrefix(QStringView prefix) const
    {
        for (auto it = m_scopes.rbegin(); it != m_scopes.rend(); ++it) {
            if (it->first == prefix)
                return it->second;
        }
        if (prefix == u"xml")
            return u"http://www.w3.org/XML/1998/namespace";
        if (!prefix.isEmpty())
            fail(QStringLiteral("prefiks %1 nie został zadeklarowany").arg(prefix));
        return {};
    }

    // A QName attribute value ("xsd:int") as namespace URI and local name.
    std::pair<Span, Span> resolveQName(QStringView value)
    {
        value = value.trimmed();
        const qsizetype colon = value.indexOf(u':');
        const QStringView prefix = colon >= 0 ? value.left(colon) : QStringView();
        const QStringView local = colon >= 0 ? value.mid(colon + 1) : value;
        if (local.isEmpty() || local.contains(u':'))
            fail(QStringLiteral("niepoprawna nazwa typu „%1”").arg(value));
        return {appendNamespace(lookupPrefix(prefix)), append(local)};
    }

    void readArrayType(Node &node, QStringView value)
    {
        value = value.trimmed();
        const qsizetype open = value.indexOf(u'[');
        if (open <= 0 || !value.endsWith(u']'))
            fail(QStringLiteral("niepoprawny typ tablicy „%1”").arg(value));
        const QStringView size = value.mid(open + 1, value.size() - open - 2);
        qint32 count = 0;
        if (size.isEmpty() || size.front() == u'+' || size.front() == u'-' || !parseInt(size, count))
            fail(QStringLiteral("tablica bez liczby elementów lub wielowymiarowa: „%1”").arg(value));
        if (count > kMaxArrayItems)
            fail(QStringLiteral("zapowiedziana liczba elementów tablicy (%1) przekracza limit").arg(count));
        const auto [ns, name] = resolveQName(value.left(open));
        node.arrayItemNs = ns;
        node.arrayItemName = name;
        node.arrayCount = count;
    }

    void readAttributes(Node &node)
    {
        for (const QXmlStreamAttribute &attribute : m_reader.attributes()) {
            const QStringView ns = attribute.namespaceUri();
            const QStringView name = attribute.name();
            const QStringView value = attribute.value();
            if (ns.isEmpty()) {
                if (name == u"href") {
                    if (!value.startsWith(u'#') || value.size() < 2)
                        fail(QStringLiteral("obsługiwane są tylko odwołania wewnątrz komunikatu: „%1”").arg(value));
                    node.href = append(value.mid(1));
                } else if (name == u"id") {
                    node.id = append(value);
                }
            } else if (SoapNames::IsInstanceNamespace(ns)) {
                if (name == u"type") {
                    const auto [typeNs, typeName] = resolveQName(value);
                    node.typeNs = typeNs;
                    node.typeName = typeName;
                } else if (name == u"nil" || name == u"null") {
                    bool nil = false;
                    if (!parseBoolean(value, nil))
                        fail(QStringLiteral("niepoprawna wartość xsi:%1").arg(name));
                    node.nil = nil;
                }
            } else if (ns == SoapNames::kEncodingNamespace) {
                if (name == u"arrayType")
                    readArrayType(node, value);
                else if (name == u"offset" || name == u"position")
                    fail(QStringLiteral("tablice przesyłane częściowo nie są obsługiwane"));
            }
        }
    }

    void startElement()
    {
        auto &nodes = m_doc.m_nodes;
        if (m_depth >= kMaxDepth)
            fail(QStringLiteral("zbyt głębokie zagnieżdżenie elementów"));
        if (nodes.size() >= std::size_t(kMaxElements))
            fail(QStringLiteral("zbyt wiele elementów"));

        m_scopeMarks.push_back(m_scopes.size());
        for (const QXmlStreamNamespaceDeclaration &declaration : m_reader.namespaceDeclarations())
            m_scopes.emplace_back(declaration.prefix().toString(), declaration.namespaceUri().toString());

        Node node;
        node.ns = appendNamespace(m_reader.namespaceUri());
        node.name = appendName(m_reader.name());
        node.line = qint32(qMin<qint64>(m_reader.lineNumber(), std::numeric_limits<qint32>::max()));
        node.parent = m_current;
        readAttributes(node);

        const int index = int(nodes.size());
        if (m_current >= 0) {
            Node &parent = nodes[std::size_t(m_current)];
            if (parent.text.present()) {
                if (!isBlank(m_doc.view(parent.text)))
                    fail(QStringLiteral("element %1 miesza tekst z elementami").arg(m_doc.view(parent.name)));
                parent.text = Span{};
            }
            if (parent.lastChild >= 0)
                nodes[std::size_t(parent.lastChild)].nextSibling = index;
            else
                parent.firstChild = index;
            parent.lastChild = index;
        }
        nodes.push_back(node);
        m_current = index;
        ++m_depth;
    }

    void endElement()
    {
        m_scopes.resize(m_scopeMarks.back());
        m_scopeMarks.pop_back();
        m_current = m_doc.m_nodes[std::size_t(m_current)].parent;
        --m_depth;
    }

    void characters()
    {
        if (m_current < 0)
            return;  // blanks around the root
        Node &node = m_doc.m_nodes[std::size_t(m_current)];
        if (node.firstChild >= 0) {
            if (!m_reader.isWhitespace())
                fail(QStringLiteral("element %1 miesza tekst z elementami").arg(m_doc.view(node.name)));
            return;
        }
        // Pieces of one text (split by references or CDATA) land back to
        // back: nothing else is appended while an element has no child.
        const QStringView piece = m_reader.text();
        if (!node.text.present())
            node.text = Span{qint32(m_doc.m_chars.size()), 0};
        m_doc.m_chars.append(piece);
        node.text.length += qint32(piece.size());
    }

    SoapDocument &m_doc;
    QXmlStreamReader m_reader;
    std::vector<std::pair<QString, QString>> m_scopes;  // prefix, URI
    std::vector<std::size_t> m_scopeMarks;
    std::vector<Span> m_namespaces;
    std::array<Span, 8> m_names{};  // recently seen names, replaced round-robin
    std::size_t m_nextName = 0;
    int m_current = -1;
    int m_depth = 0;
};

SoapDocument::SoapDocument(const QByteArray &xml, qsizetype maxSize)
{
    // Text positions are 32-bit: far beyond any sane cap, but never wrap.
    if (xml.size() > maxSize || xml.size() > std::numeric_limits<qint32>::max() / 4)
        throw SoapReadError(QStringLiteral("komunikat ma %1 bajtów, dopuszczalne %2").arg(xml.size()).arg(maxSize));
    checkMarkupBounds(xml);
    // Every element starts with "<": counting them is far cheaper than
    // growing the node table again and again.
    const auto tags = std::count(xml.cbegin(), xml.cend(), '<');
    m_nodes.reserve(std::size_t(qMin<qsizetype>(tags, kMaxElements)));
    m_chars.reserve(xml.size() / 2);
    Parser(*this, xml).run();

    if (m_nodes.empty() || !isElement(0, SoapNames::kEnvelopeNamespace, std::string_view("Envelope")))
        throw SoapReadError(QStringLiteral("to nie jest koperta SOAP 1.1"));
    int child = firstChild(0);
    if (child >= 0 && isElement(child, SoapNames::kEnvelopeNamespace, std::string_view("Header")))
        child = nextSibling(child);
    if (child < 0 || !isElement(child, SoapNames::kEnvelopeNamespace, std::string_view("Body")))
        throw SoapReadError(QStringLiteral("koperta SOAP bez elementu Body"));
    if (nextSibling(child) >= 0)
        fail(nextSibling(child), QStringLiteral("nieoczekiwany element po Body"));
    m_body = child;

    for (int element = firstChild(m_body); element >= 0; element = nextSibling(element)) {
        const Span id = m_nodes[std::size_t(element)].id;
        if (!id.present())
            continue;
        if (m_ids.contains(view(id)))
            fail(element, QStringLiteral("powtórzony identyfikator „%1”").arg(view(id)));
        m_ids.insert(view(id), element);
    }
}

bool SoapDocument::isElement(int node, QLatin1StringView ns, std::string_view name) const
{
    return namespaceUri(node) == ns && localName(node) == latin1(name);
}

int SoapDocument::findChild(int node, QLatin1StringView ns, std::string_view name) const
{
    for (int child = firstChild(node); child >= 0; child = nextSibling(child)) {
        if (isElement(child, ns, name))
            return child;
    }
    return -1;
}

QString SoapDocument::text(int node) const
{
    if (firstChild(node) >= 0)
        fail(node, QStringLiteral("oczekiwano tekstu, są elementy"));
    return view(m_nodes[std::size_t(node)].text).toString();
}

QString SoapDocument::describe(int node) const
{
    return QStringLiteral("element %1 (wiersz %2)").arg(localName(node)).arg(m_nodes[std::size_t(node)].line);
}

void SoapDocument::fail(int node, const QString &what) const
{
    throw SoapReadError(describe(node) + QStringLiteral(": ") + what);
}

int SoapDocument::resolve(int node) const
{
    const Node &element = m_nodes[std::size_t(node)];
    if (!element.href.present())
        return node;
    if (element.firstChild >= 0 || (element.text.present() && !isBlank(view(element.text))))
        fail(node, QStringLiteral("odwołanie z własną treścią"));
    const int target = m_ids.value(view(element.href), -1);
    if (target < 0)
        fail(node, QStringLiteral("odwołanie do nieistniejącego elementu #%1").arg(view(element.href)));
    if (m_nodes[std::size_t(target)].href.present())
        fail(target, QStringLiteral("odwołanie do odwołania"));
    return target;
}

void SoapDocument::checkScalar(int node, Scalar kind) const
{
    const Node &element = m_nodes[std::size_t(node)];
    if (element.firstChild >= 0)
        fail(node, QStringLiteral("oczekiwano wartości prostej, są elementy"));
    if (!element.typeName.present())
        return;  // the type comes from the record's declaration
    const QStringView typeNs = view(element.typeNs);
    const QStringView typeName = view(element.typeName);
    bool fits = SoapNames::IsSchemaNamespace(typeNs) || typeNs == SoapNames::kEncodingNamespace;
    if (fits) {
        switch (kind) {
        case Scalar::Int: fits = contains(kIntTypes, typeName); break;
        case Scalar::Text: fits = contains(kTextTypes, typeName); break;
        case Scalar::Double: fits = contains(kDoubleTypes, typeName); break;
        case Scalar::Boolean: fits = contains(kBooleanTypes, typeName); break;
        }
    }
    if (!fits) {
        static constexpr std::array kExpected{"int", "string", "double", "boolean"};
        fail(node, QStringLiteral("typ {%1}%2 zamiast %3").arg(typeNs, typeName, QLatin1StringView(kExpected[int(kind)])));
    }
}

void SoapDocument::checkRecordType(int node, std::string_view typeName) const
{
    const Node &element = m_nodes[std::size_t(node)];
    if (element.nil)
        fail(node, QStringLiteral("brak rekordu %1 (nil)").arg(latin1(typeName)));
    if (element.text.present() && !isBlank(view(element.text)))
        fail(node, QStringLiteral("rekord %1 zawiera tekst").arg(latin1(typeName)));
    if (element.typeName.present()
        && !(view(element.typeNs) == SoapNames::kTypesNamespace && view(element.typeName) == latin1(typeName)))
        fail(node, QStringLiteral("typ {%1}%2 zamiast %3").arg(view(element.typeNs), view(element.typeName), latin1(typeName)));
}

int SoapDocument::checkArray(int node, Scalar itemKind, std::string_view typeName) const
{
    const Node &element = m_nodes[std::size_t(node)];
    if (element.nil) {
        if (element.firstChild >= 0)
            fail(node, QStringLiteral("tablica nil z elementami"));
        return 0;
    }
    if (element.typeName.present()) {
        const QStringView typeNs = view(element.typeNs);
        const QStringView name = view(element.typeName);
        // The integer array is registered in the service's namespace; the
        // others belong to the SOAP runtime, whose namespace varies.
        const bool named = name == latin1(typeName)
            && (typeName != "TBoundArray" || typeNs == SoapNames::kTypesNamespace);
        if (!named && !(typeNs == SoapNames::kEncodingNamespace && name == u"Array"))
            fail(node, QStringLiteral("typ {%1}%2 zamiast tablicy %3").arg(typeNs, name, latin1(typeName)));
    }
    if (element.arrayCount < 0)
        fail(node, QStringLiteral("tablica bez atrybutu SOAP-ENC:arrayType"));
    const QStringView itemNs = view(element.arrayItemNs);
    const QStringView itemName = view(element.arrayItemName);
    bool fits = SoapNames::IsSchemaNamespace(itemNs) || itemNs == SoapNames::kEncodingNamespace;
    if (fits && itemName != u"anyType" && itemName != u"ur-type") {
        switch (itemKind) {
        case Scalar::Int: fits = contains(kIntTypes, itemName); break;
        case Scalar::Text: fits = contains(kTextTypes, itemName); break;
        case Scalar::Double: fits = contains(kDoubleTypes, itemName); break;
        case Scalar::Boolean: fits = contains(kBooleanTypes, itemName); break;
        }
    }
    if (!fits)
        fail(node, QStringLiteral("tablica elementów typu %1 zamiast %2").arg(itemName, latin1(typeName)));
    if (element.text.present() && !isBlank(view(element.text)))
        fail(node, QStringLiteral("tablica zawiera tekst"));
    qint64 items = 0;
    for (int child = element.firstChild; child >= 0; child = nextSibling(child))
        ++items;
    if (items != element.arrayCount)
        fail(node, QStringLiteral("liczba elementów tablicy: zapowiedziana %1, faktyczna %2").arg(element.arrayCount).arg(items));
    return int(items);
}

void SoapDocument::read(int node, qint32 &value) const
{
    node = resolve(node);
    checkScalar(node, Scalar::Int);
    const Node &element = m_nodes[std::size_t(node)];
    if (element.nil || !parseInt(view(element.text), value))
        fail(node, QStringLiteral("niepoprawna liczba całkowita „%1”").arg(view(element.text)));
}

void SoapDocument::read(int node, QString &value) const
{
    node = resolve(node);
    checkScalar(node, Scalar::Text);
    const Node &element = m_nodes[std::size_t(node)];
    value = element.nil ? QString() : view(element.text).toString();
}

void SoapDocument::read(int node, double &value) const
{
    node = resolve(node);
    checkScalar(node, Scalar::Double);
    const Node &element = m_nodes[std::size_t(node)];
    if (element.nil || !parseDouble(view(element.text), value))
        fail(node, QStringLiteral("niepoprawna liczba „%1”").arg(view(element.text)));
}

void SoapDocument::read(int node, bool &value) const
{
    node = resolve(node);
    checkScalar(node, Scalar::Boolean);
    const Node &element = m_nodes[std::size_t(node)];
    if (element.nil || !parseBoolean(view(element.text), value))
        fail(node, QStringLiteral("niepoprawna wartość logiczna „%1”").arg(view(element.text)));
}

void SoapDocument::read(int node, TBoundArray &value) const
{
    readArray(node, value, Scalar::Int, "TBoundArray");
}

void SoapDocument::read(int node, TDoubleDynArray &value) const
{
    readArray(node, value, Scalar::Double, "TDoubleDynArray");
}

void SoapDocument::read(int node, TStringDynArray &value) const
{
    readArray(node, value, Scalar::Text, "TStringDynArray");
}

void SoapDocument::read(int node, TBooleanDynArray &value) const
{
    readArray(node, value, Scalar::Boolean, "TBooleanDynArray");
}

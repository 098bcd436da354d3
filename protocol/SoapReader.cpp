#include "protocol/SoapReader.h"

#include "protocol/DecimalText.h"
#include "protocol/SoapNames.h"

#include <expat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

using SoapBinding::Kind;
using SoapBinding::Slot;

namespace {

// Expat joins a namespace URI and a local name with this character; XML
// cannot carry it, so it never stands inside either.
constexpr char kSeparator = '\x01';

std::string qualified(QLatin1StringView ns, std::string_view local)
{
    std::string name(ns.data(), std::size_t(ns.size()));
    name += kSeparator;
    name += local;
    return name;
}

QLatin1StringView latin1(std::string_view text)
{
    return QLatin1StringView(text.data(), qsizetype(text.size()));
}

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), isXmlSpace);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isXmlSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isXmlSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The local name of an expanded name, and whether it has a namespace.
std::string_view localOf(std::string_view name)
{
    const std::size_t separator = name.find(kSeparator);
    return separator == std::string_view::npos ? name : name.substr(separator + 1);
}

// The local name of an open element, kept for messages. Nearly every name
// fits inline: taking it is one pass over expat's name, with no call.
class LocalName
{
public:
    // From expat's expanded name, "uri<separator>local" or "local".
    void Assign(const XML_Char *name)
    {
        std::size_t size = 0;
        for (const XML_Char *c = name; *c; ++c) {
            if (*c == kSeparator) {
                size = 0;
                continue;
            }
            if (size < m_inline.size())
                m_inline[size] = *c;
            ++size;
        }
        m_size = size;
        if (size > m_inline.size())
            m_long.assign(localOf(name));
    }

    std::string_view View() const
    {
        return m_size <= m_inline.size() ? std::string_view(m_inline.data(), m_size) : std::string_view(m_long);
    }

private:
    std::array<char, 40> m_inline{};
    std::size_t m_size = 0;
    std::string m_long;
};

bool isQualified(std::string_view name)
{
    return name.find(kSeparator) != std::string_view::npos;
}

enum class NsClass : quint8 { Other, Schema, Instance, Encoding, Types };

NsClass classify(std::string_view uri)
{
    const QLatin1StringView view = latin1(uri);
    if (view == SoapNames::kSchemaNamespace || view == SoapNames::kSchemaNamespace2000
        || view == SoapNames::kSchemaNamespace1999)
        return NsClass::Schema;
    if (view == SoapNames::kInstanceNamespace || view == SoapNames::kInstanceNamespace2000
        || view == SoapNames::kInstanceNamespace1999)
        return NsClass::Instance;
    if (view == SoapNames::kEncodingNamespace)
        return NsClass::Encoding;
    if (view == SoapNames::kTypesNamespace)
        return NsClass::Types;
    return NsClass::Other;
}

// The values an integer's schema type allows; all of them must fit an int32
// as well. The types of long standing keep the whole int32 range.
struct IntType
{
    std::string_view name;
    qint64 min;
    qint64 max;
};
constexpr qint64 kIntMin = std::numeric_limits<qint32>::min();
constexpr qint64 kIntMax = std::numeric_limits<qint32>::max();
constexpr std::array kIntTypes{
    IntType{"int", kIntMin, kIntMax},        IntType{"integer", kIntMin, kIntMax},
    IntType{"long", kIntMin, kIntMax},       IntType{"short", kIntMin, kIntMax},
    IntType{"byte", kIntMin, kIntMax},       IntType{"unsignedInt", 0, kIntMax},
    IntType{"unsignedLong", 0, kIntMax},     IntType{"unsignedShort", 0, 65535},
    IntType{"unsignedByte", 0, 255},         IntType{"nonNegativeInteger", 0, kIntMax},
    IntType{"positiveInteger", 1, kIntMax},  IntType{"nonPositiveInteger", kIntMin, 0},
    IntType{"negativeInteger", kIntMin, -1},
};
constexpr std::array kTextTypes{std::string_view("string")};
constexpr std::array kDoubleTypes{std::string_view("double"), std::string_view("float"), std::string_view("decimal")};
constexpr std::array kBooleanTypes{std::string_view("boolean")};

// Index into kIntTypes, or -1.
int intTypeIndex(std::string_view name)
{
    for (std::size_t i = 0; i < kIntTypes.size(); ++i) {
        if (kIntTypes[i].name == name)
            return int(i);
    }
    return -1;
}

template<std::size_t N>
bool contains(const std::array<std::string_view, N> &names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isScalar(Kind kind)
{
    return kind == Kind::Int || kind == Kind::Text || kind == Kind::Double || kind == Kind::Boolean;
}

bool isArray(Kind kind)
{
    return kind == Kind::IntArray || kind == Kind::TextArray || kind == Kind::DoubleArray || kind == Kind::BooleanArray;
}

Kind itemKindOf(Kind arrayKind)
{
    switch (arrayKind) {
    case Kind::IntArray: return Kind::Int;
    case Kind::TextArray: return Kind::Text;
    case Kind::DoubleArray: return Kind::Double;
    default: return Kind::Boolean;
    }
}

std::string_view arrayTypeName(Kind arrayKind)
{
    switch (arrayKind) {
    case Kind::IntArray: return "TBoundArray";
    case Kind::TextArray: return "TStringDynArray";
    case Kind::DoubleArray: return "TDoubleDynArray";
    default: return "TBooleanDynArray";
    }
}

const char *scalarName(Kind kind)
{
    static constexpr std::array kNames{"int", "string", "double", "boolean"};
    return kNames[std::size_t(kind)];
}

// Whether the schema type (namespace class, local name) may carry a value of
// that kind; for integers *intType is set to the type's index.
bool scalarTypeFits(Kind kind, NsClass ns, std::string_view name, int *intType)
{
    if (ns != NsClass::Schema && ns != NsClass::Encoding)
        return false;
    switch (kind) {
    case Kind::Int: {
        const int index = intTypeIndex(name);
        if (intType)
            *intType = index;
        return index >= 0;
    }
    case Kind::Text: return contains(kTextTypes, name);
    case Kind::Double: return contains(kDoubleTypes, name);
    case Kind::Boolean: return contains(kBooleanTypes, name);
    default: return false;
    }
}

// xsd:int in its lexical form: optional sign, decimal digits; blanks around
// are allowed (whitespace collapse).
bool parseInt(std::string_view text, qint64 &value)
{
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    qint64 magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kIntMax + 1)
            return false;
    }
    value = negative ? -magnitude : magnitude;
    return value >= kIntMin && value <= kIntMax;
}

bool parseBoolean(std::string_view text, bool &value)
{
    text = trimmed(text);
    if (text == "true" || text == "1") {
        value = true;
        return true;
    }
    if (text == "false" || text == "0") {
        value = false;
        return true;
    }
    return false;
}

// The attributes of a value element that the reader needs.
struct ValueAttributes
{
    std::string_view href; // without "#"
    bool hasHref = false;
    bool nil = false;
    bool hasType = false;
    NsClass typeNs = NsClass::Other;
    std::string_view typeUri;
    std::string_view typeName;
    bool hasArrayType = false;
    NsClass itemNs = NsClass::Other;
    std::string_view itemUri;
    std::string_view itemName;
    qint64 arrayCount = -1;
    std::string_view arrayTypeText;
};

enum class Role : quint8 {
    Document, // above the root
    Wrapper, // declares the Body's namespaces around a re-read element
    Envelope,
    Header,
    Body,
    AfterBody,
    Response, // the operation's response: holds "return"
    Request, // the operation element of a request: holds the parameters
    Fault,
    FaultText, // faultstring or faultcode
    Record,
    Array,
    Scalar,
    Reference, // an element with href
    Skip, // read and checked as XML, otherwise ignored
};

struct Frame
{
    Role role = Role::Skip;
    Slot slot;
    const SoapBinding::Record *record = nullptr;
    bool hasChild = false;
    bool nil = false;
    bool isTarget = false; // a Body child with an id
    int intType = 0; // index into kIntTypes for Int scalars
    int itemIntType = 0; // the same for an array's items
    quint64 seen = 0; // record properties read
    int next = 0; // next property in order
    qint64 announced = -1; // array count
    qint64 items = 0;
    qint64 offset = 0; // byte offset of the start tag in the input
    LocalName name; // for messages
    std::string id;
};

// Where one reference wants the referenced element to go.
struct Expectation
{
    Slot slot;
    const SoapBinding::Record *record = nullptr;
    int intType = 0;
    qint64 offset = 0; // of the referring element
    std::string name;
};

// A Body child with an id: where it stands in the input and where it was
// decoded to, by kind, so later references of the same kind copy the value.
struct Target
{
    qint64 begin = 0;
    qint64 end = -1;
    std::array<void *, SoapBinding::kKindCount> decoded{};
};

struct Scope
{
    std::string prefix;
    std::string uri;
    NsClass ns = NsClass::Other;
};

// What the whole read shares across the main pass and the re-reads of
// referenced elements that came before their reference.
struct Shared
{
    const QByteArray *input = nullptr;
    enum class Mode { Answer, Fault, Request } mode = Mode::Answer;
    std::string responseName; // {interface}NameResponse
    Slot result;
    std::unordered_map<std::string, Target> targets;
    std::unordered_map<std::string, std::vector<Expectation>> pending;
    std::vector<Scope> bodyScopes; // in scope on the Body's children
    std::string encoding; // from the XML declaration
    bool sawResponse = false;
    std::optional<QString> faultString, faultCode;
    bool sawFault = false;
    // Request mode.
    const OperationInfo *operation = nullptr;
    QList<SoapArgument> *arguments = nullptr;
    SoapBinding::Record requestRecord;
    qint64 elements = 0;

    int lineAt(qint64 offset) const
    {
        offset = std::clamp<qint64>(offset, 0, input->size());
        return 1 + int(std::count(input->constData(), input->constData() + offset, '\n'));
    }
    QString describe(qint64 offset, std::string_view name) const
    {
        return QStringLiteral("element %1 (wiersz %2)").arg(utf8(name)).arg(lineAt(offset));
    }
};

const std::string kEnvelopeName = qualified(SoapNames::kEnvelopeNamespace, "Envelope");
const std::string kHeaderName = qualified(SoapNames::kEnvelopeNamespace, "Header");
const std::string kBodyName = qualified(SoapNames::kEnvelopeNamespace, "Body");
const std::string kFaultName = qualified(SoapNames::kEnvelopeNamespace, "Fault");

// One expat pass: over the whole message, or over one referenced element
// (wrapped in an element that declares the namespaces in scope at the Body).
class Pass
{
public:
    Pass(Shared &shared, const char *encoding) : m_shared(shared)
    {
        m_parser = XML_ParserCreateNS(encoding, kSeparator);
        if (!m_parser)
            throw SoapReadError(QStringLiteral("brak pamięci na parser XML"));
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, &Pass::onStart, &Pass::onEnd);
        XML_SetCharacterDataHandler(m_parser, &Pass::onText);
        XML_SetNamespaceDeclHandler(m_parser, &Pass::onDeclaration, &Pass::onDeclarationEnd);
        XML_SetStartDoctypeDeclHandler(m_parser, &Pass::onDoctype);
        XML_SetProcessingInstructionHandler(m_parser, &Pass::onInstruction);
        XML_SetXmlDeclHandler(m_parser, &Pass::onXmlDeclaration);
        m_frames.reserve(SoapReader::kMaxDepth + 2);
    }
    ~Pass() { XML_ParserFree(m_parser); }
    Pass(const Pass &) = delete;
    Pass &operator=(const Pass &) = delete;

    // The whole message.
    void runDocument()
    {
        pushDocument();
        parse(m_shared.input->constData(), m_shared.input->size(), true);
        finish();
    }

    // One referenced element, given by its place in the input, decoded as
    // the expectation says.
    void runTarget(const Target &target, Expectation expectation)
    {
        std::string wrapper = "<w";
        for (const Scope &scope : m_shared.bodyScopes) {
            wrapper += scope.prefix.empty() ? std::string(" xmlns=\"") : " xmlns:" + scope.prefix + "=\"";
            appendEscaped(wrapper, scope.uri);
            wrapper += '"';
        }
        wrapper += '>';
        m_offsetBase = target.begin - qint64(wrapper.size());
        m_forced = std::move(expectation);
        m_rereading = true;
        pushDocument();
        parse(wrapper.data(), qint64(wrapper.size()), false);
        parse(m_shared.input->constData() + target.begin, target.end - target.begin, false);
        parse("</w>", 4, true);
        finish();
    }

private:
    static void appendEscaped(std::string &out, std::string_view text)
    {
        for (unsigned char c : text) {
            if (c == '&' || c == '<' || c == '"' || c >= 0x80)
                out += "&#" + std::to_string(c) + ';'; // ASCII only: any declared encoding reads it
            else
                out += char(c);
        }
    }

    void pushDocument()
    {
        m_frames.clear();
        Frame &document = push();
        document.role = Role::Document;
    }

    void parse(const char *data, qint64 size, bool final)
    {
        if (XML_Parse(m_parser, data, int(size), final) == XML_STATUS_OK)
            return;
        if (m_error)
            throw SoapReadError(*m_error);
        const XML_Error code = XML_GetErrorCode(m_parser);
        const QString what = code == XML_ERROR_UNDEFINED_ENTITY ? QStringLiteral("nieznana encja")
                                                                : QString::fromUtf8(XML_ErrorString(code));
        throw SoapReadError(QStringLiteral("wiersz %1: %2").arg(m_shared.lineAt(position())).arg(what));
    }

    void finish()
    {
        if (m_error)
            throw SoapReadError(*m_error);
    }

    // The byte offset in the input of the current event.
    qint64 position() const { return m_offsetBase + XML_GetCurrentByteIndex(m_parser); }

    Frame &push()
    {
        if (m_depth == m_frames.size())
            m_frames.emplace_back();
        Frame &frame = m_frames[m_depth++];
        frame.role = Role::Skip;
        frame.slot = Slot{};
        frame.record = nullptr;
        frame.hasChild = false;
        frame.nil = false;
        frame.isTarget = false;
        frame.intType = 0;
        frame.itemIntType = 0;
        frame.seen = 0;
        frame.next = 0;
        frame.announced = -1;
        frame.items = 0;
        frame.id.clear();
        return frame;
    }

    // Records the first error and stops expat; exceptions may not cross it.
    void fail(const QString &what)
    {
        if (!m_error)
            m_error = what;
        XML_StopParser(m_parser, XML_FALSE);
    }
    void failAt(const QString &what)
    {
        fail(QStringLiteral("wiersz %1: %2").arg(m_shared.lineAt(position())).arg(what));
    }
    void failFrame(const Frame &frame, const QString &what)
    {
        fail(m_shared.describe(frame.offset, frame.name.View()) + QStringLiteral(": ") + what);
    }

    // ---- expat callbacks

    static void XMLCALL onStart(void *self, const XML_Char *name, const XML_Char **attributes)
    {
        static_cast<Pass *>(self)->StartElement(name, attributes);
    }
    static void XMLCALL onEnd(void *self, const XML_Char *) { static_cast<Pass *>(self)->EndElement(); }
    static void XMLCALL onText(void *self, const XML_Char *text, int length)
    {
        static_cast<Pass *>(self)->characters(std::string_view(text, std::size_t(length)));
    }
    static void XMLCALL onDeclaration(void *self, const XML_Char *prefix, const XML_Char *uri)
    {
        static_cast<Pass *>(self)->declaration(prefix ? prefix : "", uri ? uri : "");
    }
    static void XMLCALL onDeclarationEnd(void *self, const XML_Char *)
    {
        auto *pass = static_cast<Pass *>(self);
        if (!pass->m_scopes.empty())
            pass->m_scopes.pop_back();
    }
    static void XMLCALL onDoctype(void *self, const XML_Char *, const XML_Char *, const XML_Char *, int)
    {
        // Entity declarations are the door to expansion attacks; SOAP
        // messages may not carry a DTD at all.
        static_cast<Pass *>(self)->failAt(QStringLiteral("deklaracja DTD jest niedozwolona w komunikacie SOAP"));
    }
    static void XMLCALL onInstruction(void *self, const XML_Char *, const XML_Char *)
    {
        static_cast<Pass *>(self)->failAt(
            QStringLiteral("instrukcja przetwarzania jest niedozwolona w komunikacie SOAP"));
    }
    static void XMLCALL onXmlDeclaration(void *self, const XML_Char *, const XML_Char *encoding, int)
    {
        if (encoding)
            static_cast<Pass *>(self)->m_shared.encoding = encoding;
    }

    void declaration(std::string_view prefix, std::string_view uri)
    {
        if (m_error)
            return;
        if (++m_declarations > SoapReader::kMaxDeclarations) {
            failAt(
                QStringLiteral("element z ponad %1 deklaracjami przestrzeni nazw").arg(SoapReader::kMaxDeclarations));
            return;
        }
        m_scopes.push_back(Scope{std::string(prefix), std::string(uri), classify(uri)});
    }

    // The namespace of a QName's prefix ("xsd" in "xsd:int"), or null.
    const Scope *lookupPrefix(std::string_view prefix)
    {
        for (auto it = m_scopes.rbegin(); it != m_scopes.rend(); ++it) {
            if (it->prefix == prefix)
                return &*it;
        }
        if (!prefix.empty() && prefix != "xml")
            failAt(QStringLiteral("prefiks %1 nie został zadeklarowany").arg(utf8(prefix)));
        return nullptr;
    }

    // A QName attribute value as namespace class, URI and local name.
    bool resolveQName(std::string_view value, NsClass &ns, std::string_view &uri, std::string_view &local)
    {
        value = trimmed(value);
        const std::size_t colon = value.find(':');
        const std::string_view prefix = colon != std::string_view::npos ? value.substr(0, colon) : std::string_view();
        local = colon != std::string_view::npos ? value.substr(colon + 1) : value;
        if (local.empty() || local.find(':') != std::string_view::npos) {
            failAt(QStringLiteral("niepoprawna nazwa typu „%1”").arg(utf8(value)));
            return false;
        }
        const Scope *scope = lookupPrefix(prefix);
        if (m_error)
            return false;
        ns = scope ? scope->ns : NsClass::Other;
        uri = scope ? std::string_view(scope->uri) : std::string_view();
        return true;
    }

    bool readArrayType(ValueAttributes &value, std::string_view text)
    {
        text = trimmed(text);
        value.arrayTypeText = text;
        const std::size_t open = text.find('[');
        if (open == 0 || open == std::string_view::npos || text.back() != ']') {
            failAt(QStringLiteral("niepoprawny typ tablicy „%1”").arg(utf8(text)));
            return false;
        }
        const std::string_view size = text.substr(open + 1, text.size() - open - 2);
        qint64 count = 0;
        if (size.empty() || size.front() == '+' || size.front() == '-' || !parseInt(size, count)) {
            failAt(QStringLiteral("tablica bez liczby elementów lub wielowymiarowa: „%1”").arg(utf8(text)));
            return false;
        }
        if (count > SoapReader::kMaxArrayItems) {
            failAt(QStringLiteral("zapowiedziana liczba elementów tablicy (%1) przekracza limit").arg(count));
            return false;
        }
        if (!resolveQName(text.substr(0, open), value.itemNs, value.itemUri, value.itemName))
            return false;
        value.hasArrayType = true;
        value.arrayCount = count;
        return true;
    }

    bool readValueAttributes(const XML_Char **attributes, ValueAttributes &value)
    {
        for (const XML_Char **a = attributes; *a; a += 2) {
            const std::string_view name(a[0]);
            const std::string_view text(a[1]);
            if (!isQualified(name)) {
                if (name == "href") {
                    if (text.size() < 2 || text.front() != '#') {
                        failAt(
                            QStringLiteral("obsługiwane są tylko odwołania wewnątrz komunikatu: „%1”").arg(utf8(text)));
                        return false;
                    }
                    value.href = text.substr(1);
                    value.hasHref = true;
                }
                continue;
            }
            const std::size_t separator = name.find(kSeparator);
            const std::string_view ns = name.substr(0, separator);
            const std::string_view local = name.substr(separator + 1);
            const NsClass nsClass = classify(ns);
            if (nsClass == NsClass::Instance) {
                if (local == "type") {
                    if (!resolveQName(text, value.typeNs, value.typeUri, value.typeName))
                        return false;
                    value.hasType = true;
                } else if (local == "nil" || local == "null") {
                    if (!parseBoolean(text, value.nil)) {
                        failAt(QStringLiteral("niepoprawna wartość xsi:%1").arg(utf8(local)));
                        return false;
                    }
                }
            } else if (nsClass == NsClass::Encoding) {
                if (local == "arrayType") {
                    if (!readArrayType(value, text))
                        return false;
                } else if (local == "offset" || local == "position") {
                    failAt(QStringLiteral("tablice przesyłane częściowo nie są obsługiwane"));
                    return false;
                }
            }
        }
        return true;
    }

    static const XML_Char *idOf(const XML_Char **attributes)
    {
        for (const XML_Char **a = attributes; *a; a += 2) {
            if (std::strcmp(a[0], "id") == 0)
                return a[1];
        }
        return nullptr;
    }

    // ---- elements

    void StartElement(const XML_Char *rawName, const XML_Char **attributes)
    {
        if (m_error)
            return;
        m_declarations = 0;
        const qint64 offset = position();
        int attributeCount = 0;
        for (const XML_Char **a = attributes; *a; a += 2)
            ++attributeCount;
        if (attributeCount > SoapReader::kMaxAttributes)
            return failAt(QStringLiteral("element z ponad %1 atrybutami").arg(SoapReader::kMaxAttributes));
        if (m_depth > std::size_t(SoapReader::kMaxDepth))
            return failAt(QStringLiteral("zbyt głębokie zagnieżdżenie elementów"));
        if (!m_rereading && ++m_shared.elements > SoapReader::kMaxElements)
            return failAt(QStringLiteral("zbyt wiele elementów"));

        Frame &parent = m_frames[m_depth - 1];
        if (parent.role != Role::Document) {
            if (!parent.hasChild && !isBlank(m_text))
                return failFrame(parent,
                                 QStringLiteral("element %1 miesza tekst z elementami").arg(utf8(parent.name.View())));
            if (parent.role == Role::Scalar)
                return failFrame(parent, QStringLiteral("oczekiwano wartości prostej, są elementy"));
        }
        parent.hasChild = true;
        m_text.clear();

        const Role parentRole = parent.role;
        Frame &frame = push();
        Frame &owner = m_frames[m_depth - 2]; // push may not move frames: reserved
        frame.offset = offset;
        frame.name.Assign(rawName);
        // An array's items go by position: their names need no comparing.
        if (parentRole == Role::Array)
            return startItem(owner, frame, attributes);

        const std::string_view name(rawName);
        switch (parentRole) {
        case Role::Document:
            if (m_rereading)
                frame.role = Role::Wrapper;
            else if (name == kEnvelopeName)
                frame.role = Role::Envelope;
            else
                fail(QStringLiteral("to nie jest koperta SOAP 1.1"));
            break;
        case Role::Wrapper: {
            const XML_Char *id = idOf(attributes);
            frame.isTarget = true;
            frame.id = id ? id : "";
            startValue(frame, m_forced, attributes);
            break;
        }
        case Role::Envelope:
            if (m_sawBody) {
                frame.role = Role::AfterBody; // other blocks after the Body are ignored
            } else if (name == kBodyName) {
                frame.role = Role::Body;
                m_sawBody = true;
                m_shared.bodyScopes = m_scopes;
            } else if (name == kHeaderName && owner.items == 0) {
                frame.role = Role::Header;
            } else {
                fail(QStringLiteral("koperta SOAP bez elementu Body"));
            }
            ++owner.items;
            break;
        case Role::Body: startBodyChild(frame, name, attributes); break;
        case Role::Response:
            if (owner.items++ > 0)
                return failFrame(frame, QStringLiteral("nieoczekiwany element po return"));
            if (name != "return")
                return failFrame(owner, QStringLiteral("brak elementu return"));
            startValue(frame, Expectation{m_shared.result, nullptr, 0, 0, {}}, attributes);
            break;
        case Role::Request:
        case Role::Record: startProperty(owner, frame, name, attributes); break;
        case Role::Fault:
            if (name == "faultstring" || name == "faultcode")
                frame.role = Role::FaultText;
            break;
        default: break; // Skip, Header, AfterBody, Reference, FaultText: children ignored
        }
    }

    void startBodyChild(Frame &frame, std::string_view name, const XML_Char **attributes)
    {
        Shared &shared = m_shared;
        if (shared.mode != Shared::Mode::Request && name == kFaultName) {
            frame.role = Role::Fault;
            shared.sawFault = true;
            return;
        }
        if (shared.mode == Shared::Mode::Answer && name == shared.responseName) {
            if (shared.sawResponse)
                return failFrame(frame, QStringLiteral("powtórzony element odpowiedzi"));
            shared.sawResponse = true;
            frame.role = Role::Response;
            return;
        }
        if (const XML_Char *id = idOf(attributes)) {
            frame.isTarget = true;
            frame.id = id;
            auto [target, added] = shared.targets.try_emplace(frame.id);
            if (!added)
                return failFrame(frame, QStringLiteral("powtórzony identyfikator „%1”").arg(utf8(frame.id)));
            target->second.begin = frame.offset;
            const auto waiting = shared.pending.find(frame.id);
            if (waiting == shared.pending.end()) {
                frame.role = Role::Skip; // read when a reference asks for it
                return;
            }
            // Decoded now for the first reference; the others copy or re-read it.
            Expectation first = std::move(waiting->second.front());
            waiting->second.erase(waiting->second.begin());
            if (waiting->second.empty())
                shared.pending.erase(waiting);
            startValue(frame, first, attributes);
            return;
        }
        if (shared.mode == Shared::Mode::Answer) {
            const std::string_view expected = localOf(shared.responseName);
            return failFrame(
                frame,
                QStringLiteral("oczekiwano %1 w przestrzeni %2").arg(latin1(expected), SoapNames::kInterfaceNamespace));
        }
        if (shared.mode == Shared::Mode::Request && !shared.operation) {
            const std::size_t separator = name.find(kSeparator);
            const OperationInfo *operation = nullptr;
            if (separator != std::string_view::npos
                && latin1(name.substr(0, separator)) == SoapNames::kInterfaceNamespace)
                operation = FindOperation(name.substr(separator + 1));
            if (!operation)
                return failFrame(frame, QStringLiteral("nieznana operacja"));
            shared.operation = operation;
            bindRequest(*operation);
            frame.role = Role::Request;
            frame.record = &shared.requestRecord;
        }
    }

    void bindRequest(const OperationInfo &operation)
    {
        QList<SoapArgument> &arguments = *m_shared.arguments;
        arguments.clear();
        arguments.reserve(qsizetype(operation.parameters.size()));
        for (const ParameterInfo &parameter : operation.parameters) {
            if (parameter.type == ParameterType::Text)
                arguments.append(QString());
            else
                arguments.append(qint32(0));
        }
        SoapBinding::Record &record = m_shared.requestRecord;
        record.typeName = operation.name;
        record.ordered = true;
        record.properties.clear();
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            SoapArgument &argument = arguments[i];
            const std::string_view parameter = operation.parameters[std::size_t(i)].name;
            if (QString *text = std::get_if<QString>(&argument))
                record.properties.push_back({parameter, SoapBinding::SlotOf(*text)});
            else
                record.properties.push_back({parameter, SoapBinding::SlotOf(std::get<qint32>(argument))});
        }
    }

    void startProperty(Frame &owner, Frame &frame, std::string_view name, const XML_Char **attributes)
    {
        const SoapBinding::Record &record = *owner.record;
        const int count = int(record.properties.size());
        if (record.ordered) { // a request's parameters
            if (owner.next >= count)
                return failFrame(frame, QStringLiteral("nieoczekiwany parametr"));
            const SoapBinding::Property &property = record.properties[std::size_t(owner.next)];
            if (isQualified(name) || name != property.name)
                return failFrame(frame, QStringLiteral("oczekiwano parametru %1").arg(latin1(property.name)));
            ++owner.next;
            owner.seen |= quint64(1) << (owner.next - 1);
            startValue(frame, Expectation{property.slot, nullptr, 0, 0, {}}, attributes);
            return;
        }
        // Matched by name; the declared order is tried first.
        int index = -1;
        if (!isQualified(name)) {
            for (int step = 0; step < count; ++step) {
                const int candidate = (owner.next + step) % count;
                if (record.properties[std::size_t(candidate)].name == name) {
                    index = candidate;
                    break;
                }
            }
        }
        if (index < 0)
            return failFrame(frame, QStringLiteral("nieoczekiwany element w %1").arg(latin1(record.typeName)));
        const quint64 bit = quint64(1) << index;
        if (owner.seen & bit)
            return failFrame(
                frame,
                QStringLiteral("powtórzona właściwość %1").arg(latin1(record.properties[std::size_t(index)].name)));
        owner.seen |= bit;
        owner.next = index + 1;
        startValue(frame, Expectation{record.properties[std::size_t(index)].slot, nullptr, 0, 0, {}}, attributes);
    }

    void startItem(Frame &owner, Frame &frame, const XML_Char **attributes)
    {
        ++owner.items;
        if (owner.nil)
            return failFrame(owner, QStringLiteral("tablica nil z elementami"));
        if (owner.items > owner.announced)
            return; // counted, not kept: the count check at the end refuses
        startValue(frame, Expectation{Slot{itemKindOf(owner.slot.kind), nullptr}, nullptr, owner.itemIntType, 0, {}},
                   attributes, &owner);
    }

    // A value element: a reference, a scalar, an array or a record.
    void startValue(Frame &frame, const Expectation &expected, const XML_Char **attributes, Frame *array = nullptr)
    {
        // Most values of a long array carry no attributes: spare them the
        // clearing of a fresh attribute set.
        static const ValueAttributes kNone;
        if (!*attributes)
            return startValue(frame, expected, kNone, array);
        ValueAttributes value;
        if (!readValueAttributes(attributes, value))
            return;
        startValue(frame, expected, value, array);
    }

    void startValue(Frame &frame, const Expectation &expected, const ValueAttributes &value, Frame *array)
    {
        Slot slot = expected.slot;
        if (value.hasHref) {
            if (frame.isTarget)
                return failFrame(frame, QStringLiteral("odwołanie do odwołania"));
            frame.role = Role::Reference;
            if (array)
                slot.target = appendItem(*array);
            m_shared.pending[std::string(value.href)].push_back(
                Expectation{slot, nullptr, expected.intType, frame.offset, std::string(frame.name.View())});
            return;
        }
        frame.nil = value.nil;
        frame.slot = slot;
        frame.intType = expected.intType;
        if (isScalar(slot.kind)) {
            frame.role = Role::Scalar;
            if (value.hasType) {
                int intType = 0;
                if (!scalarTypeFits(slot.kind, value.typeNs, value.typeName, &intType))
                    return failFrame(
                        frame,
                        QStringLiteral("typ {%1}%2 zamiast %3")
                            .arg(utf8(value.typeUri), utf8(value.typeName), QLatin1StringView(scalarName(slot.kind))));
                frame.intType = intType;
            }
            if (array)
                frame.slot.target = nullptr; // appended at the end: the item's place
            return;
        }
        if (isArray(slot.kind))
            return startArray(frame, value);
        startRecord(frame, value);
    }

    void startArray(Frame &frame, const ValueAttributes &value)
    {
        frame.role = Role::Array;
        const std::string_view typeName = arrayTypeName(frame.slot.kind);
        if (value.nil) {
            clearArray(frame.slot);
            frame.announced = 0;
            return;
        }
        if (value.hasType) {
            // The integer array is registered in the service's namespace; the
            // others belong to the SOAP runtime, whose namespace varies.
            const bool named
                = value.typeName == typeName && (typeName != "TBoundArray" || value.typeNs == NsClass::Types);
            if (!named && !(value.typeNs == NsClass::Encoding && value.typeName == "Array"))
                return failFrame(frame,
                                 QStringLiteral("typ {%1}%2 zamiast tablicy %3")
                                     .arg(utf8(value.typeUri), utf8(value.typeName), latin1(typeName)));
        }
        if (!value.hasArrayType)
            return failFrame(frame, QStringLiteral("tablica bez atrybutu SOAP-ENC:arrayType"));
        const Kind itemKind = itemKindOf(frame.slot.kind);
        bool fits = value.itemNs == NsClass::Schema || value.itemNs == NsClass::Encoding;
        if (fits && value.itemName != "anyType" && value.itemName != "ur-type")
            fits = scalarTypeFits(itemKind, value.itemNs, value.itemName, &frame.itemIntType);
        if (!fits)
            return failFrame(
                frame,
                QStringLiteral("tablica elementów typu %1 zamiast %2").arg(utf8(value.itemName), latin1(typeName)));
        frame.announced = value.arrayCount;
        reserveArray(frame.slot, value.arrayCount);
    }

    void startRecord(Frame &frame, const ValueAttributes &value)
    {
        frame.role = Role::Record;
        frame.record = static_cast<const SoapBinding::Record *>(frame.slot.target);
        const std::string_view typeName = frame.record->typeName;
        if (value.nil)
            return failFrame(frame, QStringLiteral("brak rekordu %1 (nil)").arg(latin1(typeName)));
        if (value.hasType && !(value.typeNs == NsClass::Types && value.typeName == typeName))
            return failFrame(frame,
                             QStringLiteral("typ {%1}%2 zamiast %3")
                                 .arg(utf8(value.typeUri), utf8(value.typeName), latin1(typeName)));
    }

    template<typename T>
    static QList<T> &listOf(const Slot &slot)
    {
        return *static_cast<QList<T> *>(slot.target);
    }

    static void clearArray(const Slot &slot)
    {
        switch (slot.kind) {
        case Kind::IntArray: listOf<qint32>(slot) = {}; break;
        case Kind::TextArray: listOf<QString>(slot) = {}; break;
        case Kind::DoubleArray: listOf<double>(slot) = {}; break;
        default: listOf<bool>(slot) = {}; break;
        }
    }

    // Room for every announced item: references point into the list, so it
    // may not move while it fills.
    static void reserveArray(const Slot &slot, qint64 count)
    {
        clearArray(slot);
        switch (slot.kind) {
        case Kind::IntArray: listOf<qint32>(slot).reserve(count); break;
        case Kind::TextArray: listOf<QString>(slot).reserve(count); break;
        case Kind::DoubleArray: listOf<double>(slot).reserve(count); break;
        default: listOf<bool>(slot).reserve(count); break;
        }
    }

    // A default item at the end of the array; its address.
    static void *appendItem(Frame &array)
    {
        const Slot &slot = array.slot;
        switch (slot.kind) {
        case Kind::IntArray: return &listOf<qint32>(slot).emplaceBack();
        case Kind::TextArray: return &listOf<QString>(slot).emplaceBack();
        case Kind::DoubleArray: return &listOf<double>(slot).emplaceBack();
        default: return &listOf<bool>(slot).emplaceBack();
        }
    }

    void characters(std::string_view text)
    {
        if (m_error || m_depth <= 1)
            return; // blanks around the root
        const Frame &frame = m_frames[m_depth - 1];
        if (frame.hasChild) {
            if (!isBlank(text))
                failFrame(frame, QStringLiteral("element %1 miesza tekst z elementami").arg(utf8(frame.name.View())));
            return;
        }
        m_text.append(text);
    }

    void EndElement()
    {
        if (m_error)
            return;
        Frame &frame = m_frames[m_depth - 1];
        switch (frame.role) {
        case Role::Scalar: endScalar(frame); break;
        case Role::Array: endArray(frame); break;
        case Role::Record: endRecord(frame, QStringLiteral("brak właściwości %1")); break;
        case Role::Request: endRecord(frame, QStringLiteral("brak parametru %1")); break;
        case Role::Response:
            if (frame.items == 0)
                failFrame(frame, QStringLiteral("brak elementu return"));
            break;
        case Role::Reference:
            if (frame.hasChild || !isBlank(m_text))
                failFrame(frame, QStringLiteral("odwołanie z własną treścią"));
            break;
        case Role::FaultText: {
            auto &field = frame.name.View() == "faultstring" ? m_shared.faultString : m_shared.faultCode;
            if (!field)
                field = frame.hasChild ? QString() : utf8(m_text);
            break;
        }
        case Role::Envelope:
            if (!m_sawBody)
                fail(QStringLiteral("koperta SOAP bez elementu Body"));
            break;
        case Role::Body: endBody(frame); break;
        default: break;
        }
        if (frame.isTarget && !m_error)
            endTarget(frame);
        m_text.clear();
        --m_depth;
    }

    void endTarget(const Frame &frame)
    {
        Target &target = m_shared.targets[frame.id];
        if (target.end < 0)
            target.end = m_offsetBase + XML_GetCurrentByteIndex(m_parser) + XML_GetCurrentByteCount(m_parser);
        if (frame.role != Role::Skip && frame.role != Role::Reference)
            target.decoded[std::size_t(frame.slot.kind)] = frame.slot.target;
    }

    void endBody(const Frame &body)
    {
        if (m_shared.mode == Shared::Mode::Answer && !m_shared.sawResponse && !m_shared.sawFault) {
            if (!body.hasChild)
                return fail(QStringLiteral("pusty element Body"));
            failFrame(body,
                      QStringLiteral("oczekiwano %1 w przestrzeni %2")
                          .arg(latin1(localOf(m_shared.responseName)), SoapNames::kInterfaceNamespace));
        } else if (m_shared.mode == Shared::Mode::Request && !m_shared.operation) {
            fail(QStringLiteral("pusty element Body"));
        }
    }

    void endRecord(const Frame &frame, const QString &missing)
    {
        if (!frame.hasChild && !isBlank(m_text))
            return failFrame(frame, QStringLiteral("rekord %1 zawiera tekst").arg(latin1(frame.record->typeName)));
        const std::size_t count = frame.record->properties.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (!(frame.seen & (quint64(1) << i)))
                return failFrame(frame, missing.arg(latin1(frame.record->properties[i].name)));
        }
    }

    void endArray(const Frame &frame)
    {
        if (frame.nil)
            return;
        if (!frame.hasChild && !isBlank(m_text))
            return failFrame(frame, QStringLiteral("tablica zawiera tekst"));
        if (frame.items != frame.announced)
            failFrame(frame,
                      QStringLiteral("liczba elementów tablicy: zapowiedziana %1, faktyczna %2")
                          .arg(frame.announced)
                          .arg(frame.items));
    }

    void endScalar(Frame &frame)
    {
        const std::string_view text = m_text;
        Frame *array = m_depth >= 2 && m_frames[m_depth - 2].role == Role::Array ? &m_frames[m_depth - 2] : nullptr;
        void *target = frame.slot.target ? frame.slot.target : (array ? appendItem(*array) : nullptr);
        if (!target)
            return;
        switch (frame.slot.kind) {
        case Kind::Int: {
            qint64 value = 0;
            const IntType &type = kIntTypes[std::size_t(frame.intType)];
            if (frame.nil || !parseInt(text, value) || value < type.min || value > type.max)
                return failFrame(frame, QStringLiteral("niepoprawna liczba całkowita „%1”").arg(utf8(text)));
            *static_cast<qint32 *>(target) = qint32(value);
            break;
        }
        case Kind::Double: {
            const std::optional<double> value = frame.nil ? std::nullopt : LexDecimal(trimmed(text));
            if (!value)
                return failFrame(frame, QStringLiteral("niepoprawna liczba „%1”").arg(utf8(text)));
            *static_cast<double *>(target) = *value;
            break;
        }
        case Kind::Boolean: {
            bool value = false;
            if (frame.nil || !parseBoolean(text, value))
                return failFrame(frame, QStringLiteral("niepoprawna wartość logiczna „%1”").arg(utf8(text)));
            *static_cast<bool *>(target) = value;
            break;
        }
        default: *static_cast<QString *>(target) = frame.nil ? QString() : utf8(text); break;
        }
        frame.slot.target = target; // where a target's value now lives
    }

    Shared &m_shared;
    XML_Parser m_parser = nullptr;
    std::vector<Frame> m_frames;
    std::size_t m_depth = 0;
    std::vector<Scope> m_scopes;
    std::string m_text; // the open leaf's text
    std::optional<QString> m_error;
    int m_declarations = 0; // on the element about to start
    bool m_sawBody = false;
    qint64 m_offsetBase = 0; // input offset of the parser's byte 0
    Expectation m_forced; // a re-read element's destination
    bool m_rereading = false;
};

void copyValue(Kind kind, const void *from, void *to)
{
    switch (kind) {
    case Kind::Int: *static_cast<qint32 *>(to) = *static_cast<const qint32 *>(from); break;
    case Kind::Text: *static_cast<QString *>(to) = *static_cast<const QString *>(from); break;
    case Kind::Double: *static_cast<double *>(to) = *static_cast<const double *>(from); break;
    case Kind::Boolean: *static_cast<bool *>(to) = *static_cast<const bool *>(from); break;
    case Kind::IntArray: *static_cast<TBoundArray *>(to) = *static_cast<const TBoundArray *>(from); break;
    case Kind::TextArray: *static_cast<TStringDynArray *>(to) = *static_cast<const TStringDynArray *>(from); break;
    case Kind::DoubleArray: *static_cast<TDoubleDynArray *>(to) = *static_cast<const TDoubleDynArray *>(from); break;
    case Kind::BooleanArray: *static_cast<TBooleanDynArray *>(to) = *static_cast<const TBooleanDynArray *>(from); break;
    case Kind::Record: break; // only "return" holds a record
    }
}

// The whole read: the main pass, then the references that the pass could
// not serve on the way (the element came first, or another kind wanted it).
void read(Shared &shared, const QByteArray &xml, qsizetype maxSize)
{
    // Offsets and counts are 32-bit inside expat: far beyond any sane cap.
    if (xml.size() > maxSize || xml.size() > std::numeric_limits<int>::max() / 4)
        throw SoapReadError(QStringLiteral("komunikat ma %1 bajtów, dopuszczalne %2").arg(xml.size()).arg(maxSize));
    shared.input = &xml;
    {
        Pass pass(shared, nullptr);
        pass.runDocument();
    }
    if (shared.mode == Shared::Mode::Fault || (shared.sawFault && shared.mode == Shared::Mode::Answer))
        return;
    while (!shared.pending.empty()) {
        auto entry = shared.pending.begin();
        const std::string id = entry->first;
        std::vector<Expectation> expectations = std::move(entry->second);
        shared.pending.erase(entry);
        const auto found = shared.targets.find(id);
        if (found == shared.targets.end() || found->second.end < 0) {
            const Expectation &first = expectations.front();
            throw SoapReadError(shared.describe(first.offset, first.name)
                                + QStringLiteral(": odwołanie do nieistniejącego elementu #%1").arg(utf8(id)));
        }
        for (Expectation &expectation : expectations) {
            Target &target = shared.targets[id];
            const Kind kind = expectation.slot.kind;
            if (void *decoded = target.decoded[std::size_t(kind)]; decoded && kind != Kind::Record) {
                copyValue(kind, decoded, expectation.slot.target);
                continue;
            }
            Pass pass(shared, shared.encoding.empty() ? nullptr : shared.encoding.c_str());
            pass.runTarget(target, std::move(expectation));
        }
    }
}

std::optional<QString> faultText(const Shared &shared)
{
    QString detail = shared.faultString.value_or(QString());
    if (detail.isEmpty())
        detail = shared.faultCode.value_or(QString());
    return detail;
}

} // namespace

std::optional<QString> SoapReader::ReadAnswer(const QByteArray &xml, qsizetype maxSize, std::string_view responseName,
                                              SoapBinding::Slot result)
{
    Shared shared;
    shared.mode = Shared::Mode::Answer;
    shared.responseName = qualified(SoapNames::kInterfaceNamespace, responseName);
    shared.result = result;
    read(shared, xml, maxSize);
    if (shared.sawFault)
        return faultText(shared);
    return std::nullopt;
}

std::optional<QString> SoapReader::ReadFault(const QByteArray &xml, qsizetype maxSize)
{
    try {
        Shared shared;
        shared.mode = Shared::Mode::Fault;
        read(shared, xml, maxSize);
        if (shared.sawFault)
            return faultText(shared);
    } catch (const SoapReadError &) {
    }
    return std::nullopt;
}

const OperationInfo *SoapReader::ReadRequest(const QByteArray &xml, qsizetype maxSize, QList<SoapArgument> &arguments)
{
    Shared shared;
    shared.mode = Shared::Mode::Request;
    shared.arguments = &arguments;
    read(shared, xml, maxSize);
    return shared.operation;
}

#pragma once

#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SoapReadError.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

// One parameter value of a request: xsd:string or xsd:int.
using SoapArgument = std::variant<QString, qint32>;

// Where the reader puts what it decodes: a value of one of the wire types,
// or a record given by its properties. The reader writes straight into the
// caller's variables; nothing of the message is kept as a tree.
namespace SoapBinding {

enum class Kind : quint8 { Int, Text, Double, Boolean, IntArray, TextArray, DoubleArray, BooleanArray, Record };
inline constexpr int kKindCount = 9;

struct Record;

struct Slot
{
    Kind kind = Kind::Int;
    void *target = nullptr; // qint32, QString, ..., TBooleanDynArray or Record
};

struct Property
{
    std::string_view name;
    Slot slot;
};

// A record's properties. Answer records match their members by name (any
// order, each once, none missing); a request's parameters come in order.
struct Record
{
    std::string_view typeName;
    std::vector<Property> properties;
    bool ordered = false;
};

inline Slot SlotOf(qint32 &value)
{
    return {Kind::Int, &value};
}
inline Slot SlotOf(QString &value)
{
    return {Kind::Text, &value};
}
inline Slot SlotOf(double &value)
{
    return {Kind::Double, &value};
}
inline Slot SlotOf(bool &value)
{
    return {Kind::Boolean, &value};
}
inline Slot SlotOf(TBoundArray &value)
{
    return {Kind::IntArray, &value};
}
inline Slot SlotOf(TStringDynArray &value)
{
    return {Kind::TextArray, &value};
}
inline Slot SlotOf(TDoubleDynArray &value)
{
    return {Kind::DoubleArray, &value};
}
inline Slot SlotOf(TBooleanDynArray &value)
{
    return {Kind::BooleanArray, &value};
}
inline Slot SlotOf(Record &value)
{
    return {Kind::Record, &value};
}

// The properties of an answer record, bound to its members.
template<typename R>
Record Bind(R &record)
{
    Record binding{R::TypeName, {}, false};
    ForEachField<R>([&](const auto &field) {
        binding.properties.push_back({field.name, SlotOf(record.*(field.member))});
    });
    return binding;
}

} // namespace SoapBinding

// Reads one SOAP 1.1 message in a single streaming pass (expat, namespaces
// on) and decodes the values of SOAP section 5 encoding straight into their
// destinations: int, string, double and boolean scalars, SOAP-encoded arrays
// of them and records, inline or by href/id reference (multi-reference form)
// with the referenced elements anywhere among the Body's children. xsi:type
// and SOAP-ENC:arrayType values are resolved against the namespace
// declarations in scope; the 1999, 2000/10 and 2001 schema namespaces are
// accepted.
//
// Everything that does not fit throws SoapReadError: malformed XML, a DTD,
// a processing instruction, an input over the size cap, nesting, element,
// attribute or namespace-declaration counts beyond sane bounds, a wrong type,
// a missing, repeated or unknown property, an array whose count disagrees
// with its items, a dangling reference.
class SoapReader
{
public:
    SoapReader() = delete;

    // Bounds that no message of this service comes near.
    static constexpr int kMaxDepth = 24;
    static constexpr qint64 kMaxElements = 4'000'000;
    static constexpr qint64 kMaxArrayItems = 500'000;
    static constexpr int kMaxAttributes = 64;
    static constexpr int kMaxDeclarations = 16; // per element

    // Reads an answer: the Body's element named responseName in the interface
    // namespace, whose one unqualified child "return" goes to `result`.
    // Returns the fault text (faultstring, else faultcode) instead when the
    // Body holds a SOAP fault. Inputs larger than maxSize bytes are refused
    // before parsing.
    static std::optional<QString> ReadAnswer(const QByteArray &xml, qsizetype maxSize, std::string_view responseName,
                                             SoapBinding::Slot result);

    // The fault text when the message is a readable SOAP fault, else nothing.
    static std::optional<QString> ReadFault(const QByteArray &xml, qsizetype maxSize);

    // Reads a request: a known operation of the interface with exactly its
    // parameters, in order and of their types.
    static const OperationInfo *ReadRequest(const QByteArray &xml, qsizetype maxSize, QList<SoapArgument> &arguments);
};

#pragma once

#include <QLatin1StringView>

// The XML names of SOAP 1.1 with section 5 encoding, as the codec writes and
// accepts them.
namespace SoapNames {

inline constexpr QLatin1StringView kEnvelopeNamespace{"http://schemas.xmlsoap.org/soap/envelope/"};
inline constexpr QLatin1StringView kEncodingNamespace{"http://schemas.xmlsoap.org/soap/encoding/"};

// XML Schema and its instance namespace: written in the 2001 form, read in the
// 2001, 2000/10 and 1999 forms.
inline constexpr QLatin1StringView kSchemaNamespace{"http://www.w3.org/2001/XMLSchema"};
inline constexpr QLatin1StringView kInstanceNamespace{"http://www.w3.org/2001/XMLSchema-instance"};
inline constexpr QLatin1StringView kSchemaNamespace2000{"http://www.w3.org/2000/10/XMLSchema"};
inline constexpr QLatin1StringView kInstanceNamespace2000{"http://www.w3.org/2000/10/XMLSchema-instance"};
inline constexpr QLatin1StringView kSchemaNamespace1999{"http://www.w3.org/1999/XMLSchema"};
inline constexpr QLatin1StringView kInstanceNamespace1999{"http://www.w3.org/1999/XMLSchema-instance"};

inline constexpr QLatin1StringView kInterfaceNamespace{"urn:ZOKA_E_BOK-IZOKA_E_BOK"};
inline constexpr QLatin1StringView kTypesNamespace{"urn:RemSessionDataTypes"};

// The prefixes our messages declare on the envelope (and on the elements
// that use the service's two namespaces).
inline constexpr QLatin1StringView kEnvelopePrefix{"SOAP-ENV"};
inline constexpr QLatin1StringView kEncodingPrefix{"SOAP-ENC"};
inline constexpr QLatin1StringView kSchemaPrefix{"xsd"};
inline constexpr QLatin1StringView kInstancePrefix{"xsi"};
inline constexpr QLatin1StringView kInterfacePrefix{"NS1"};
inline constexpr QLatin1StringView kTypesPrefix{"NS2"};

// HTTP: the content type of requests and answers; the SOAP action is the
// interface namespace, "#" and the operation's name.
inline constexpr char kContentType[] = "text/xml; charset=\"utf-8\"";

inline bool IsSchemaNamespace(QStringView uri)
{
    return uri == kSchemaNamespace || uri == kSchemaNamespace2000 || uri == kSchemaNamespace1999;
}

inline bool IsInstanceNamespace(QStringView uri)
{
    return uri == kInstanceNamespace || uri == kInstanceNamespace2000 || uri == kInstanceNamespace1999;
}

} // namespace SoapNames

#include "ToolkitAnswer.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <random>
#include <string>
#include <vector>

namespace {

void appendEscaped(std::string &out, const QString &text)
{
    for (char c : text.toStdString()) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
}

// As a toolkit writes a double: 17 significant digits, a decimal point
// whatever the locale.
std::string number(double value)
{
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, written.ptr);
}

template<typename T>
std::string arrayBody(const char *itemType, const QList<T> &items)
{
    std::string out;
    for (const T &item : items) {
        out += "<item xsi:type=\"xsd:";
        out += itemType;
        out += "\">";
        if constexpr (std::is_same_v<T, QString>)
            appendEscaped(out, item);
        else if constexpr (std::is_same_v<T, double>)
            out += number(item);
        else
            out += std::to_string(item);
        out += "</item>";
    }
    return out;
}

} // namespace

QByteArray ToolkitLedgerAnswer(const TRemKartotekaMcaGetData &r, bool multiReference, unsigned seed)
{
    struct Array
    {
        const char *name;
        const char *itemType;
        qsizetype count;
        std::string items;
    };
    const std::vector<Array> arrays{
        {"KsgStrona", "int", r.KsgStrona.size(), arrayBody("int", r.KsgStrona)},
        {"KsgTypDok", "int", r.KsgTypDok.size(), arrayBody("int", r.KsgTypDok)},
        {"KsgID_Dok_Master", "int", r.KsgID_Dok_Master.size(), arrayBody("int", r.KsgID_Dok_Master)},
        {"KsgDataOperacji", "double", r.KsgDataOperacji.size(), arrayBody("double", r.KsgDataOperacji)},
        {"KsgDataOperRozrach", "double", r.KsgDataOperRozrach.size(), arrayBody("double", r.KsgDataOperRozrach)},
        {"KsgValue", "double", r.KsgValue.size(), arrayBody("double", r.KsgValue)},
        {"KsgTrescOper", "string", r.KsgTrescOper.size(), arrayBody("string", r.KsgTrescOper)},
        {"KsgNrDokMaster", "string", r.KsgNrDokMaster.size(), arrayBody("string", r.KsgNrDokMaster)},
    };
    auto arrayType = [](const Array &a) {
        return std::string(" SOAP-ENC:arrayType=\"xsd:") + a.itemType + "[" + std::to_string(a.count) + "]\"";
    };

    std::string scalars = "<RetCode xsi:type=\"xsd:int\">" + std::to_string(r.RetCode) + "</RetCode>"
        + "<RetCodeAsString xsi:type=\"xsd:string\">";
    appendEscaped(scalars, r.RetCodeAsString);
    scalars += "</RetCodeAsString>";
    for (const auto &[name, value] : {std::pair{"KontoKsg", r.KontoKsg}, std::pair{"Year", r.Year},
                                      std::pair{"Month", r.Month}, std::pair{"KsgNumber", r.KsgNumber}})
        scalars += std::string("<") + name + " xsi:type=\"xsd:int\">" + std::to_string(value) + "</" + name + ">";

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                      "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" "
                      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                      "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
                      "xmlns:NS1=\"urn:ZOKA_E_BOK-IZOKA_E_BOK\" xmlns:NS2=\"urn:RemSessionDataTypes\">"
                      "<SOAP-ENV:Body SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
                      "<NS1:ZOKA_WS_KartotekaMcaGetResponse>";
    if (!multiReference) {
        out += "<return xsi:type=\"NS2:TRemKartotekaMcaGetData\">" + scalars;
        for (const Array &a : arrays)
            out += std::string("<") + a.name + arrayType(a) + ">" + a.items + "</" + a.name + ">";
        out += "</return></NS1:ZOKA_WS_KartotekaMcaGetResponse>";
    } else {
        out += "<return href=\"#_1\"/></NS1:ZOKA_WS_KartotekaMcaGetResponse>";
        std::vector<std::string> siblings;
        std::string record = "<id id=\"_1\" xsi:type=\"NS2:TRemKartotekaMcaGetData\">" + scalars;
        for (std::size_t i = 0; i < arrays.size(); ++i)
            record += std::string("<") + arrays[i].name + " href=\"#_" + std::to_string(i + 2) + "\"/>";
        siblings.push_back(record + "</id>");
        for (std::size_t i = 0; i < arrays.size(); ++i)
            siblings.push_back("<id id=\"_" + std::to_string(i + 2) + "\"" + arrayType(arrays[i]) + ">"
                               + arrays[i].items + "</id>");
        std::shuffle(siblings.begin(), siblings.end(), std::mt19937(seed));
        for (const std::string &sibling : siblings)
            out += sibling;
    }
    out += "</SOAP-ENV:Body></SOAP-ENV:Envelope>\n";
    return QByteArray::fromStdString(out);
}

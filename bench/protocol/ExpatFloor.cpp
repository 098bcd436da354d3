#include "ExpatFloor.h"

#include <expat.h>

namespace {

struct Counts
{
    long long elements = 0;
    long long characters = 0;
};

void XMLCALL onStart(void *data, const XML_Char *, const XML_Char **)
{
    ++static_cast<Counts *>(data)->elements;
}

void XMLCALL onEnd(void *, const XML_Char *)
{
}

void XMLCALL onText(void *data, const XML_Char *, int length)
{
    static_cast<Counts *>(data)->characters += length;
}

} // namespace

long long ExpatTokenize(const QByteArray &message)
{
    XML_Parser parser = XML_ParserCreateNS(nullptr, '\x01');
    Counts counts;
    XML_SetUserData(parser, &counts);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onText);
    const bool ok = XML_Parse(parser, message.constData(), int(message.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return ok ? counts.elements : -1;
}

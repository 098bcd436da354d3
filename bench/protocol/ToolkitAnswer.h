#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <QByteArray>

// A month-ledger answer written the way a mature C++ SOAP toolkit writes it,
// not our writer's way: an xsi:type on every element, array items included;
// arrays with SOAP-ENC:arrayType but no xsi:type, items named "item"; doubles
// at 17 significant digits. Multi-reference puts the record and each array in
// an unqualified <id id="_N"> sibling after the response, in an order
// scrambled by `seed`.
QByteArray ToolkitLedgerAnswer(const TRemKartotekaMcaGetData &record, bool multiReference, unsigned seed = 1);

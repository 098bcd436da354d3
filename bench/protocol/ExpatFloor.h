#pragma once

#include <QByteArray>

// The floor of any expat-based reader: expat with namespaces on, reading the
// tokens of the message and nothing else (handlers that only count). The
// element count; -1 when the message is not well-formed.
long long ExpatTokenize(const QByteArray &message);

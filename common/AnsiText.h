#pragma once

#include <QList>
#include <QString>

// Narrow text: what the 8-bit Windows-1250 code page can carry. Texts typed by
// the user and texts kept from the service's answers are reduced to it, so that
// the server sees what it always saw; characters outside it become "?".
QString ToAnsiText(const QString &text);

// True when the character exists in the Windows-1250 code page.
bool IsAnsiCharacter(char32_t ch);

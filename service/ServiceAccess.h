#pragma once

#include <QString>

// "Serwis, niestety, nie jest dostępny.\nProszę sprawdzić połączenie z internetem\n i spróbować później."
QString ServiceUnavailableMessage();

// Shows ServiceUnavailableMessage in the information box; `detail` (for
// instance the reason a certificate was refused) goes into the box's detail.
void ShowServiceUnavailable(const QString &detail = {});

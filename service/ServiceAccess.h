#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <QString>

// The process-wide access point to the service: the main window hands over
// the interface of its connection; the call wrappers and the sign-in flow take
// it from here.

// Sets the interface (not owned); null when the connection can give none.
void SetServiceProxy(IZOKA_E_BOK *service);

// The interface set last, or null.
IZOKA_E_BOK *ServiceProxy();

// "Serwis, niestety, nie jest dostępny.\nProszę sprawdzić połączenie z internetem\n i spróbować później."
QString ServiceUnavailableMessage();

// Shows ServiceUnavailableMessage in the information box; `detail` (for
// instance the reason a certificate was refused) goes into the box's detail.
void ShowServiceUnavailable(const QString &detail = {});

// The check before a data query: the session must be active (an active
// session whose time is up becomes expired) and the connection must give an
// interface. On success `service` receives it; otherwise the user has been
// told why and the answer is false.
bool GetServiceInterface(IZOKA_E_BOK *&service);

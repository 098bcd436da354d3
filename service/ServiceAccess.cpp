#include "service/ServiceAccess.h"

#include "common/Messages.h"

QString ServiceUnavailableMessage()
{
    return QStringLiteral("Serwis, niestety, nie jest dostępny.\n"
                          "Proszę sprawdzić połączenie z internetem\n"
                          " i spróbować później.");
}

void ShowServiceUnavailable(const QString &detail)
{
    ShowInformationBox(ServiceUnavailableMessage(), detail);
}

#include "service/ServiceAccess.h"

#include "account/TU_WEBServiceSession.h"
#include "common/Messages.h"

namespace {
IZOKA_E_BOK *gServiceProxy = nullptr;
} // namespace

void SetServiceProxy(IZOKA_E_BOK *service)
{
    gServiceProxy = service;
}

IZOKA_E_BOK *ServiceProxy()
{
    return gServiceProxy;
}

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

bool GetServiceInterface(IZOKA_E_BOK *&service)
{
    if (!gU_WEBServiceSession.CheckActive())
        return false;
    IZOKA_E_BOK *proxy = ServiceProxy();
    if (!proxy) {
        ShowServiceUnavailable();
        return false;
    }
    service = proxy;
    return true;
}

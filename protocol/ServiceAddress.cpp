#include "protocol/ServiceAddress.h"

#include "protocol/IZOKA_E_BOK.h"

namespace {
QString &addressArgument()
{
    static QString argument;
    return argument;
}
} // namespace

void SetServerAddressArgument(const QString &argument)
{
    addressArgument() = argument;
}

QString ServerAddress()
{
    const QString &argument = addressArgument();
    return argument.isEmpty() ? QStringLiteral(DOMVEL_DEFAULT_SERVER) : argument;
}

QString ServiceURL()
{
    return QStringLiteral("https://") + ServerAddress()
        + QString::fromLatin1(kServicePath.data(), static_cast<qsizetype>(kServicePath.size()));
}

#include "service/DisplayTexts.h"

#include <array>

QString CategoryName(int index)
{
    static const std::array<QString, kCategoryCount> names{
        QStringLiteral("\"czynsze\""), QStringLiteral("\"czynsze - odsetki\""), QStringLiteral("\"woda\""),
        QStringLiteral("\"woda - odsetki\""), QStringLiteral("\"odpady\"")};
    if (index < 0 || index >= kCategoryCount)
        return {};
    return names[static_cast<std::size_t>(index)];
}

QString DocumentKindText(int kind)
{
    switch (kind) {
    case 1: return QStringLiteral("naliczenie opłaty");
    case 3: return QStringLiteral("wpłata bankowa");
    case 4: return QStringLiteral("wpłata kasa");
    case 5: return QStringLiteral("wpłata MOPS");
    default: return QStringLiteral("przeksięgowanie");
    }
}

QString FieldRequiredMessage(const QString &labelCaption)
{
    QString name = labelCaption.trimmed();
    while (!name.isEmpty() && (name.back() == u':' || name.back() == u' '))
        name.chop(1);
    name.remove(u'&');
    return QStringLiteral(" Pole «") + name
        + QStringLiteral("» musi być wypełnione.\n\n Proszę uzupełnić wprowadzone dane.");
}

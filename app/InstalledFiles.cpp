#include "app/InstalledFiles.h"

#include <QDir>
#include <QFileInfo>

namespace InstalledFiles {

QString DataFolder(const QString &applicationDir)
{
    return QDir::cleanPath(QDir(applicationDir).filePath(QStringLiteral(DOMVEL_DATA_FROM_BIN)));
}

QString CooperativeCaFile(const QString &applicationDir)
{
    const QString path = QDir(DataFolder(applicationDir)).filePath(QStringLiteral("cooperative-ca.pem"));
    return QFileInfo::exists(path) ? path : QString();
}

} // namespace InstalledFiles

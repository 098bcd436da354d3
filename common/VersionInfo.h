#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The seven values of a file's version block, in this order: FileVersion,
// CompanyName, FileDescription, LegalCopyRight, OriginalFileName, ProductName,
// ProductVersion. A value that cannot be read is empty; a file without a block
// gives seven empty strings.
QStringList ReadVersionInfo(const QString &fileName);

// The product version of the running program ("1.3.0.0" for this build).
QString ProgramProductVersion();

// Finds the first valid version block in `data` and returns the value of the
// key, or nothing when there is no block or no such key.
class VersionResource
{
public:
    static std::optional<VersionResource> Find(QByteArrayView data);
    std::optional<QString> Query(const QString &key) const;

private:
    QList<std::pair<QString, QString>> m_entries;
};

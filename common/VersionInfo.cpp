#include "common/VersionInfo.h"

#include "common/VersionBlock.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <functional>

namespace {

std::uint32_t getU32(const char *p)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// Splits a payload into its key/value pairs; nothing when it is malformed.
std::optional<QList<std::pair<QString, QString>>> parsePayload(QByteArrayView payload)
{
    QList<std::pair<QString, QString>> entries;
    qsizetype pos = 0;
    auto nextString = [&](QString &out) {
        const qsizetype end = payload.indexOf('\0', pos);
        if (end < 0)
            return false;
        out = QString::fromUtf8(payload.sliced(pos, end - pos));
        pos = end + 1;
        return true;
    };
    while (pos < payload.size()) {
        QString key, value;
        if (!nextString(key) || !nextString(value))
            return std::nullopt;
        entries.append({key, value});
    }
    return entries;
}

} // namespace

std::optional<VersionResource> VersionResource::Find(QByteArrayView data)
{
    using namespace VersionBlock;
    const std::string_view marker(kMarker.data(), kMarker.size());
    const std::boyer_moore_horspool_searcher searcher(marker.begin(), marker.end());
    const char *begin = data.data();
    const char *end = data.data() + data.size();
    for (const char *at = std::search(begin, end, searcher); at != end; at = std::search(at + 1, end, searcher)) {
        // The marker also stands in the reader's own constants: only a block
        // whose length and checksum agree counts.
        if (end - at < static_cast<std::ptrdiff_t>(kHeaderSize))
            break;
        const std::uint32_t size = getU32(at + kMarker.size());
        const std::uint32_t sum = getU32(at + kMarker.size() + 4);
        if (size > kMaxPayload || static_cast<std::size_t>(end - at) - kHeaderSize < size)
            continue;
        const char *payload = at + kHeaderSize;
        if (Checksum(payload, size) != sum)
            continue;
        if (auto entries = parsePayload(QByteArrayView(payload, size))) {
            VersionResource r;
            r.m_entries = std::move(*entries);
            return r;
        }
    }
    return std::nullopt;
}

std::optional<QString> VersionResource::Query(const QString &key) const
{
    for (const auto &[k, v] : m_entries)
        if (k == key)
            return v;
    return std::nullopt;
}

QStringList ReadVersionInfo(const QString &fileName)
{
    static const QStringList keys{QStringLiteral("FileVersion"),      QStringLiteral("CompanyName"),
                                  QStringLiteral("FileDescription"),  QStringLiteral("LegalCopyRight"),
                                  QStringLiteral("OriginalFileName"), QStringLiteral("ProductName"),
                                  QStringLiteral("ProductVersion")};
    QStringList values(keys.size());

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return values;
    // Mapped rather than read: executables are large and only the block matters.
    const uchar *mapped = file.map(0, file.size());
    QByteArray readBack;
    QByteArrayView data;
    if (mapped) {
        data = QByteArrayView(reinterpret_cast<const char *>(mapped), file.size());
    } else {
        readBack = file.readAll();
        data = readBack;
    }

    const std::optional<VersionResource> resource = VersionResource::Find(data);
    if (!resource || !resource->Query(QStringLiteral("\\")))
        return values;

    // Language and code page of the first translation, else US English / 1252.
    QString langCodePage = QStringLiteral("040904E4");
    if (const auto translation = resource->Query(QStringLiteral("\\VarFileInfo\\Translation"))) {
        bool ok = false;
        translation->toUInt(&ok, 16);
        if (ok && translation->size() == 8)
            langCodePage = translation->toUpper();
    }
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString path = QStringLiteral("\\StringFileInfo\\%1\\%2").arg(langCodePage, keys.at(i));
        values[i] = resource->Query(path).value_or(QString());
    }
    return values;
}

QString ProgramProductVersion()
{
    static const QString version = ReadVersionInfo(QCoreApplication::applicationFilePath()).value(6);
    return version;
}

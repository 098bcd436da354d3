#include "server/CertificateGenerator.h"

#include "common/Errors.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTimeoutMs = 30000;
}

void CertificateGenerator::Generate(const QString &certificatePath, const QString &keyPath)
{
    // Written under temporary names and renamed at the end, so a half-made
    // pair is never picked up by the next start.
    const QString certTemp = certificatePath + u".new"_s;
    const QString keyTemp = keyPath + u".new"_s;
    QFile::remove(certTemp);
    QFile::remove(keyTemp);

    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::MergedChannels);
    openssl.start(u"openssl"_s,
                  {u"req"_s, u"-x509"_s, u"-newkey"_s, u"ec"_s, u"-pkeyopt"_s, u"ec_paramgen_curve:prime256v1"_s,
                   u"-nodes"_s, u"-sha256"_s, u"-days"_s, u"730"_s, u"-subj"_s, u"/O=Domvel demo server/CN=localhost"_s,
                   u"-addext"_s, u"subjectAltName=DNS:localhost,IP:127.0.0.1"_s, u"-keyout"_s, keyTemp, u"-out"_s,
                   certTemp});
    const bool finished = openssl.waitForFinished(kTimeoutMs);
    const QString output = QString::fromLocal8Bit(openssl.readAll()).trimmed();
    if (!finished || openssl.exitStatus() != QProcess::NormalExit || openssl.exitCode() != 0
        || !QFileInfo::exists(certTemp) || !QFileInfo::exists(keyTemp)) {
        const QString why = openssl.error() == QProcess::FailedToStart
            ? u"Nie można uruchomić programu openssl."_s
            : u"Nie udało się wygenerować certyfikatu: %1"_s.arg(output);
        openssl.kill();
        openssl.waitForFinished(1000);
        QFile::remove(certTemp);
        QFile::remove(keyTemp);
        throw AppError(why);
    }
    QFile::setPermissions(keyTemp, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::remove(certificatePath);
    QFile::remove(keyPath);
    if (!QFile::rename(keyTemp, keyPath) || !QFile::rename(certTemp, certificatePath)) {
        QFile::remove(certTemp);
        QFile::remove(keyTemp);
        throw AppError(u"Nie można zapisać certyfikatu w %1."_s.arg(QFileInfo(certificatePath).absolutePath()));
    }
}

void CertificateGenerator::EnsureExists(const QString &certificatePath, const QString &keyPath)
{
    if (!QFileInfo::exists(certificatePath) || !QFileInfo::exists(keyPath))
        Generate(certificatePath, keyPath);
}

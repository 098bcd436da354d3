#include "service/TrustedCertificates.h"

#include <QFile>

namespace {

struct TrustState
{
    QList<QSslCertificate> added;
    int generation = 0;
};

TrustState &state()
{
    static TrustState trust;
    return trust;
}

} // namespace

QString TrustedCertificates::AddFromFile(const QString &pemFile)
{
    QFile file(pemFile);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Nie można odczytać pliku certyfikatu %1: %2").arg(pemFile, file.errorString());
    // A certificate file is a few kilobytes; refuse to slurp anything huge.
    constexpr qint64 kMaxPemSize = 4 * 1024 * 1024;
    if (file.size() > kMaxPemSize)
        return QStringLiteral("Plik certyfikatu %1 jest zbyt duży.").arg(pemFile);
    const QList<QSslCertificate> certificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (certificates.isEmpty())
        return QStringLiteral("Plik %1 nie zawiera certyfikatu w formacie PEM.").arg(pemFile);
    Add(certificates);
    return {};
}

void TrustedCertificates::Add(const QList<QSslCertificate> &certificates)
{
    state().added += certificates;
    ++state().generation;
}

void TrustedCertificates::Clear()
{
    state().added.clear();
    ++state().generation;
}

QSslConfiguration TrustedCertificates::Configuration()
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!state().added.isEmpty()) {
        // Setting the CA list explicitly ends the on-demand loading of the
        // system store: put the system certificates in the list as well.
        static const QList<QSslCertificate> system = QSslConfiguration::systemCaCertificates();
        configuration.setCaCertificates(system + state().added);
    }
    return configuration;
}

int TrustedCertificates::Generation()
{
    return state().generation;
}

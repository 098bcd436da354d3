#include "protocol/TrustedCertificates.h"

#include "common/Errors.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <future>

namespace {

struct TrustState
{
    QList<QSslCertificate> added;
    int generation = 0;
    // The system store, read once, when a connection first needs it beside
    // the added certificates. Reading and parsing it takes a tenth of a second
    // or more.
    std::shared_future<QList<QSslCertificate>> system;
};

TrustState &state()
{
    static TrustState trust;
    return trust;
}

// The system's trusted authorities. The distribution's single bundle file
// holds each of them once and reads in half the time of the certificate
// folder, where every certificate stands twice (by name and by hash).
QList<QSslCertificate> readSystemStore()
{
    static const char *const kBundles[] = {
        "/etc/ssl/certs/ca-certificates.crt", // Debian, Ubuntu
        "/etc/pki/tls/certs/ca-bundle.crt", // Fedora, RHEL
        "/etc/ssl/ca-bundle.pem", // openSUSE
    };
    for (const char *bundle : kBundles) {
        const QString path = QString::fromLatin1(bundle);
        if (!QFileInfo::exists(path))
            continue;
        const QList<QSslCertificate> certificates = QSslCertificate::fromPath(path);
        if (!certificates.isEmpty())
            return certificates;
    }
    return QSslConfiguration::systemCaCertificates();
}

void startReadingSystemStore()
{
    TrustState &s = state();
    if (s.system.valid())
        return;
    s.system = std::async(std::launch::async, readSystemStore).share();
    // The reading thread must be done before the application's globals go.
    qAddPostRoutine([] {
        if (state().system.valid())
            state().system.wait();
    });
}

} // namespace

void TrustedCertificates::AddFromFile(const QString &pemFile)
{
    Add(ReadFile(pemFile));
}

QList<QSslCertificate> TrustedCertificates::ReadFile(const QString &pemFile)
{
    QFile file(pemFile);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Nie można odczytać pliku certyfikatu %1: %2").arg(pemFile, file.errorString()));
    // A certificate file is a few kilobytes; refuse to slurp anything huge.
    constexpr qint64 kMaxPemSize = 4 * 1024 * 1024;
    if (file.size() > kMaxPemSize)
        throw AppError(QStringLiteral("Plik certyfikatu %1 jest zbyt duży.").arg(pemFile));
    const QList<QSslCertificate> certificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (certificates.isEmpty())
        throw AppError(QStringLiteral("Plik %1 nie zawiera certyfikatu w formacie PEM.").arg(pemFile));
    return certificates;
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

bool TrustedCertificates::HasAdded()
{
    return !state().added.isEmpty();
}

void TrustedCertificates::UseSystemStore(const std::optional<QList<QSslCertificate>> &certificates)
{
    TrustState &s = state();
    if (s.system.valid())
        s.system.wait();
    if (certificates) {
        std::promise<QList<QSslCertificate>> given;
        given.set_value(*certificates);
        s.system = given.get_future().share();
    } else {
        s.system = {};
    }
    ++s.generation;
}

QSslConfiguration TrustedCertificates::Configuration(Scope scope)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (state().added.isEmpty())
        return configuration;
    if (scope == Scope::AddedOnly) {
        configuration.setCaCertificates(state().added);
        return configuration;
    }
    // Setting the CA list explicitly ends the on-demand loading of the
    // system store (adding to it does too): put the system certificates in
    // the list as well.
    startReadingSystemStore();
    configuration.setCaCertificates(state().system.get() + state().added);
    return configuration;
}

int TrustedCertificates::Generation()
{
    return state().generation;
}

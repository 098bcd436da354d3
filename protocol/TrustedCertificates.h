#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QString>

#include <optional>

// The certificates that service connections trust: the system's store plus
// the CA certificates added from PEM files (--ca-cert: the demo server's, a
// cooperative's own authority). One set for the whole process.
class TrustedCertificates
{
public:
    TrustedCertificates() = delete;

    // Adds every certificate of a PEM file. A file that cannot be used (it is
    // unreadable, too large or holds no certificate) throws AppError with the
    // reason in Polish and adds nothing.
    static void AddFromFile(const QString &pemFile);
    // Only reads the certificates of a PEM file, with the same refusals. Any
    // thread may read: the first certificate read loads the TLS library.
    static QList<QSslCertificate> ReadFile(const QString &pemFile);
    static void Add(const QList<QSslCertificate> &certificates);
    // Back to the system store alone.
    static void Clear();
    // Stands in for the system's store (tests); nullopt goes back to it.
    static void UseSystemStore(const std::optional<QList<QSslCertificate>> &certificates);

    // The certificates a connection is checked against. AddedOnly holds the
    // added certificates alone: a server they vouch for is trusted by the
    // whole set as well, and the check needs no reading of the system store,
    // which costs more than the rest of start-up. Whole is the system store
    // plus the added certificates.
    enum class Scope { AddedOnly, Whole };

    // Whether certificates were added, i.e. whether AddedOnly narrows the set.
    static bool HasAdded();

    // The TLS configuration of a service call: peer verification against the
    // certificates of the scope. Without added certificates both scopes are
    // the system store, which the TLS library then reads on demand.
    static QSslConfiguration Configuration(Scope scope = Scope::Whole);

    // Changes whenever the set changes: a connection opened under another
    // generation must not be reused.
    static int Generation();
};

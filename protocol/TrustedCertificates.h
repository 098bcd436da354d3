#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QString>

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
    static void Add(const QList<QSslCertificate> &certificates);
    // Back to the system store alone.
    static void Clear();

    // The TLS configuration of a service call: peer verification against the
    // system store and the added certificates.
    static QSslConfiguration Configuration();

    // Changes whenever the set changes: a connection opened under another
    // generation must not be reused.
    static int Generation();
};

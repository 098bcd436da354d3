#pragma once

#include <QString>

// Makes the demo server's self-signed TLS certificate with the openssl
// command line: an EC P-256 key and a certificate for "localhost" with the
// subject alternative names DNS:localhost and IP:127.0.0.1, valid for two
// years. The client trusts it with --ca-cert.
class CertificateGenerator
{
public:
    // Writes both files (the key readable by the owner only). Nothing is left
    // at the paths when it fails; it then throws AppError saying why.
    static void Generate(const QString &certificatePath, const QString &keyPath);

    // Generates the pair unless both files exist already.
    static void EnsureExists(const QString &certificatePath, const QString &keyPath);
};

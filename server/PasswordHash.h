#pragma once

#include "common/SanitizedBuild.h"

#include <QByteArray>
#include <QString>

// Passwords are kept only as salted PBKDF2-HMAC-SHA256 digests, in one text
// of the form "pbkdf2-sha256$<iterations>$<salt base64>$<digest base64>",
// so a stored value says how it was made and old values stay readable when the
// iteration count is raised.
class PasswordHash
{
public:
    // A sanitized build unwinds the whole stack on every allocation, which
    // makes the digest's many rounds minutes long; it runs the same code at
    // the earlier count.
    static constexpr int kDefaultIterations = kSanitizedBuild ? 20000 : 600000;

    // What checking a password against a stored value found: whether it
    // matched and, for a match stored with fewer iterations than today's,
    // the same password stored anew with today's count.
    struct Outcome
    {
        bool match = false;
        QString upgraded;
    };

    // A new stored value with a fresh random 16-byte salt.
    static QString Make(const QString &password, int iterations = kDefaultIterations);

    // True when the password gives the stored digest. A malformed stored value
    // never matches.
    static bool Verify(const QString &password, const QString &stored);
    // Verify, plus the upgraded value where one is due. Slow: run it where
    // nothing waits on it.
    static Outcome Check(const QString &password, const QString &stored);
    // The iteration count of a stored value; 0 when it is malformed.
    static int IterationsOf(const QString &stored);

    // A stored value no password matches; checked against when the login is
    // unknown, so that an unknown login costs as much time as a known one.
    static const QString &DummyStored();

    // Compares in time that does not depend on where the texts differ.
    static bool ConstantTimeEquals(const QByteArray &a, const QByteArray &b);

private:
    static QByteArray derive(const QString &password, const QByteArray &salt, int iterations);
};

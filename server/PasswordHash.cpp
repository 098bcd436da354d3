#include "server/PasswordHash.h"

#include <QRandomGenerator>
#include <QStringList>
#include <openssl/evp.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSaltBytes = 16;
constexpr int kDigestBytes = 32;
constexpr auto kScheme = "pbkdf2-sha256"_L1;

} // namespace

QByteArray PasswordHash::derive(const QString &password, const QByteArray &salt, int iterations)
{
    // OpenSSL's PBKDF2 is several times faster than Qt's at the same count,
    // which is what lets the count follow current guidance.
    const QByteArray utf8 = password.toUtf8();
    QByteArray key(kDigestBytes, Qt::Uninitialized);
    if (PKCS5_PBKDF2_HMAC(utf8.constData(), int(utf8.size()), reinterpret_cast<const unsigned char *>(salt.constData()),
                          int(salt.size()), iterations, EVP_sha256(), kDigestBytes,
                          reinterpret_cast<unsigned char *>(key.data()))
        != 1)
        return {};
    return key;
}

QString PasswordHash::Make(const QString &password, int iterations)
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), kSaltBytes / 4);
    const QByteArray digest = derive(password, salt, iterations);
    return u"%1$%2$%3$%4"_s.arg(kScheme)
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(digest.toBase64()));
}

bool PasswordHash::Verify(const QString &password, const QString &stored)
{
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1 || iterations > 10'000'000)
        return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray expected = QByteArray::fromBase64(parts[3].toLatin1());
    if (salt.isEmpty() || expected.size() != kDigestBytes)
        return false;
    return ConstantTimeEquals(derive(password, salt, iterations), expected);
}

PasswordHash::Outcome PasswordHash::Check(const QString &password, const QString &stored)
{
    Outcome outcome;
    outcome.match = Verify(password, stored);
    if (outcome.match && IterationsOf(stored) < kDefaultIterations)
        outcome.upgraded = Make(password);
    return outcome;
}

int PasswordHash::IterationsOf(const QString &stored)
{
    const QStringList parts = stored.split(u'$');
    return parts.size() == 4 && parts[0] == kScheme ? parts[1].toInt() : 0;
}

const QString &PasswordHash::DummyStored()
{
    static const QString dummy = Make(QString::number(QRandomGenerator::system()->generate64()));
    return dummy;
}

bool PasswordHash::ConstantTimeEquals(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

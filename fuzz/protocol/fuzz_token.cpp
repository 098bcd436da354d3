// Feeds arbitrary text to the session token parser, as delivered (decoded
// first, as at login) and as already decoded, under both decimal separators.
// Run: fuzz_token -max_total_time=60 fuzz/session/corpus_token

#include "protocol/CredentialEncoding.h"
#include "protocol/SessionToken.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    for (const QChar separator : {QChar(u','), QChar(u'.')}) {
        for (const QString &decoded : {text, DecodeSessionToken(text)}) {
            const std::optional<double> date = ParseSessionToken(decoded, separator);
            // An accepted token has a first field and a finite date.
            if (date && (!std::isfinite(*date) || decoded.indexOf(u';') < 1))
                __builtin_trap();
        }
    }

    // The rotations are exact inverses and keep the length.
    const QString token = EncodeSessionToken(text);
    if (token.size() != text.size() || DecodeSessionToken(token) != text)
        __builtin_trap();
    if (DecodeCredential(EncodeCredential(text)) != text)
        __builtin_trap();
    return 0;
}

#pragma once

#include <QString>

// The character rotation shared with the client: credentials arrive encoded
// with it, and session tokens leave encoded with it. The amounts are the build
// constants DOMVEL_LETTER_ROTATION and DOMVEL_DIGIT_ROTATION, so both sides
// agree as long as they are built together.
//
// A stand-in for the client's EncodeCredential/DecodeCredential/RotateText:
// once those are in the core library, these functions forward to them.
class CredentialRotation
{
public:
    // Rotates A-Z, a-z and 0-9 within their ranges; a positive amount moves a
    // character backward (B -> A), a negative one forward. Every other
    // character is copied unchanged.
    static QString Rotate(const QString &text, int upper, int lower, int digit);

    // What the client does to an identifier or password before sending it.
    static QString Encode(const QString &plain);
    // The inverse of Encode: the identifier or password as typed.
    static QString Decode(const QString &encoded);

    // The opaque form of a session token; the client turns it back with
    // DecodeToken's rotation (letters and digits forward).
    static QString EncodeToken(const QString &plain);
    static QString DecodeToken(const QString &encoded);
};

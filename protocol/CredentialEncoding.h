#pragma once

#include <QString>

// The credential encoding: the user identifier and the passwords travel and
// are kept only in this form. The demo server decodes with the same routines.

// Rotates every A-Z character within A-Z by `upper`, every a-z within a-z by
// `lower` and every digit within 0-9 by `digit`; anything else (spaces,
// punctuation, letters with diacritics) is copied. A negative amount moves
// forward (A towards Z, 0 towards 9), a positive one backward, wrapping at the
// ends of the range. The length never changes.
QString RotateText(const QString &text, int upper, int lower, int digit);

// Letters forward by DOMVEL_LETTER_ROTATION, digits backward by
// DOMVEL_DIGIT_ROTATION (both constants of the build).
QString EncodeCredential(const QString &text);

// The inverse of EncodeCredential: DecodeCredential(EncodeCredential(t)) == t.
QString DecodeCredential(const QString &text);

#pragma once

#include <QString>

// The client's password rule for a new password.

inline constexpr int kMinPasswordLength = 6;
inline constexpr int kMaxPasswordLength = 16;

// True when the (trimmed, narrow) text has 6 to 16 characters and at least one
// a-z, one A-Z and one digit 0-9. Only ASCII letters and digits count; other
// characters are allowed but count for nothing.
bool IsStrongPassword(const QString &text);

// The refusal shown for a weak new password; it names the minimum length.
QString WeakPasswordMessage();

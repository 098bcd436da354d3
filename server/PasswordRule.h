#pragma once

#include <QString>

// The password rule the client applies before it sends a new password; the
// server applies it again, since a request need not come from our client:
// 6 to 16 characters with at least one ASCII lower-case letter, one ASCII
// upper-case letter and one digit. Other characters are allowed and count for
// nothing.
class PasswordRule
{
public:
    static constexpr int kMinLength = 6;
    static constexpr int kMaxLength = 16;

    static bool IsStrong(const QString &password);

    // The refusal text the server sends back.
    static QString WeakPasswordText();
};

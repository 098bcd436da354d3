#pragma once

#include <QString>

#include <exception>

// The program's error: a handler refuses input or reports a failure by throwing
// one, and the outer error display shows its message to the user.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) { }
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// An array index outside the array: aborts the view or report that needed it.
class IndexError : public AppError
{
public:
    IndexError(qsizetype index, qsizetype size);
};

// Unwinds the current operation without any message (Cancel in a question).
class SilentAbort : public std::exception
{
public:
    const char *what() const noexcept override { return "silent abort"; }
};

// Bounds-checked read of any indexable container: throws IndexError instead of
// reading past the end.
template<typename Container>
decltype(auto) CheckedAt(const Container &c, qsizetype index)
{
    if (index < 0 || index >= static_cast<qsizetype>(c.size()))
        throw IndexError(index, static_cast<qsizetype>(c.size()));
    return c[index];
}

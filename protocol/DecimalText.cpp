#include "protocol/DecimalText.h"

#include <QByteArray>

#include <cmath>
#include <limits>

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

} // namespace

std::optional<double> ParseDecimalText(const QString &text, QChar decimalSeparator)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == u' ')
        ++i;
    while (end > i && text[end - 1] == u' ')
        --end;

    // Rewritten in the C form that the conversion below understands.
    QByteArray plain;
    plain.reserve(end - i + 2);
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        plain += static_cast<char>(text[i++].unicode());
    qsizetype mantissaDigits = 0;
    for (; i < end && isDigit(text[i]); ++i, ++mantissaDigits)
        plain += static_cast<char>(text[i].unicode());
    if (i < end && text[i] == decimalSeparator) {
        ++i;
        plain += '.';
        for (; i < end && isDigit(text[i]); ++i, ++mantissaDigits)
            plain += static_cast<char>(text[i].unicode());
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        plain += 'e';
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            plain += static_cast<char>(text[i++].unicode());
        qsizetype exponentDigits = 0;
        for (; i < end && isDigit(text[i]); ++i, ++exponentDigits)
            plain += static_cast<char>(text[i].unicode());
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint32> ParseWholeNumber(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

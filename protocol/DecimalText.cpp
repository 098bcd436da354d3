#include "protocol/DecimalText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The most digits whose value a double holds exactly, and the powers of ten
// a fraction of that many digits divides by (every one exact as well).
constexpr std::size_t kExactDigits = 15;
constexpr std::array<double, kExactDigits + 1> kExactPowersOfTen{1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

} // namespace

std::optional<double> LexDecimal(std::string_view text)
{
    std::size_t i = 0;
    const std::size_t end = text.size();
    std::size_t numberStart = 0;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '+')
            numberStart = 1; // from_chars takes no plus sign
        ++i;
    }
    const bool negative = i > 0 && text[0] == '-';
    std::size_t mantissaDigits = 0;
    std::size_t fractionDigits = 0;
    quint64 mantissa = 0; // exact while mantissaDigits <= 19
    for (; i < end && isDigit(text[i]); ++i, ++mantissaDigits)
        mantissa = mantissa * 10 + quint64(text[i] - '0');
    if (i < end && text[i] == '.') {
        ++i;
        for (; i < end && isDigit(text[i]); ++i, ++mantissaDigits, ++fractionDigits)
            mantissa = mantissa * 10 + quint64(text[i] - '0');
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    // The common amount or date: at most 15 digits (the fraction's included),
    // so the digits and the power of ten are exact doubles. One division of
    // two exact doubles is then correctly rounded (IEEE 754), the same value
    // the full conversion gives.
    if (i == end && mantissaDigits <= kExactDigits) {
        const double value = double(mantissa) / kExactPowersOfTen[fractionDigits];
        return negative ? -value : value;
    }
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::size_t exponentDigits = 0;
        for (; i < end && isDigit(text[i]); ++i)
            ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    // A "+-" start was refused above: the sign loop takes one sign only.
    double value = 0;
    const char *first = text.data() + numberStart;
    const char *last = text.data() + end;
    const auto [stop, error] = std::from_chars(first, last, value);
    if (error != std::errc() || stop != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ParseDecimalText(const QString &text, QChar decimalSeparator)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == u' ')
        ++i;
    while (end > i && text[end - 1] == u' ')
        --end;
    std::string plain;
    plain.reserve(std::size_t(end - i));
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c == u'.' || c == u',' || c == decimalSeparator)
            plain += '.';
        else if (c.unicode() < 0x80)
            plain += char(c.unicode());
        else
            return std::nullopt;
    }
    return LexDecimal(plain);
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

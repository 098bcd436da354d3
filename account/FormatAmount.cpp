#include "account/FormatAmount.h"

#include "common/TLocale_Class.h"

#include <cmath>

namespace {

constexpr int kSignificantDigits = 15;
constexpr int kDecimals = 2;

// Adds one unit to the last digit of a decimal digit string, carrying left.
void incrementDigits(QString &digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return;
        }
        digits[i] = u'0';
    }
    digits.prepend(u'1');
}

} // namespace

QString FormatAmount(double value, const QLocale &locale)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    // d.dddddddddddddde±x: the 15 significant digits and the decimal exponent.
    const QString scientific = QString::number(std::fabs(value), 'e', kSignificantDigits - 1);
    const qsizetype e = scientific.indexOf(u'e');
    const QString digits = scientific.left(e).remove(u'.');
    const int integerDigits = scientific.mid(e + 1).toInt() + 1;

    QString integerPart;
    QString fraction;
    if (integerDigits <= 0) {
        integerPart = QStringLiteral("0");
        fraction = QString(-integerDigits, u'0') + digits;
    } else if (integerDigits >= digits.size()) {
        integerPart = digits + QString(integerDigits - digits.size(), u'0');
    } else {
        integerPart = digits.left(integerDigits);
        fraction = digits.mid(integerDigits);
    }
    fraction = fraction.leftJustified(kDecimals + 1, u'0');

    // Round half away from zero on the decimal digits, not on the binary value.
    QString units = integerPart + fraction.left(kDecimals);
    if (fraction[kDecimals] >= u'5')
        incrementDigits(units);

    qsizetype firstNonZero = 0;
    while (firstNonZero < units.size() - kDecimals - 1 && units[firstNonZero] == u'0')
        ++firstNonZero;
    units = units.mid(firstNonZero);
    const bool isZero = units.count(u'0') == units.size();

    const QString whole = units.left(units.size() - kDecimals);
    const QString group = locale.groupSeparator();
    QString out;
    out.reserve(whole.size() * 2 + 8);
    if (value < 0 && !isZero)
        out += locale.negativeSign();
    for (qsizetype i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            out += group;
        out += whole[i];
    }
    out += locale.decimalPoint();
    out += units.right(kDecimals);
    return out;
}

QString FormatAmount(double value)
{
    return FormatAmount(value, gLocale.Locale());
}

#include "engine/ReportFont.h"

#include "engine/ReportUnits.h"

#include <QHashFunctions>

#include <algorithm>
#include <cmath>

ReportFont::ReportFont(QString family, double pointSize, bool bold, bool italic)
    : m_family(std::move(family)), m_bold(bold), m_italic(italic)
{
    setPointSize(pointSize);
}

ReportFont ReportFont::fromDesignPixels(QString family, int pixels, bool bold, bool italic)
{
    return ReportFont(std::move(family), pixels * 72.0 / ReportUnits::DesignDpi, bold, italic);
}

ReportFont &ReportFont::setFamily(QString family)
{
    m_family = std::move(family);
    return *this;
}

ReportFont &ReportFont::setPointSize(double points)
{
    // NaN would survive std::clamp; treat it as the smallest size.
    const double centi = std::isfinite(points) ? points * 100.0 : 0.0;
    m_centiPoints = static_cast<int>(std::lround(std::clamp(centi, double(MinCentiPoints), double(MaxCentiPoints))));
    return *this;
}

ReportFont &ReportFont::setCentiPoints(int centiPoints)
{
    m_centiPoints = std::clamp(centiPoints, MinCentiPoints, MaxCentiPoints);
    return *this;
}

QString ReportFont::printableFamily() const
{
    const QString name = m_family.trimmed();
    if (name.compare(u"Arial", Qt::CaseInsensitive) == 0 || name.compare(u"Helvetica", Qt::CaseInsensitive) == 0
        || name.compare(u"MS Sans Serif", Qt::CaseInsensitive) == 0
        || name.compare(u"Tahoma", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    if (name.compare(u"Courier New", Qt::CaseInsensitive) == 0 || name.compare(u"Courier", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Mono");
    if (name.compare(u"Times New Roman", Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Serif");
    return name;
}

int ReportFont::layoutPixelSize() const
{
    return std::max(1, static_cast<int>(std::lround(m_centiPoints / 100.0 * ReportUnits::PerPoint)));
}

QFont ReportFont::layoutFont() const
{
    QFont font(printableFamily());
    font.setPixelSize(layoutPixelSize());
    font.setBold(m_bold);
    font.setItalic(m_italic);
    font.setUnderline(m_underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

size_t qHash(const ReportFont &font, size_t seed) noexcept
{
    const int style = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0);
    return qHashMulti(seed, font.family(), font.centiPoints(), style);
}

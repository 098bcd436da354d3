#pragma once

#include <QFont>
#include <QString>

// A font of a report as the designer names it: family, size in points and
// style. The size is kept in hundredths of a point so that a font read back
// from a print file compares equal to the one that was written.
class ReportFont
{
public:
    ReportFont() = default;
    ReportFont(QString family, double pointSize, bool bold = false, bool italic = false);

    // A font whose height is given in pixels of the report designer's
    // resolution (115 per inch), as old report designs state it.
    static ReportFont fromDesignPixels(QString family, int pixels, bool bold = false, bool italic = false);

    const QString &family() const { return m_family; }
    ReportFont &setFamily(QString family);

    double pointSize() const { return m_centiPoints / 100.0; }
    int centiPoints() const { return m_centiPoints; }
    // Sizes are kept between 1 and 200 points.
    ReportFont &setPointSize(double points);
    ReportFont &setCentiPoints(int centiPoints);

    bool bold() const { return m_bold; }
    ReportFont &setBold(bool on)
    {
        m_bold = on;
        return *this;
    }
    bool italic() const { return m_italic; }
    ReportFont &setItalic(bool on)
    {
        m_italic = on;
        return *this;
    }
    bool underline() const { return m_underline; }
    ReportFont &setUnderline(bool on)
    {
        m_underline = on;
        return *this;
    }

    static constexpr int MinCentiPoints = 100;
    static constexpr int MaxCentiPoints = 20000;

    // The installed family that prints this font: Arial and the old sans serif
    // screen fonts become Liberation Sans, Courier New becomes Liberation Mono
    // (same advance widths); other names are used as they are.
    QString printableFamily() const;

    // The font to measure and paint with, sized in engine units (hundredths of a
    // millimetre) instead of points: text laid out with it in a painter whose
    // unit is the engine unit has the same width on every device, because the
    // size never passes through a device resolution. Hinting is off so advances
    // are the outline's.
    QFont layoutFont() const;

    // The layout font's pixel size in engine units.
    int layoutPixelSize() const;

    friend bool operator==(const ReportFont &, const ReportFont &) = default;

private:
    QString m_family = QStringLiteral("Arial");
    int m_centiPoints = 1000;
    bool m_bold = false;
    bool m_italic = false;
    bool m_underline = false;
};

size_t qHash(const ReportFont &font, size_t seed = 0) noexcept;

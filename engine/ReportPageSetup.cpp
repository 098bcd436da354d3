#include "engine/ReportPageSetup.h"

#include "engine/ReportUnits.h"

#include <algorithm>

void ReportPageSetup::setPaperSizeTenths(int width, int length)
{
    m_paperWidth = std::min(width, length);
    m_paperLength = std::max(width, length);
}

void ReportPageSetup::setMarginsTenths(int top, int bottom, int left, int right)
{
    m_top = std::max(0, top);
    m_bottom = std::max(0, bottom);
    m_left = std::max(0, left);
    m_right = std::max(0, right);
}

int ReportPageSetup::pageWidth() const
{
    const int tenths = m_orientation == Orientation::Portrait ? m_paperWidth : m_paperLength;
    return ReportUnits::FromTenthsOfMillimetre(tenths);
}

int ReportPageSetup::pageHeight() const
{
    const int tenths = m_orientation == Orientation::Portrait ? m_paperLength : m_paperWidth;
    return ReportUnits::FromTenthsOfMillimetre(tenths);
}

int ReportPageSetup::printableLeft() const
{
    return ReportUnits::FromTenthsOfMillimetre(m_left);
}

int ReportPageSetup::printableTop() const
{
    return ReportUnits::FromTenthsOfMillimetre(m_top);
}

int ReportPageSetup::printableWidth() const
{
    return pageWidth() - ReportUnits::FromTenthsOfMillimetre(m_left + m_right);
}

int ReportPageSetup::printableHeight() const
{
    return pageHeight() - ReportUnits::FromTenthsOfMillimetre(m_top + m_bottom);
}

bool ReportPageSetup::isUsable() const
{
    constexpr int minSide = 100; // tenths: 1 cm
    constexpr int maxSide = 10000; // tenths: 1 m
    return m_paperWidth >= minSide && m_paperLength <= maxSide && printableWidth() > 0 && printableHeight() > 0;
}

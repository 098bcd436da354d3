#include "reports/engine/ReportLabel.h"

#include "reports/engine/ReportUnits.h"

#include <algorithm>

ReportLabel::ReportLabel(QString name, ReportFont font)
    : m_name(std::move(name)), m_font(std::move(font))
{
}

ReportLabel &ReportLabel::setCaption(QString caption)
{
    m_caption = std::move(caption);
    return *this;
}

ReportLabel &ReportLabel::setGeometryMm(double leftMm, double topMm, double widthMm, double heightMm)
{
    setLeftMm(leftMm);
    setTopMm(topMm);
    setWidthMm(widthMm);
    return setHeightMm(heightMm);
}

ReportLabel &ReportLabel::setLeftMm(double mm)
{
    m_left = ReportUnits::FromMillimetres(mm);
    return *this;
}

ReportLabel &ReportLabel::setTopMm(double mm)
{
    m_top = ReportUnits::FromMillimetres(mm);
    return *this;
}

ReportLabel &ReportLabel::setWidthMm(double mm)
{
    m_width = std::max(0, ReportUnits::FromMillimetres(mm));
    return *this;
}

ReportLabel &ReportLabel::setHeightMm(double mm)
{
    m_height = std::max(0, ReportUnits::FromMillimetres(mm));
    return *this;
}

ReportLabel &ReportLabel::setRightEdgeMm(double mm)
{
    m_left = ReportUnits::FromMillimetres(mm) - m_width;
    return *this;
}

int ReportLabel::anchoredLeft(int textWidth) const
{
    switch (m_alignment) {
    case TextAlignment::Right: return m_left + m_width - textWidth;
    case TextAlignment::Center: return m_left + (m_width - textWidth) / 2;
    case TextAlignment::Left: break;
    }
    return m_left;
}

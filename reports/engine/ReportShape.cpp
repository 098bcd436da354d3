#include "reports/engine/ReportShape.h"

#include "reports/engine/ReportUnits.h"

#include <algorithm>

ReportShape::ReportShape(QString name, Kind kind) : m_name(std::move(name)), m_kind(kind)
{
}

ReportShape &ReportShape::setGeometryMm(double leftMm, double topMm, double widthMm, double heightMm)
{
    setLeftMm(leftMm);
    setTopMm(topMm);
    setWidthMm(widthMm);
    return setHeightMm(heightMm);
}

ReportShape &ReportShape::setLeftMm(double mm)
{
    m_left = ReportUnits::FromMillimetres(mm);
    return *this;
}

ReportShape &ReportShape::setTopMm(double mm)
{
    m_top = ReportUnits::FromMillimetres(mm);
    return *this;
}

ReportShape &ReportShape::setWidthMm(double mm)
{
    return setWidth(ReportUnits::FromMillimetres(mm));
}

ReportShape &ReportShape::setHeightMm(double mm)
{
    m_height = std::max(0, ReportUnits::FromMillimetres(mm));
    return *this;
}

ReportShape &ReportShape::setWidth(int units)
{
    m_width = std::max(0, units);
    return *this;
}

ReportShape &ReportShape::setPenWidth(int designPixels)
{
    m_penWidth = std::clamp(designPixels, 0, 100);
    return *this;
}

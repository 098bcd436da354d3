#include "engine/ReportShape.h"

ReportShape::ReportShape(QString name, Kind kind) : ReportElement(std::move(name)), m_kind(kind)
{
}

ReportShape &ReportShape::setPenWidth(int designPixels)
{
    m_penWidth = std::clamp(designPixels, 0, 100);
    return *this;
}

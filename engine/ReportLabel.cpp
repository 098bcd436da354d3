#include "engine/ReportLabel.h"

ReportLabel::ReportLabel(QString name, ReportFont font) : ReportElement(std::move(name)), m_font(std::move(font))
{
}

ReportLabel &ReportLabel::setCaption(QString caption)
{
    m_caption = std::move(caption);
    return *this;
}

int ReportLabel::anchoredLeft(int textWidth) const
{
    switch (m_alignment) {
    case TextAlignment::Right: return left() + width() - textWidth;
    case TextAlignment::Center: return left() + (width() - textWidth) / 2;
    case TextAlignment::Left: break;
    }
    return left();
}

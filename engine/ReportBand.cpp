#include "engine/ReportBand.h"

#include "engine/BandedReport.h"
#include "engine/ReportEngineError.h"
#include "engine/ReportUnits.h"

#include <algorithm>

ReportBand::ReportBand(const BandedReport &report, BandKind kind, QString name, double heightMm, ReportBand *parent)
    : m_report(report), m_kind(kind), m_name(std::move(name)), m_parent(parent)
{
    setHeightMm(heightMm);
}

ReportBand &ReportBand::setHeightMm(double mm)
{
    m_height = std::max(0, ReportUnits::FromMillimetres(mm));
    return *this;
}

int ReportBand::width() const
{
    return m_report.pageSetup().printableWidth();
}

ReportLabel &ReportBand::addLabel(const QString &name, double leftMm, double topMm, double widthMm, double heightMm)
{
    ReportLabel &label = m_labels.emplace_back(name, m_report.font());
    label.setGeometryMm(leftMm, topMm, widthMm, heightMm);
    label.setAutoSize(widthMm <= 0);
    return label;
}

ReportShape &ReportBand::addHorizontalLine(const QString &name, double leftMm, double topMm, double widthMm,
                                           int penWidth)
{
    return m_shapes.emplace_back(name, ReportShape::Kind::HorizontalLine)
        .setGeometryMm(leftMm, topMm, widthMm, 0)
        .setPenWidth(penWidth);
}

ReportShape &ReportBand::addVerticalLine(const QString &name, double leftMm, double topMm, double heightMm,
                                         int penWidth)
{
    return m_shapes.emplace_back(name, ReportShape::Kind::VerticalLine)
        .setGeometryMm(leftMm, topMm, 0, heightMm)
        .setPenWidth(penWidth);
}

ReportShape &ReportBand::addRectangle(const QString &name, double leftMm, double topMm, double widthMm, double heightMm,
                                      int penWidth)
{
    return m_shapes.emplace_back(name, ReportShape::Kind::Rectangle)
        .setGeometryMm(leftMm, topMm, widthMm, heightMm)
        .setPenWidth(penWidth);
}

ReportLabel &ReportBand::label(const QString &name)
{
    const auto it
        = std::find_if(m_labels.begin(), m_labels.end(), [&](const ReportLabel &l) { return l.name() == name; });
    if (it == m_labels.end())
        throw ReportEngineError::named(ReportEngineError::Kind::UnknownLabel, name, m_name);
    return *it;
}

ReportShape &ReportBand::shape(const QString &name)
{
    const auto it
        = std::find_if(m_shapes.begin(), m_shapes.end(), [&](const ReportShape &s) { return s.name() == name; });
    if (it == m_shapes.end())
        throw ReportEngineError::named(ReportEngineError::Kind::UnknownShape, name, m_name);
    return *it;
}

bool ReportBand::runBeforePrint()
{
    bool print = true;
    if (m_beforePrint)
        m_beforePrint(*this, print);
    return print;
}

void ReportBand::runAfterPrint()
{
    if (m_afterPrint)
        m_afterPrint(*this);
}

#pragma once

#include "engine/ReportUnits.h"

#include <QString>

#include <algorithm>

// What labels and shapes share: a name, a box on the band and an enabled
// switch. Setters take millimetres from the band's top left corner and return
// the element itself (Derived) so that they chain; getters return engine
// units (hundredths of a millimetre).
template<typename Derived>
class ReportElement
{
public:
    const QString &name() const { return m_name; }

    int left() const { return m_left; }
    int top() const { return m_top; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    Derived &setGeometryMm(double leftMm, double topMm, double widthMm, double heightMm)
    {
        setLeftMm(leftMm);
        setTopMm(topMm);
        setWidthMm(widthMm);
        return setHeightMm(heightMm);
    }
    Derived &setLeftMm(double mm)
    {
        m_left = ReportUnits::FromMillimetres(mm);
        return self();
    }
    Derived &setTopMm(double mm)
    {
        m_top = ReportUnits::FromMillimetres(mm);
        return self();
    }
    Derived &setWidthMm(double mm) { return setWidth(ReportUnits::FromMillimetres(mm)); }
    Derived &setHeightMm(double mm)
    {
        m_height = std::max(0, ReportUnits::FromMillimetres(mm));
        return self();
    }
    // Width in engine units, e.g. a line widened to its band: setWidth(band.width()).
    Derived &setWidth(int units)
    {
        m_width = std::max(0, units);
        return self();
    }
    // Moves the element so that its right edge (left + width) lies at mm.
    Derived &setRightEdgeMm(double mm)
    {
        m_left = ReportUnits::FromMillimetres(mm) - m_width;
        return self();
    }

    // A disabled element is not printed.
    bool isEnabled() const { return m_enabled; }
    Derived &setEnabled(bool on)
    {
        m_enabled = on;
        return self();
    }

protected:
    explicit ReportElement(QString name) : m_name(std::move(name)) { }

private:
    Derived &self() { return static_cast<Derived &>(*this); }

    QString m_name;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_enabled = true;
};

#pragma once

// Paper and margins of a report, in tenths of a millimetre as the report
// designer gives them; the page geometry getters answer in engine units
// (hundredths of a millimetre). The default is A4 portrait with margins of
// 20 mm at the top and bottom, 25 mm at the left and 20 mm at the right.
class ReportPageSetup
{
public:
    enum class Orientation { Portrait, Landscape };

    // Paper size as held upright: width is the shorter side.
    int paperWidthTenths() const { return m_paperWidth; }
    int paperLengthTenths() const { return m_paperLength; }
    void setPaperSizeTenths(int width, int length);
    void setA4() { setPaperSizeTenths(2100, 2970); }

    Orientation orientation() const { return m_orientation; }
    void setOrientation(Orientation orientation) { m_orientation = orientation; }

    int topMarginTenths() const { return m_top; }
    int bottomMarginTenths() const { return m_bottom; }
    int leftMarginTenths() const { return m_left; }
    int rightMarginTenths() const { return m_right; }
    void setMarginsTenths(int top, int bottom, int left, int right);

    // The page as printed (orientation applied), in engine units.
    int pageWidth() const;
    int pageHeight() const;
    int printableLeft() const;
    int printableTop() const;
    int printableWidth() const;
    int printableHeight() const;
    int printableBottom() const { return printableTop() + printableHeight(); }

    // A page of at least 1 cm by 1 cm whose margins leave some room.
    bool isUsable() const;

private:
    int m_paperWidth = 2100;
    int m_paperLength = 2970;
    Orientation m_orientation = Orientation::Portrait;
    int m_top = 200;
    int m_bottom = 200;
    int m_left = 250;
    int m_right = 200;
};

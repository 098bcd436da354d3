#pragma once

#include "engine/ReportLabel.h"
#include "engine/ReportShape.h"

#include <QColor>
#include <QString>

#include <deque>
#include <functional>
#include <vector>

class BandedReport;

enum class BandKind { Title, PageHeader, ColumnHeader, Detail, Child, Summary, PageFooter };

// A horizontal strip of a report page, as wide as the printable width, that
// holds labels and shapes. Bands are created by their report
// (BandedReport::addBand, addChildBand) and live as long as it; references to
// bands, labels and shapes stay valid for that whole time.
class ReportBand
{
public:
    // Called just before the band is placed; clearing printBand leaves the band
    // (and its child bands) out this time.
    using BeforePrintHandler = std::function<void(ReportBand &band, bool &printBand)>;
    // Called right after the band was placed on a page.
    using AfterPrintHandler = std::function<void(ReportBand &band)>;

    struct Frame
    {
        bool left = false;
        bool top = false;
        bool right = false;
        bool bottom = false;
        QColor color = Qt::black;
        int penWidth = 1; // design pixels
        static Frame all(int penWidth = 1) { return {true, true, true, true, Qt::black, penWidth}; }
        bool any() const { return left || top || right || bottom; }
    };

    ReportBand(const BandedReport &report, BandKind kind, QString name, double heightMm, ReportBand *parent);
    ReportBand(const ReportBand &) = delete;
    ReportBand &operator=(const ReportBand &) = delete;

    BandKind kind() const { return m_kind; }
    const QString &name() const { return m_name; }

    // Height in engine units; a band never grows with its contents.
    int height() const { return m_height; }
    ReportBand &setHeightMm(double mm);
    // The printable width of the report's page, in engine units.
    int width() const;

    // The band a child band follows; null for the other kinds.
    ReportBand *parent() const { return m_parent; }
    const std::vector<ReportBand *> &children() const { return m_children; }

    // Invalid (the default): no background is painted.
    const QColor &backgroundColor() const { return m_background; }
    ReportBand &setBackgroundColor(QColor color)
    {
        m_background = color;
        return *this;
    }
    const Frame &frame() const { return m_frame; }
    ReportBand &setFrame(Frame frame)
    {
        m_frame = frame;
        return *this;
    }

    // A disabled band is never printed, nor are its child bands.
    bool isEnabled() const { return m_enabled; }
    ReportBand &setEnabled(bool on)
    {
        m_enabled = on;
        return *this;
    }

    // A label in the report's font; widthMm 0 makes it text-sized, heightMm 0
    // one line high.
    ReportLabel &addLabel(const QString &name, double leftMm, double topMm, double widthMm = 0, double heightMm = 0);
    ReportShape &addHorizontalLine(const QString &name, double leftMm, double topMm, double widthMm, int penWidth = 1);
    ReportShape &addVerticalLine(const QString &name, double leftMm, double topMm, double heightMm, int penWidth = 1);
    ReportShape &addRectangle(const QString &name, double leftMm, double topMm, double widthMm, double heightMm,
                              int penWidth = 1);

    // Lookup by name; a missing name is a fault of the report's code (ReportEngineError).
    ReportLabel &label(const QString &name);
    ReportShape &shape(const QString &name);

    const std::deque<ReportLabel> &labels() const { return m_labels; }
    const std::deque<ReportShape> &shapes() const { return m_shapes; }

    void setOnBeforePrint(BeforePrintHandler handler) { m_beforePrint = std::move(handler); }
    void setOnAfterPrint(AfterPrintHandler handler) { m_afterPrint = std::move(handler); }

    // For the generator: runs the before-print handler and answers whether the
    // band prints; runs the after-print handler.
    bool runBeforePrint();
    void runAfterPrint();

private:
    friend class BandedReport;

    const BandedReport &m_report;
    BandKind m_kind;
    QString m_name;
    int m_height = 0;
    ReportBand *m_parent = nullptr;
    std::vector<ReportBand *> m_children;
    QColor m_background;
    Frame m_frame;
    bool m_enabled = true;
    std::deque<ReportLabel> m_labels;
    std::deque<ReportShape> m_shapes;
    BeforePrintHandler m_beforePrint;
    AfterPrintHandler m_afterPrint;
};

#pragma once

#include "reports/engine/ReportFont.h"
#include "reports/engine/ReportPage.h"
#include "reports/engine/ReportPrinterSettings.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTransform>
#include <QString>

#include <vector>

class BandedReport;
class ExportFilter;
class QPagedPaintDevice;
class QPainter;

// The generated pages of one report run, or the pages loaded from a print
// file. Pages are plain items (see ReportPage); one painting path serves
// screen, printer and PDF. A store made by a report remembers that report:
// exporting it runs the report again (with the exporting flag set) while the
// report still exists; loaded pages are exported as they are.
class PageStore : public QObject
{
    Q_OBJECT

public:
    enum class Status { Generating, Finished };

    explicit PageStore(QObject *parent = nullptr);
    ~PageStore() override;

    const QString &title() const { return m_title; }
    void setTitle(QString title) { m_title = std::move(title); }

    int pageCount() const { return int(m_pages.size()); }
    // Bounds-checked (IndexError).
    const ReportPage &page(int index) const;
    const std::vector<ReportPage> &pages() const { return m_pages; }

    const std::vector<ReportFont> &fonts() const { return m_fonts; }
    const ReportFont &font(int index) const;
    // The font's index in the font table, added when new.
    quint16 fontIndex(const ReportFont &font);

    Status status() const { return m_status; }
    bool isFinished() const { return m_status == Status::Finished; }
    // True when the generation was stopped before the report was complete.
    bool wasCancelled() const { return m_cancelled; }

    const ReportPrinterSettings &printerSettings() const { return m_printer; }
    void setPrinterSettings(const ReportPrinterSettings &settings) { m_printer = settings; }

    // The report that generated the pages, while it exists; null for loaded pages.
    BandedReport *sourceReport() const;

    // Asks a running generation to stop; the pages made so far stay.
    void cancel();
    // Removes every page (stopping a running generation first); the store is
    // then finished and empty.
    void clear();

    // Paints page index (0-based) in engine units: the caller's painter maps a
    // hundredth of a millimetre to the device (see pageTransform).
    void paintPage(int index, QPainter &painter) const;
    // The transform that maps engine units onto a device of the given
    // resolution, with the paper's corner at origin (device pixels).
    static QTransform pageTransform(qreal dpiX, qreal dpiY, QPointF origin = {});

    // Prints pages firstPage..lastPage (1-based, 0 = first/last) on a printer or
    // PDF writer, each on a sheet of its own size. Throws ReportEngineError when the
    // store is empty, the range holds no page or the device refuses to start.
    void print(QPagedPaintDevice &device, int firstPage = 0, int lastPage = 0) const;

    // Writes the pages as a print file, atomically: a failed save leaves any
    // earlier file as it was. Throws ReportEngineError.
    void save(const QString &fileName) const;
    // Replaces the pages with those of a print file. Anything this program did
    // not write, or that was damaged since, is rejected with a ReportEngineError and the
    // store keeps its pages.
    void load(const QString &fileName);
    QByteArray toPrintFile() const;
    void loadPrintFile(const QByteArray &bytes);

    // Exports through the filter; see the class comment.
    void exportTo(ExportFilter &filter) const;

    // For the report that fills the store.
    void beginGeneration(BandedReport *source, int expectedPages);
    void appendPage(ReportPage page);
    void finishGeneration(bool cancelled);

Q_SIGNALS:
    // A page was added; pageCount is the new count.
    void pageAdded(int pageCount);
    // Estimated share of the generation done, 0 to 100.
    void progressChanged(int percent);
    void statusChanged(PageStore::Status status);
    // The pages were cleared or replaced by a load.
    void pagesReplaced();
    // cancel() was called while generating: the generating report stops.
    void cancelRequested();

private:
    void setProgress(int percent);

    QString m_title;
    std::vector<ReportPage> m_pages;
    std::vector<ReportFont> m_fonts;
    QHash<ReportFont, quint16> m_fontIndex;
    mutable std::vector<QFont> m_paintFonts;
    Status m_status = Status::Finished;
    bool m_cancelled = false;
    int m_expectedPages = 0;
    int m_progress = 100;
    ReportPrinterSettings m_printer;
    QPointer<BandedReport> m_source;
};

#pragma once

#include "engine/ReportBand.h"
#include "engine/ReportFont.h"
#include "engine/ReportPageSetup.h"
#include "engine/ReportPrinterSettings.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

class ExportFilter;
class PageStore;
class QPagedPaintDevice;
class QTimer;
class ReportGenerator;

// A banded report: page setup, bands with their labels and shapes, and the
// events through which the program fills them while the report runs.
//
// A run fires, in order: the report's before-print event; then, for every
// detail row, the need-data event (answer true when a row was supplied) and
// the detail band's events; the other bands' before- and after-print events
// as they are placed (see ReportGenerator for the page order). The first
// need-data call comes before the first page's headings, so that a report
// without rows can leave out every page (print-if-empty off). During a run,
// pageNumber() tells the page being filled, isExporting() whether the run
// feeds an export, and in the page footer's events isLastPage() whether this
// is the report's last page (known exactly, no preparation pass needed).
//
// Runs: prepare() counts pages without producing any; generate() makes all
// pages at once; preview() hands a new page store to the preview hook and
// fills it in slices from the event loop, so the window paints while a long
// report runs; print() and exportTo() run the report again for their output.
// One run at a time: a new run stops an unfinished preview run.
class BandedReport : public QObject
{
    Q_OBJECT

public:
    // A run that goes past either limit stops with a ReportEngineError.
    static constexpr int MaxPages = 100000;
    static constexpr int MaxRows = 10000000;

    using BeforePrintHandler = std::function<void()>;
    using NeedDataHandler = std::function<bool()>;
    using PreviewHandler = std::function<void(const std::shared_ptr<PageStore> &pages)>;
    // An error of a run in the background (a preview's later pages): no
    // exception may cross the event loop, so it is handed here.
    using ErrorHandler = std::function<void(std::exception_ptr error)>;

    explicit BandedReport(QObject *parent = nullptr);
    ~BandedReport() override;

    ReportPageSetup &pageSetup() { return m_pageSetup; }
    const ReportPageSetup &pageSetup() const { return m_pageSetup; }

    // The font that labels take when they are added. Default Arial 10 pt.
    const ReportFont &font() const { return m_font; }
    void setFont(ReportFont font) { m_font = std::move(font); }

    const QString &title() const { return m_title; }
    void setTitle(QString title) { m_title = std::move(title); }

    // Whether a run without detail rows still makes a page (title, column
    // header, summary, footer). Default true.
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool on) { m_printIfEmpty = on; }
    // Default true for both.
    bool pageHeaderOnFirstPage() const { return m_pageHeaderOnFirstPage; }
    void setPageHeaderOnFirstPage(bool on) { m_pageHeaderOnFirstPage = on; }
    bool pageFooterOnLastPage() const { return m_pageFooterOnLastPage; }
    void setPageFooterOnLastPage(bool on) { m_pageFooterOnLastPage = on; }

    ReportPrinterSettings &printerSettings() { return m_printer; }
    const ReportPrinterSettings &printerSettings() const { return m_printer; }

    // One band of each kind except Child (ReportEngineError on a second one).
    ReportBand &addBand(BandKind kind, const QString &name, double heightMm);
    // A band printed right after its parent each time the parent prints.
    ReportBand &addChildBand(ReportBand &parent, const QString &name, double heightMm);
    ReportBand *band(BandKind kind) const;

    void setOnBeforePrint(BeforePrintHandler handler) { m_onBeforePrint = std::move(handler); }
    void setOnNeedData(NeedDataHandler handler) { m_onNeedData = std::move(handler); }
    void setOnPreview(PreviewHandler handler) { m_onPreview = std::move(handler); }
    void setOnError(ErrorHandler handler) { m_onError = std::move(handler); }

    bool isRunning() const { return m_run != nullptr; }
    bool isExporting() const { return m_run && m_exporting; }
    bool isPreparing() const { return m_run && m_preparing; }
    int pageNumber() const;
    bool isLastPage() const;
    // Pages counted by the last prepare(); 0 before the first.
    int preparedPageCount() const { return m_preparedPageCount; }

    // Runs the report without producing pages; returns the page count.
    int prepare();
    // Runs the report to its end; the returned store is finished.
    std::shared_ptr<PageStore> generate();
    // Starts a run into a new store, gives it to the preview hook and returns
    // it; the pages follow from the event loop. Errors of a later slice go to
    // the error handler (setOnError) and end the run.
    std::shared_ptr<PageStore> preview();
    // Generates the pages and paints printerSettings()' page range on device.
    void print(QPagedPaintDevice &device);
    // Runs the report with the exporting flag set and exports its pages.
    void exportTo(ExportFilter &filter);
    // Stops an unfinished preview run; its store keeps the pages made so far.
    void cancel();

private:
    friend class ReportGenerator;
    enum class RunKind { Prepare, Generate, Preview, Export };

    void runBeforePrint();
    bool runNeedData();

    void beginRun(const std::shared_ptr<PageStore> &store, RunKind kind);
    bool stepRun(QDeadlineTimer deadline, int maxPages);
    void stopRun(bool cancelled);
    std::shared_ptr<PageStore> runToEnd(RunKind kind);
    void runSlice();

    ReportPageSetup m_pageSetup;
    ReportFont m_font{QStringLiteral("Arial"), 10};
    QString m_title;
    bool m_printIfEmpty = true;
    bool m_pageHeaderOnFirstPage = true;
    bool m_pageFooterOnLastPage = true;
    ReportPrinterSettings m_printer;

    std::vector<std::unique_ptr<ReportBand>> m_bands;
    std::array<ReportBand *, 7> m_bandByKind{};

    BeforePrintHandler m_onBeforePrint;
    NeedDataHandler m_onNeedData;
    PreviewHandler m_onPreview;
    ErrorHandler m_onError;

    std::unique_ptr<ReportGenerator> m_run;
    std::shared_ptr<PageStore> m_runStore;
    QTimer *m_sliceTimer = nullptr;
    bool m_exporting = false;
    bool m_preparing = false;
    bool m_stepping = false;
    bool m_cancelPending = false;
    int m_preparedPageCount = 0;
};

#pragma once

#include "engine/PrintFileCodec.h"
#include "engine/ReportFont.h"
#include "engine/ReportPage.h"
#include "engine/ReportPrinterSettings.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <vector>

class BandedReport;

// The pages of one report run, or the pages loaded from a print file: plain
// items (see ReportPage) with their font table, and the generation's progress.
// A store made by a report remembers that report, for a later export (see
// PageExport). PagePainter paints the pages, PrintFile saves and loads them.
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
    // Bounds-checked: ReportEngineError NoSuchPage, UnknownFont.
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

    // Replaces the pages with those read from a print file (see PrintFile),
    // stopping a running generation first; the store is then finished.
    void replaceContent(PrintFileContent content);

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
    Status m_status = Status::Finished;
    bool m_cancelled = false;
    int m_expectedPages = 0;
    int m_progress = 100;
    ReportPrinterSettings m_printer;
    QPointer<BandedReport> m_source;
};

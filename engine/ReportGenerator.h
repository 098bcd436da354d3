#pragma once

#include "engine/BandRenderer.h"
#include "engine/ReportPage.h"

#include <QDeadlineTimer>

#include <memory>
#include <optional>

class BandedReport;
class PageStore;
class ReportBand;

// Lays out one run of a banded report page by page. Plain logic, no window:
// the report's events fire in order, bands go onto pages, and every finished
// page is handed to the page store (or only counted when there is none, as in
// a preparation pass).
//
// Page order: page header (the first page only if the report asks for it),
// title band (first page only), column header band with its child bands, then
// the detail band with its children once per row the need-data event
// supplies, the summary band after the last row, and the page footer band at
// the foot of each page. A band that does not fit above the footer starts a
// new page, unless nothing but page headings stands on the page yet (then it
// is placed anyway, so a band taller than the page cannot loop). Work per row
// is constant, so a run is linear in the number of rows.
class ReportGenerator
{
public:
    // store may be null: the run then only counts pages.
    ReportGenerator(BandedReport &report, PageStore *store);
    ~ReportGenerator();

    // Runs until the report is complete, the deadline has passed or maxPages
    // more pages were finished. Returns true when the report is complete.
    // Errors of the report's event handlers propagate.
    bool step(QDeadlineTimer deadline = QDeadlineTimer::Forever, int maxPages = -1);

    bool isComplete() const { return m_phase == Phase::Done; }
    // The page being filled (1 for the first), or the last page once complete.
    int pageNumber() const { return m_pageNumber; }
    // True while the last page is being finished (its page footer prints) and after.
    bool isLastPage() const { return m_lastPage; }
    int finishedPages() const { return m_finishedPages; }
    int rowCount() const { return m_rows; }

private:
    enum class Phase { Start, Rows, Summary, Done };

    void ensurePage();
    void startPage();
    void finishPage(bool last);
    // Places the band and then its child bands, breaking the page if needed.
    void placeBand(ReportBand &band);
    void putBand(ReportBand &band, int y);
    int bodyBottom() const;

    BandedReport &m_report;
    PageStore *m_store;
    std::unique_ptr<BandRenderer> m_renderer;
    Phase m_phase = Phase::Start;
    ReportPage m_page;
    bool m_pageOpen = false;
    bool m_inPageHeadings = false;
    bool m_lastPage = false;
    int m_pageNumber = 0;
    int m_finishedPages = 0;
    int m_rows = 0;
    int m_y = 0;
    int m_bodyStart = 0;
};

#include "engine/ReportGenerator.h"

#include "engine/BandedReport.h"
#include "engine/PageStore.h"
#include "engine/ReportBand.h"
#include "engine/ReportEngineError.h"

ReportGenerator::ReportGenerator(BandedReport &report, PageStore *store) : m_report(report), m_store(store)
{
    if (m_store)
        m_renderer = std::make_unique<BandRenderer>(*m_store);
}

ReportGenerator::~ReportGenerator() = default;

bool ReportGenerator::step(QDeadlineTimer deadline, int maxPages)
{
    const int pagesBefore = m_finishedPages;
    while (m_phase != Phase::Done) {
        switch (m_phase) {
        case Phase::Start:
            if (!m_report.pageSetup().isUsable())
                throw ReportEngineError(ReportEngineError::Kind::UnusablePageSetup);
            m_report.runBeforePrint();
            m_phase = Phase::Rows;
            break;
        case Phase::Rows:
            if (!m_report.runNeedData()) {
                m_phase = Phase::Summary;
                break;
            }
            // A need-data handler that never says "no more" must not hang the
            // program, also when its rows print nothing.
            if (++m_rows > BandedReport::MaxRows)
                throw ReportEngineError::number(ReportEngineError::Kind::TooManyRows, BandedReport::MaxRows);
            ensurePage();
            if (ReportBand *detail = m_report.band(BandKind::Detail))
                placeBand(*detail);
            break;
        case Phase::Summary:
            if (m_rows > 0 || m_report.printIfEmpty()) {
                ensurePage();
                if (ReportBand *summary = m_report.band(BandKind::Summary))
                    placeBand(*summary);
                finishPage(true);
            }
            m_phase = Phase::Done;
            break;
        case Phase::Done: break;
        }
        if (deadline.hasExpired() || (maxPages >= 0 && m_finishedPages - pagesBefore >= maxPages))
            break;
    }
    return m_phase == Phase::Done;
}

void ReportGenerator::ensurePage()
{
    if (!m_pageOpen)
        startPage();
}

int ReportGenerator::bodyBottom() const
{
    const ReportBand *footer = m_report.band(BandKind::PageFooter);
    const int bottom = m_report.pageSetup().printableBottom();
    return footer && footer->isEnabled() ? bottom - footer->height() : bottom;
}

void ReportGenerator::startPage()
{
    if (m_pageNumber >= BandedReport::MaxPages)
        throw ReportEngineError::number(ReportEngineError::Kind::TooManyPages, BandedReport::MaxPages);
    const ReportPageSetup &setup = m_report.pageSetup();
    ++m_pageNumber;
    m_pageOpen = true;
    m_page = ReportPage{};
    m_page.width = setup.pageWidth();
    m_page.height = setup.pageHeight();
    m_y = setup.printableTop();

    m_inPageHeadings = true;
    ReportBand *pageHeader = m_report.band(BandKind::PageHeader);
    if (pageHeader && (m_pageNumber > 1 || m_report.pageHeaderOnFirstPage()))
        placeBand(*pageHeader);
    if (ReportBand *title = m_report.band(BandKind::Title); title && m_pageNumber == 1)
        placeBand(*title);
    if (ReportBand *columnHeader = m_report.band(BandKind::ColumnHeader))
        placeBand(*columnHeader);
    m_inPageHeadings = false;
    m_bodyStart = m_y;
}

void ReportGenerator::finishPage(bool last)
{
    m_lastPage = last;
    ReportBand *footer = m_report.band(BandKind::PageFooter);
    if (footer && footer->isEnabled() && (!last || m_report.pageFooterOnLastPage()) && footer->runBeforePrint()) {
        putBand(*footer, m_report.pageSetup().printableBottom() - footer->height());
        footer->runAfterPrint();
    }
    m_pageOpen = false;
    ++m_finishedPages;
    if (m_store)
        m_store->appendPage(std::move(m_page));
    m_page = ReportPage{};
}

void ReportGenerator::placeBand(ReportBand &band)
{
    if (!band.isEnabled() || !band.runBeforePrint())
        return;
    if (!m_inPageHeadings && m_y + band.height() > bodyBottom() && m_y > m_bodyStart) {
        finishPage(false);
        startPage();
    }
    putBand(band, m_y);
    m_y += band.height();
    band.runAfterPrint();
    for (ReportBand *child : band.children())
        placeBand(*child);
}

void ReportGenerator::putBand(ReportBand &band, int y)
{
    if (m_renderer)
        m_renderer->render(band, m_report.pageSetup().printableLeft(), y, m_page);
}

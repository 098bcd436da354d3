#include "engine/BandedReport.h"

#include "engine/ExportFilter.h"
#include "engine/PagePainter.h"
#include "engine/PageStore.h"
#include "engine/ReportEngineError.h"
#include "engine/ReportGenerator.h"

#include <QTimer>

namespace {

// A preview slice ends after this time or this many pages, whichever comes
// first, and lets the event loop paint.
constexpr int kSliceMilliseconds = 20;
constexpr int kSlicePages = 4;

ReportEngineError Busy()
{
    return ReportEngineError(ReportEngineError::Kind::Busy);
}

} // namespace

BandedReport::BandedReport(QObject *parent) : QObject(parent), m_sliceTimer(new QTimer(this))
{
    m_sliceTimer->setSingleShot(true);
    m_sliceTimer->setInterval(0);
    connect(m_sliceTimer, &QTimer::timeout, this, &BandedReport::runSlice);
}

BandedReport::~BandedReport()
{
    stopRun(true);
}

ReportBand &BandedReport::addBand(BandKind kind, const QString &name, double heightMm)
{
    if (kind == BandKind::Child)
        throw ReportEngineError::named(ReportEngineError::Kind::ChildBandAdded, name);
    if (m_run)
        throw Busy();
    ReportBand *&slot = m_bandByKind[size_t(kind)];
    if (slot)
        throw ReportEngineError::named(ReportEngineError::Kind::DuplicateBand, name);
    m_bands.push_back(std::make_unique<ReportBand>(*this, kind, name, heightMm, nullptr));
    slot = m_bands.back().get();
    return *slot;
}

ReportBand &BandedReport::addChildBand(ReportBand &parent, const QString &name, double heightMm)
{
    if (m_run)
        throw Busy();
    m_bands.push_back(std::make_unique<ReportBand>(*this, BandKind::Child, name, heightMm, &parent));
    ReportBand &child = *m_bands.back();
    parent.m_children.push_back(&child);
    return child;
}

ReportBand *BandedReport::band(BandKind kind) const
{
    return m_bandByKind[size_t(kind)];
}

int BandedReport::pageNumber() const
{
    return m_run ? m_run->pageNumber() : 0;
}

bool BandedReport::isLastPage() const
{
    return m_run && m_run->isLastPage();
}

void BandedReport::runBeforePrint()
{
    if (m_onBeforePrint)
        m_onBeforePrint();
}

bool BandedReport::runNeedData()
{
    return m_onNeedData && m_onNeedData();
}

void BandedReport::beginRun(const std::shared_ptr<PageStore> &store, RunKind kind)
{
    if (m_stepping)
        throw Busy();
    stopRun(true);
    m_exporting = kind == RunKind::Export;
    m_preparing = kind == RunKind::Prepare;
    m_cancelPending = false;
    if (store) {
        store->setTitle(m_title);
        store->setPrinterSettings(m_printer);
        // Only a store the user keeps needs its report for a later export.
        store->beginGeneration(kind == RunKind::Export ? nullptr : this, m_preparedPageCount);
    }
    m_runStore = store;
    m_run = std::make_unique<ReportGenerator>(*this, store.get());
}

bool BandedReport::stepRun(QDeadlineTimer deadline, int maxPages)
{
    m_stepping = true;
    try {
        const bool done = m_run->step(deadline, maxPages);
        m_stepping = false;
        return done;
    } catch (...) {
        m_stepping = false;
        stopRun(true);
        throw;
    }
}

void BandedReport::stopRun(bool cancelled)
{
    m_sliceTimer->stop();
    // Reset first: whoever listens to the store may start the next run.
    const std::shared_ptr<PageStore> store = std::move(m_runStore);
    m_runStore.reset();
    m_run.reset();
    m_exporting = false;
    m_preparing = false;
    m_cancelPending = false;
    if (store) {
        disconnect(store.get(), nullptr, this, nullptr);
        store->finishGeneration(cancelled);
    }
}

std::shared_ptr<PageStore> BandedReport::runToEnd(RunKind kind)
{
    std::shared_ptr<PageStore> store;
    if (kind != RunKind::Prepare)
        store = std::make_shared<PageStore>();
    beginRun(store, kind);
    stepRun(QDeadlineTimer::Forever, -1);
    if (kind == RunKind::Prepare)
        m_preparedPageCount = m_run->finishedPages();
    stopRun(false);
    return store;
}

int BandedReport::prepare()
{
    runToEnd(RunKind::Prepare);
    return m_preparedPageCount;
}

std::shared_ptr<PageStore> BandedReport::generate()
{
    return runToEnd(RunKind::Generate);
}

std::shared_ptr<PageStore> BandedReport::preview()
{
    auto store = std::make_shared<PageStore>();
    beginRun(store, RunKind::Preview);
    connect(store.get(), &PageStore::cancelRequested, this, [this, raw = store.get()] {
        if (m_runStore.get() != raw)
            return;
        if (m_stepping)
            m_cancelPending = true;
        else
            stopRun(true);
    });
    if (m_onPreview) {
        try {
            m_onPreview(store);
        } catch (...) {
            stopRun(true);
            throw;
        }
    }
    if (m_runStore == store)
        m_sliceTimer->start();
    return store;
}

void BandedReport::runSlice()
{
    if (!m_run)
        return;
    try {
        const bool done = stepRun(QDeadlineTimer(kSliceMilliseconds), kSlicePages);
        if (done || m_cancelPending)
            stopRun(!done);
        else
            m_sliceTimer->start();
    } catch (...) {
        // No exception may cross the event loop: the owner shows it.
        if (m_onError)
            m_onError(std::current_exception());
        else
            qWarning("report run failed");
    }
}

void BandedReport::print(QPagedPaintDevice &device)
{
    const std::shared_ptr<PageStore> pages = generate();
    PagePainter(*pages).print(device, m_printer.firstPage, m_printer.lastPage);
}

void BandedReport::exportTo(ExportFilter &filter)
{
    const std::shared_ptr<PageStore> pages = runToEnd(RunKind::Export);
    filter.exportPages(*pages);
}

void BandedReport::cancel()
{
    if (m_stepping)
        m_cancelPending = true;
    else
        stopRun(true);
}

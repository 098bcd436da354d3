#include "engine/PageStore.h"

#include "engine/BandedReport.h"
#include "engine/PrintFileCodec.h"
#include "engine/ReportEngineError.h"

#include <algorithm>

PageStore::PageStore(QObject *parent) : QObject(parent)
{
}

PageStore::~PageStore() = default;

const ReportPage &PageStore::page(int index) const
{
    if (index < 0 || std::size_t(index) >= m_pages.size())
        throw ReportEngineError::number(ReportEngineError::Kind::NoSuchPage, index);
    return m_pages[std::size_t(index)];
}

const ReportFont &PageStore::font(int index) const
{
    if (index < 0 || std::size_t(index) >= m_fonts.size())
        throw ReportEngineError(ReportEngineError::Kind::UnknownFont);
    return m_fonts[std::size_t(index)];
}

quint16 PageStore::fontIndex(const ReportFont &font)
{
    if (const auto it = m_fontIndex.constFind(font); it != m_fontIndex.constEnd())
        return *it;
    if (m_fonts.size() >= size_t(PrintFileCodec::MaxFonts))
        throw ReportEngineError(ReportEngineError::Kind::TooManyFonts);
    const auto index = quint16(m_fonts.size());
    m_fonts.push_back(font);
    m_fontIndex.insert(font, index);
    return index;
}

BandedReport *PageStore::sourceReport() const
{
    return m_source;
}

void PageStore::cancel()
{
    if (m_status == Status::Generating)
        Q_EMIT cancelRequested();
}

void PageStore::clear()
{
    cancel();
    if (m_status == Status::Generating)
        finishGeneration(true);
    m_pages.clear();
    m_fonts.clear();
    m_fontIndex.clear();
    m_source = nullptr;
    Q_EMIT pagesReplaced();
}

void PageStore::beginGeneration(BandedReport *source, int expectedPages)
{
    m_source = source;
    m_status = Status::Generating;
    m_cancelled = false;
    m_expectedPages = std::max(0, expectedPages);
    setProgress(0);
    Q_EMIT statusChanged(m_status);
}

void PageStore::appendPage(ReportPage page)
{
    m_pages.push_back(std::move(page));
    Q_EMIT pageAdded(pageCount());
    // The last preparation pass tells how many pages to expect; without one
    // the progress stays at 0 until the end.
    if (m_expectedPages > 0)
        setProgress(std::min(99, int(qint64(pageCount()) * 100 / m_expectedPages)));
}

void PageStore::finishGeneration(bool cancelled)
{
    if (m_status == Status::Finished)
        return;
    m_status = Status::Finished;
    m_cancelled = cancelled;
    setProgress(100);
    Q_EMIT statusChanged(m_status);
}

void PageStore::setProgress(int percent)
{
    if (percent == m_progress)
        return;
    m_progress = percent;
    Q_EMIT progressChanged(percent);
}

void PageStore::replaceContent(PrintFileContent content)
{
    cancel();
    if (m_status == Status::Generating)
        finishGeneration(true);
    m_title = std::move(content.title);
    m_fonts = std::move(content.fonts);
    m_pages = std::move(content.pages);
    m_fontIndex.clear();
    for (size_t i = 0; i < m_fonts.size(); ++i)
        m_fontIndex.insert(m_fonts[i], quint16(i));
    m_source = nullptr;
    m_cancelled = false;
    Q_EMIT pagesReplaced();
}

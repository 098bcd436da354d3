#pragma once

#include "engine/ReportTextMetrics.h"

class PageStore;
class ReportBand;
class ReportLabel;
class ReportShape;
struct ReportPage;

// Turns a band, as its labels and shapes stand at this moment, into page items
// at a given place on a page. Fonts go into the page store's font table.
class BandRenderer
{
public:
    explicit BandRenderer(PageStore &store);

    // Renders the band with its top left corner at (x, y), engine units.
    void render(const ReportBand &band, int x, int y, ReportPage &page);

private:
    void renderFrame(const ReportBand &band, int x, int y, ReportPage &page);
    void renderLabel(const ReportLabel &label, int x, int y, ReportPage &page);
    void renderShape(const ReportShape &shape, int x, int y, ReportPage &page);

    PageStore &m_store;
    ReportTextMetrics m_metrics;
};

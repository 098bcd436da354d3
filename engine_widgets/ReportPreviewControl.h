#pragma once

#include <QAbstractScrollArea>

#include <memory>

class PageStore;

// Shows one page of a page store at a zoom in percent (100 = natural size on
// this screen), centred on a grey desk and scrollable both ways. Follows the
// store while a report fills it: pageAvailable is raised for every new page,
// when the store is replaced, cleared or loaded, and when its generation
// finishes; progressChanged passes the store's progress on.
class ReportPreviewControl : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int MinZoom = 10;
    static constexpr int MaxZoom = 300;
    // Space around the page, in pixels.
    static constexpr int DeskMargin = 10;

    explicit ReportPreviewControl(QWidget *parent = nullptr);
    ~ReportPreviewControl() override;

    // Shows the store (shared with whoever made it); null detaches. The first
    // page is shown, or none when the store is empty.
    void setPageStore(std::shared_ptr<PageStore> pages);
    const std::shared_ptr<PageStore> &pageStore() const { return m_pages; }
    int pageCount() const;

    int zoom() const { return m_zoom; }
    // Clamped to MinZoom..MaxZoom.
    void setZoom(int percent);
    // The largest zoom that shows the whole page, or the page's full width.
    void zoomToFit();
    void zoomToWidth();

    // 1-based; 0 while there is no page. setPageNumber clamps to the pages there are.
    int pageNumber() const { return m_page; }
    void setPageNumber(int number);

    // Scrolls by units of the vertical scroll bar's single step (negative: up).
    void scrollVertically(int units);
    bool isAtTop() const;
    bool isAtBottom() const;

Q_SIGNALS:
    void pageAvailable(int pageCount);
    void progressChanged(int percent);
    void zoomChanged(int percent);
    void pageNumberChanged(int number);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void onPagesChanged();
    // The shown page's size in engine units (A4 while there is none).
    QSize pageUnits() const;
    double pixelsPerUnit(double zoom) const;
    QSize pagePixels() const;
    int fitZoom(double widthPixels, double heightPixels) const;
    void updateScrollBars();

    std::shared_ptr<PageStore> m_pages;
    int m_zoom = 100;
    int m_page = 0;
};

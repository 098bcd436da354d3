#pragma once

#include <QWidget>

#include <memory>

class PageStore;

// The preview window of the reports: created hidden at start-up, shown when a
// report hands it its pages, hidden again when closed.
class TPrn_Preview : public QWidget
{
    Q_OBJECT

public:
    explicit TPrn_Preview(QWidget *parent = nullptr);

    // Shows the pages of a report (while they are being generated, too).
    void ShowPageStore(std::shared_ptr<PageStore> pages);
};

// The one preview window of the program; null before start-up created it.
TPrn_Preview *Prn_Preview();
void SetPrn_Preview(TPrn_Preview *preview);

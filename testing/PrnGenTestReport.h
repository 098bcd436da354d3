#pragma once

#include "reports/TPrn_Gen.h"

#include <QStringList>

#include <functional>
#include <memory>

class PageStore;
struct ReportPage;

// A report on the report base as the program's reports use it: a column
// header and one 5 mm detail line per row ("Wiersz n"), the last-page mark and
// the emission note on the last page. About 48 rows fit on a page.
class TestPrnReport : public TPrn_Gen
{
public:
    explicit TestPrnReport(int rows = 0);

    int rows = 0;
    // Called for every row before it is supplied; may throw.
    std::function<void(int row)> onRow;

    using TPrn_Gen::SetShowEmissionOnEveryPage;

protected:
    void ReportBeforePrint() override;
    bool ReportNeedData() override;

private:
    int m_next = 0;
};

// The texts "Strona ostatnia" and the emission note as they stand on a page.
inline const QString LastPageMark = QStringLiteral("Strona ostatnia");
inline const QString EmissionNote = QStringLiteral("Wyemitowano z programu: Domvel-E-Vadiv");

// Every text of the page, in page order.
QStringList PageTexts(const ReportPage &page);

// Runs the report into the preview window and waits until it has finished
// generating; the preview's page store, or null when it did not finish.
std::shared_ptr<PageStore> PreviewAndWait(TPrn_Gen &report, int timeoutMs = 20000);

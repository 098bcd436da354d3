#pragma once

#include "engine/BandedReport.h"
#include "engine/ReportEngineError.h"

#include <optional>

// A small report for the engine tests. Page: A4, margins 20/20/25/20 mm, so
// the body is 257 mm high; the footer takes 5 mm of it.
//
//   title band          20 mm  (first page only)
//   column header        6 mm  (every page; grey, framed)
//   child of the header  5 mm  ("Stan początkowy:"; refused after page 1)
//   detail               5 mm  (one per row: "Wiersz n" and an amount)
//   summary             10 mm
//   page footer          5 mm  ("Strona n"; "Strona ostatnia" on the last
//                              page, unless the run is an export)
//
// So page 1 holds 44 rows, later pages 49; the summary needs 10 mm more.
class EngineTestReport : public BandedReport
{
public:
    explicit EngineTestReport(int rows = 0);

    int rows = 0;
    // Row n's amount text; the default gives texts of varying width.
    std::function<QString(int row)> amountText;

    int beforePrintCalls = 0;
    int needDataCalls = 0;
    int footerCalls = 0;

    // Row and page counts that hand-computing gives for this layout.
    static constexpr int RowsOnFirstPage = 44;
    static constexpr int RowsOnLaterPages = 49;

private:
    int m_next = 0;
};

// The kind of the engine error that call throws; none when it throws nothing.
// Any other exception leaves the helper, so the test fails on it.
template<typename Call>
std::optional<ReportEngineError::Kind> EngineErrorKind(Call &&call)
{
    try {
        call();
    } catch (const ReportEngineError &e) {
        return e.kind();
    }
    return std::nullopt;
}

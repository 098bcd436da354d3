#pragma once

#include "account/CsvTable.h"
#include "engine/ReportPrinterSettings.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class BandedReport;
class PageStore;
class ReportBand;
class ReportLabel;

// The common base of the program's reports. It owns one banded report with
// the page footer every report shares: "Strona ostatnia" at the left and the
// emission note naming the program at the right, both on the last page only
// and never in an export. A derived report adds its bands to Report() in its
// constructor, sets the three footer switches and fills its rows in
// ReportNeedData; the views call PreviewReport and PrintReport.
//
// Every preview or print is a fresh run over the current contents of the
// stores, preceded by a preparation pass that counts the pages (PageCount),
// which the preview's progress bar relies on.
class TPrn_Gen
{
public:
    // Where reports print: only printerName and outputFileName are taken. No
    // value: the system has no printer.
    using PrinterLookup = std::function<std::optional<ReportPrinterSettings>()>;

    // Design of the base report: A4 portrait, margins 20 mm top and bottom,
    // 25 mm left, 20 mm right; Arial 13 design pixels; page header on the first
    // page and footer on the last; prints even without rows; one copy of all
    // pages. `title` becomes the engine's report title.
    explicit TPrn_Gen(const QString &title);
    virtual ~TPrn_Gen();
    TPrn_Gen(const TPrn_Gen &) = delete;
    TPrn_Gen &operator=(const TPrn_Gen &) = delete;

    BandedReport &Report() { return *m_report; }
    const BandedReport &Report() const { return *m_report; }
    // The page footer band (2.65 mm, printable width) and its two labels.
    ReportBand &BandPageFooter() { return *m_bandPageFooter; }
    ReportLabel &Lab_PgLast();
    ReportLabel &Lab_Vemra();

    const QString &Title() const { return m_title; }
    // Pages found by the last preparation pass; 0 before the first.
    int PageCount() const { return m_pageCount; }
    // The page whose footer is being printed (1 for the first); the page being
    // filled until its footer is placed.
    int FooterPage() const { return m_footerPage; }

    bool ShowLastPageMark() const { return m_showLastPageMark; }
    bool ShowEmissionOnEveryPage() const { return m_showEmissionOnEveryPage; }
    bool ShowEmissionOnLastPage() const { return m_showEmissionOnLastPage; }

    // Runs the report and hands its pages to the preview window, which follows
    // the generation page by page. Needs no printer. Returns false (after the
    // error box) when the run could not start.
    bool PreviewReport();
    // Prints the report on the selected printer without a dialog. Returns true
    // when it was printed; false when the system has no printer (after the
    // no-printer notice) or the run failed (after the error box).
    bool PrintReport();

    // The printer currently selected in the program: the system's default
    // printer; none when the system has no printer.
    static std::optional<ReportPrinterSettings> SelectedPrinter();
    // Replaces how the selected printer is found (tests: a "printer" that writes
    // a PDF file, or none); a null lookup restores the system's.
    static void SetPrinterLookup(PrinterLookup lookup);

protected:
    void SetShowLastPageMark(bool on) { m_showLastPageMark = on; }
    void SetShowEmissionOnEveryPage(bool on) { m_showEmissionOnEveryPage = on; }
    void SetShowEmissionOnLastPage(bool on) { m_showEmissionOnLastPage = on; }
    // The footer of the account reports: both marks on the last page only,
    // under a rule across the footer's width. Call after the page setup.
    void UseLastPageFooterWithRule();

    // At the start of every run, the preparation pass and exports included:
    // switches the footer marks off for the run. A derived report calls this
    // one first, then resets its row counters.
    virtual void ReportBeforePrint();
    // One call per detail row: fill the detail band and answer true, or answer
    // false when there are no more rows. The base supplies none.
    virtual bool ReportNeedData();
    // Receives the page store of a preview run: shows it in the preview window,
    // with the report's table for spreadsheets.
    virtual void ReportPreview(const std::shared_ptr<PageStore> &pages);

public:
    // The report's rows for a spreadsheet (the preview saves them as CSV); none
    // for a report without a table. Read from the same figures the report prints.
    virtual std::optional<CsvTable> SpreadsheetTable() const { return std::nullopt; }

private:
    enum class ExecuteMode { Preview, Print };

    // `printer`: where print mode prints.
    bool Execute(ExecuteMode mode, const ReportPrinterSettings &printer);
    void BandPageFooterBeforePrint();
    void BandPageFooterAfterPrint();

    std::unique_ptr<BandedReport> m_report;
    ReportBand *m_bandPageFooter = nullptr;
    QString m_title;
    int m_pageCount = 0;
    int m_footerPage = 0;
    bool m_showLastPageMark = false;
    bool m_showEmissionOnEveryPage = false;
    bool m_showEmissionOnLastPage = false;
};

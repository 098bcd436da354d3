#include "testing/PrnGenTestReport.h"

#include "engine/BandedReport.h"
#include "engine/PageStore.h"
#include "engine/ReportBand.h"
#include "reports/TPrn_Preview.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

TestPrnReport::TestPrnReport(int rowCount) : TPrn_Gen(u"Raport próbny"_s), rows(rowCount)
{
    SetShowLastPageMark(true);
    SetShowEmissionOnEveryPage(false);
    SetShowEmissionOnLastPage(true);

    ReportBand &header = Report().addBand(BandKind::ColumnHeader, u"ColumnHeaderBand"_s, 6);
    header.addLabel(u"QRL_Okres"_s, 1, 1).setCaption(u"Okres"_s);
    ReportBand &detail = Report().addBand(BandKind::Detail, u"DetailBand"_s, 5);
    detail.addLabel(u"QR_Okres"_s, 1, 0.5);
    BandPageFooter().addHorizontalLine(u"Line_PageFooter"_s, 0, 0, 0).setWidth(BandPageFooter().width());
}

void TestPrnReport::ReportBeforePrint()
{
    TPrn_Gen::ReportBeforePrint();
    m_next = 0;
}

bool TestPrnReport::ReportNeedData()
{
    if (m_next >= rows)
        return false;
    ++m_next;
    if (onRow)
        onRow(m_next);
    Report().band(BandKind::Detail)->label(u"QR_Okres"_s).setCaption(u"Wiersz %1"_s.arg(m_next));
    return true;
}

QStringList PageTexts(const ReportPage &page)
{
    QStringList texts;
    for (const PageText &text : page.texts)
        texts << text.text;
    return texts;
}

std::shared_ptr<PageStore> PreviewAndWait(TPrn_Gen &report, int timeoutMs)
{
    if (!report.PreviewReport() || !Prn_Preview())
        return nullptr;
    const std::shared_ptr<PageStore> pages = Prn_Preview()->ShownPages();
    if (!pages)
        return nullptr;
    if (!QTest::qWaitFor([&pages] { return pages->isFinished(); }, timeoutMs))
        return nullptr;
    return pages;
}

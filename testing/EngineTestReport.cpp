#include "testing/EngineTestReport.h"

#include "engine/ReportBand.h"

EngineTestReport::EngineTestReport(int rowCount) : rows(rowCount)
{
    setTitle(QStringLiteral("Raport testowy"));
    setFont(ReportFont(QStringLiteral("Arial"), 8));
    amountText = [](int row) { return QStringLiteral("%1,%2").arg(row * 1013).arg(row % 100, 2, 10, QChar(u'0')); };

    ReportBand &title = addBand(BandKind::Title, QStringLiteral("TitleBand"), 20);
    title.addLabel(QStringLiteral("L_Titel"), 1.1, 1.1)
        .setCaption(QStringLiteral("Rozrachunki roku"))
        .font()
        .setPointSize(11)
        .setBold(true);
    title.addLabel(QStringLiteral("QRL_Date"), 132.5, 1.1).setCaption(QStringLiteral("Data: 2024-03-01"));

    ReportBand &header = addBand(BandKind::ColumnHeader, QStringLiteral("ColumnHeaderBand"), 6);
    header.setBackgroundColor(QColor(0xEE, 0xEE, 0xEE)).setFrame(ReportBand::Frame::all());
    const ReportFont headerFont(QStringLiteral("Courier New"), 8, true);
    header.addLabel(QStringLiteral("QRL_Lp"), 1.1, 1.1, 10, 4)
        .setCaption(QStringLiteral("Lp"))
        .setFont(headerFont)
        .setAlignment(TextAlignment::Center);
    header.addLabel(QStringLiteral("QRL_Nazwa"), 14, 1.1, 60, 4)
        .setCaption(QStringLiteral("Nazwa"))
        .setFont(headerFont)
        .setAlignment(TextAlignment::Center);
    header.addLabel(QStringLiteral("QRL_Kwota"), 100, 1.1, 40, 4)
        .setCaption(QStringLiteral("Obciążenia"))
        .setFont(headerFont)
        .setAlignment(TextAlignment::Center);
    header.addVerticalLine(QStringLiteral("QRShape_1"), 12, 0, 6, 2);
    header.addVerticalLine(QStringLiteral("QRShape_2"), 98, 0, 6, 2);

    ReportBand &child = addChildBand(header, QStringLiteral("ChildBand_SP"), 5);
    child.addLabel(QStringLiteral("QRL_StanPocz"), 14, 0.5).setCaption(QStringLiteral("Stan początkowy:"));
    child.setOnBeforePrint([this](ReportBand &, bool &print) { print = pageNumber() == 1; });

    ReportBand &detail = addBand(BandKind::Detail, QStringLiteral("DetailBand"), 5);
    detail.addLabel(QStringLiteral("QR_Lp"), 1.1, 0.5, 10, 4).setAlignment(TextAlignment::Right);
    detail.addLabel(QStringLiteral("QR_Nazwa"), 14, 0.5, 60, 4);
    detail.addLabel(QStringLiteral("QR_Kwota"), 0, 0.5).setAlignment(TextAlignment::Right).setRightEdgeMm(140);

    ReportBand &summary = addBand(BandKind::Summary, QStringLiteral("SummaryBand"), 10);
    summary.addHorizontalLine(QStringLiteral("Line_SummaryFooter"), 0, 0.2, 0).setWidth(summary.width());
    summary.addLabel(QStringLiteral("QRL_Razem"), 14, 1.3).setCaption(QStringLiteral("RAZEM"));

    ReportBand &footer = addBand(BandKind::PageFooter, QStringLiteral("BandPageFooter"), 5);
    footer.addHorizontalLine(QStringLiteral("Line_PageFooter"), 0, 0, 0).setWidth(footer.width());
    footer.addLabel(QStringLiteral("Lab_Strona"), 70, 1);
    footer.addLabel(QStringLiteral("Lab_PgLast"), 0, 1).setCaption(QStringLiteral("Strona ostatnia"));
    footer.setOnBeforePrint([this](ReportBand &band, bool &) {
        ++footerCalls;
        band.label(QStringLiteral("Lab_Strona")).setCaption(QStringLiteral("Strona %1").arg(pageNumber()));
        band.label(QStringLiteral("Lab_PgLast")).setEnabled(isLastPage() && !isExporting());
    });

    setOnBeforePrint([this] {
        ++beforePrintCalls;
        m_next = 0;
    });
    setOnNeedData([this, detail = &detail] {
        ++needDataCalls;
        if (m_next >= rows)
            return false;
        ++m_next;
        detail->label(QStringLiteral("QR_Lp")).setCaption(QString::number(m_next));
        detail->label(QStringLiteral("QR_Nazwa")).setCaption(QStringLiteral("Wiersz %1").arg(m_next));
        detail->label(QStringLiteral("QR_Kwota")).setCaption(amountText(m_next));
        return true;
    });
}

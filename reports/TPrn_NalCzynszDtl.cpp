#include "reports/TPrn_NalCzynszDtl.h"

#include "account/CsvExports.h"
#include "account/DisplayTexts.h"
#include "account/FormatAmount.h"
#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceSession.h"
#include "engine/BandedReport.h"
#include "engine/ReportBand.h"
#include "reports/ReportHeading.h"

using namespace Qt::Literals::StringLiterals;
using ReportHeading::Mono;
using ReportHeading::Sans;

TPrn_NalCzynszDtl::TPrn_NalCzynszDtl(const TU_WEBServiceDokData &details, const TU_WEBServiceData &yearData,
                                     const TU_WEBServiceSession &session)
    : TPrn_Gen(u"Wydruk kartoteki rozrachunkowej"_s), m_details(details), m_yearData(yearData), m_session(session)
{
    BuildTitleBand();
    BuildColumnHeaderBand();
    BuildDetailBand();
    BuildSummaryBand();
    UseLastPageFooterWithRule();
}

TPrn_NalCzynszDtl::~TPrn_NalCzynszDtl() = default;

void TPrn_NalCzynszDtl::BuildTitleBand()
{
    ReportBand &title = Report().addBand(BandKind::Title, u"TitleBand1"_s, 38.9);
    ReportHeading::AddTitle(title);
    auto add = [&title](const QString &name, double left, double top, const ReportFont &font) -> ReportLabel & {
        return title.addLabel(name, left, top).setAutoSize(true).setFont(font);
    };
    add(u"QRL_Tytul2"_s, 1.1, 6.6, Sans(11, true)).setCaption(u"Obciążenie: "_s);
    add(u"QRL_Tytul3"_s, 26.5, 6.6, Sans(11, true)).setCaption(m_details.TrescOper);
    ReportHeading::AddAccountBlock(title, 132.5, 104.9);
    add(u"QRL_DataOper"_s, 5.5, 27.6, Sans(9)).setCaption(u"Data operacji: "_s);
    add(u"QRV_DataOper"_s, 30.5, 27.6, Sans(9)).setCaption(ShortDateText(m_details.DataOperacji));
    add(u"QRL_TerminPlatn"_s, 5.5, 32.0, Sans(9)).setCaption(u"Termin płatności: "_s);
    add(u"QRV_TerminPlatn"_s, 30.5, 32.0, Sans(9)).setCaption(ShortDateText(m_details.DataOperRozrach));
    add(u"QRL_ObciazPrd"_s, 87.9, 27.6, Sans(9)).setCaption(u"Obciążenie za okres:"_s);
    add(u"QRV_ObciazPrd"_s, 118.8, 27.6, Sans(9))
        .setCaption(ShortDateText(m_details.DataNalFrom) + u" - "_s + ShortDateText(m_details.DataNalTo));

    title.label(u"QRL_Tytul1"_s)
        .setCaption(QString::number(m_yearData.ShowYear) + u"  "_s + CategoryName(m_details.KontoKsg));
    ReportHeading::FillAccountBlock(title, m_session);
}

void TPrn_NalCzynszDtl::BuildColumnHeaderBand()
{
    ReportBand &header = Report().addBand(BandKind::ColumnHeader, u"ColumnHeaderBand1"_s, 5.7);
    header.setBackgroundColor(QColor(0xEE, 0xEE, 0xEE)).setFrame(ReportBand::Frame::all());
    const struct
    {
        QString name;
        double left, width;
        QString text;
    } columns[] = {
        {u"QRL_Lp"_s, 1.1, 8.2, u"Lp"_s},           {u"QRL_NazwaSkl"_s, 14.6, 27.4, u"Nazwa składnika"_s},
        {u"QRL_Ilosc"_s, 74.4, 17.7, u"Ilość"_s},   {u"QRL_Cena"_s, 97.8, 17.7, u"Cena"_s},
        {u"QRL_Wsp"_s, 117.7, 16.8, u"Współcz."_s}, {u"QRL_Brutto"_s, 136.5, 27.4, u"Opłata (brutto)"_s},
    };
    for (const auto &c : columns) {
        header.addLabel(c.name, c.left, 1.1, c.width, 3.8)
            .setFont(Mono(8, true))
            .setAlignment(TextAlignment::Center)
            .setCaption(c.text);
    }
    const struct
    {
        QString name;
        double left;
    } rules[] = {{u"QRShape_1"_s, 11.0},
                 {u"QRShape_2"_s, 69.4},
                 {u"QRShape_3"_s, 95.6},
                 {u"QRShape_4"_s, 117.1},
                 {u"QRShape_5"_s, 134.7}};
    for (const auto &r : rules)
        header.addVerticalLine(r.name, r.left, 0, 5.7, 2);
}

void TPrn_NalCzynszDtl::BuildDetailBand()
{
    ReportBand &detail = Report().addBand(BandKind::Detail, u"DetailBand1"_s, 5.7);
    QR_Lp = &detail.addLabel(u"QR_Lp"_s, 1.5, 0.9, 6.6)
                 .setFont(Sans(8))
                 .setAlignment(TextAlignment::Right)
                 .setTransparent(false);
    QR_NazwaSkl = &detail.addLabel(u"QR_NazwaSkl"_s, 12.8, 0.9, 52.3, 4.2).setFont(Sans(8));
    // Text-sized and right-aligned: each keeps its right edge.
    auto rightAligned = [&detail](const QString &name, double rightEdge) {
        return &detail.addLabel(name, 0, 0.9)
                    .setAutoSize(true)
                    .setFont(Sans(8))
                    .setAlignment(TextAlignment::Right)
                    .setRightEdgeMm(rightEdge);
    };
    QR_Ilosc = rightAligned(u"QR_Ilosc"_s, 93.8);
    QR_Cena = rightAligned(u"QR_Cena"_s, 116.2);
    QR_Wsp = rightAligned(u"QR_Wsp"_s, 134.3);
    QR_Brutto = rightAligned(u"QR_Brutto"_s, 162.1);
}

void TPrn_NalCzynszDtl::BuildSummaryBand()
{
    ReportBand &summary = Report().addBand(BandKind::Summary, u"SummaryBand1"_s, 6.6);
    summary.addHorizontalLine(u"Line_SummaryFooter"_s, 0, 0.2, 0).setWidth(summary.width());
    summary.addLabel(u"QRL_Razem"_s, 0, 1.3)
        .setAutoSize(true)
        .setFont(Sans(8))
        .setAlignment(TextAlignment::Right)
        .setRightEdgeMm(134.3)
        .setCaption(u"RAZEM"_s);
    summary.addLabel(u"QR_Razem"_s, 0, 1.3)
        .setAutoSize(true)
        .setFont(Sans(8, true))
        .setAlignment(TextAlignment::Right)
        .setRightEdgeMm(162.1);
    summary.setOnBeforePrint(
        [this](ReportBand &band, bool &) { band.label(u"QR_Razem"_s).setCaption(FormatAmount(m_grossTotal)); });
}

void TPrn_NalCzynszDtl::ReportBeforePrint()
{
    TPrn_Gen::ReportBeforePrint();
    m_rowIndex = 0;
    m_rowGross = 0;
    m_grossTotal = 0;
}

bool TPrn_NalCzynszDtl::ReportNeedData()
{
    if (m_rowIndex >= m_details.SklNumber)
        return false;
    const TDokComponent component = m_details.Component(m_rowIndex);
    QR_Lp->setCaption(QString::number(m_rowIndex + 1));
    QR_NazwaSkl->setCaption(component.NazwaSkl);
    QR_Ilosc->setCaption(component.IloscAsStr);
    QR_Cena->setCaption(FormatAmount(component.Cena));
    QR_Wsp->setCaption(component.WspolczAsStr);
    m_rowGross = component.ValueVAT + component.ValueNetto;
    QR_Brutto->setCaption(FormatAmount(m_rowGross));
    ++m_rowIndex;
    m_grossTotal += m_rowGross;
    return true;
}

std::optional<CsvTable> TPrn_NalCzynszDtl::SpreadsheetTable() const
{
    return ChargeDetailCsv(m_details);
}

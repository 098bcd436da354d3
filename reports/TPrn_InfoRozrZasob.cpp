#include "reports/TPrn_InfoRozrZasob.h"

#include "account/BalanceRules.h"
#include "account/CsvExports.h"
#include "account/FormatAmount.h"
#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceSession.h"
#include "account/YearSettlementFigures.h"
#include "common/Errors.h"
#include "common/TLocale_Class.h"
#include "engine/BandedReport.h"
#include "engine/ReportBand.h"
#include "reports/ReportHeading.h"

using namespace Qt::Literals::StringLiterals;
using ReportHeading::Mono;
using ReportHeading::Sans;

TPrn_InfoRozrZasob::TPrn_InfoRozrZasob(const TU_WEBServiceSession &session, const TU_WEBServiceData &yearData)
    : TPrn_Gen(u"Wydruk kartoteki rozrachunkowej"_s), m_session(session), m_yearData(yearData)
{
    BuildTitleBand();
    BuildColumnHeaderBand();
    BuildDetailBand();
    BuildSummaryBand();
    UseLastPageFooterWithRule();
}

TPrn_InfoRozrZasob::~TPrn_InfoRozrZasob() = default;

QString TPrn_InfoRozrZasob::OtherObligationsNote()
{
    return u"Istnieją jeszcze inne niezapłacone zobowiązania nieuwzględnione w serwisie.  "
           u"Szczegóły - prosimy o kontakt ze spółdzielnią."_s;
}

void TPrn_InfoRozrZasob::BuildTitleBand()
{
    ReportBand &title = Report().addBand(BandKind::Title, u"TitleBand1"_s, 27.2);
    ReportHeading::AddTitle(title);
    title.addLabel(u"L_Titel1"_s, 1.1, 6.6)
        .setAutoSize(true)
        .setFont(Sans(11, true))
        .setCaption(u"Zestawienie miesięczne"_s);
    ReportHeading::AddAccountBlock(title, 132.5, 104.9);
    m_titleBand = &title;
}

void TPrn_InfoRozrZasob::BuildColumnHeaderBand()
{
    ReportBand &header = Report().addBand(BandKind::ColumnHeader, u"ColumnHeaderBand1"_s, 5.7);
    header.setBackgroundColor(QColor(0xEE, 0xEE, 0xEE)).setFrame(ReportBand::Frame::all());
    const struct
    {
        QString name;
        double left;
        double width;
        QString text;
    } columns[] = {
        {u"QRL_Okres"_s, 1.1, 33.6, u"Okres"_s},
        {u"QRL_WN"_s, 37.1, 27.4, u"Obciążenia"_s},
        {u"QRL_MA"_s, 66.9, 27.4, u"Zapłaty"_s},
        {u"QRL_SaldoMca"_s, 97.8, 26.5, u"Saldo miesiąca"_s},
        {u"QRL_SaldoNar"_s, 128.3, 31.8, u"Saldo narastająco"_s},
    };
    for (const auto &c : columns) {
        header.addLabel(c.name, c.left, 1.1, c.width, 4.0)
            .setFont(Mono(8, true))
            .setAlignment(TextAlignment::Center)
            .setCaption(c.text);
    }
    const struct
    {
        QString name;
        double left;
    } rules[] = {
        {u"QRShape_Okres"_s, 35.8}, {u"QRShape_WN"_s, 65.6}, {u"QRShape_MA"_s, 95.6}, {u"QRShape_SaldoMca"_s, 125.7}};
    for (const auto &r : rules)
        header.addVerticalLine(r.name, r.left, 0, 5.7, 2);
}

void TPrn_InfoRozrZasob::BuildDetailBand()
{
    ReportBand &detail = Report().addBand(BandKind::Detail, u"DetailBand1"_s, 6.0);
    auto amount = [&detail](const QString &name, double left) -> ReportLabel & {
        return detail.addLabel(name, left, 0.9, 27.4, 4.0).setFont(Sans(8)).setAlignment(TextAlignment::Right);
    };
    QR_Okres = &detail.addLabel(u"QR_Okres"_s, 1.1, 0.9, 38.4, 4.0).setFont(Sans(8));
    QR_WN = &amount(u"QR_WN"_s, 37.1);
    QR_MA = &amount(u"QR_MA"_s, 66.9);
    QR_SaldoMca = &amount(u"QR_SaldoMca"_s, 97.0);
    QR_SaldoNar = &amount(u"QR_SaldoNar"_s, 127.0);
    Line_DetailsFooter = &detail.addHorizontalLine(u"Line_DetailsFooter"_s, 0, 5.5, 0);
}

void TPrn_InfoRozrZasob::BuildSummaryBand()
{
    ReportBand &summary = Report().addBand(BandKind::Summary, u"SummaryBand1"_s, 19.4);
    summary.addHorizontalLine(u"Line_SummaryFooter"_s, 0, 0.2, 0).setWidth(summary.width());
    Line_DetailsFooter->setWidth(summary.width());
    summary.addLabel(u"QRL_Razem"_s, 1.1, 1.3, 33.6).setFont(Sans(8)).setCaption(u"RAZEM"_s);
    summary.addLabel(u"QR_WN_Razem"_s, 37.1, 1.3, 27.4).setFont(Sans(8)).setAlignment(TextAlignment::Right);
    summary.addLabel(u"QR_MA_Razem"_s, 66.9, 1.3, 27.4).setFont(Sans(8)).setAlignment(TextAlignment::Right);
    summary.addLabel(u"QR_SaldoNar_Razem"_s, 127.0, 1.3, 27.4)
        .setFont(Sans(8, true))
        .setAlignment(TextAlignment::Right);
    summary.addLabel(u"QRL_Saldo_Opis"_s, 127.0, 5.3, 27.4).setFont(Sans(8, true)).setAlignment(TextAlignment::Right);
    summary.addLabel(u"QRL_SaldaInfo"_s, 1.1, 10.2, 128.1, 8.4)
        .setFont(Sans(9, true, true))
        .setWordWrap(true)
        .setCaption(OtherObligationsNote())
        .setEnabled(false);
    m_summaryBand = &summary;
}

void TPrn_InfoRozrZasob::LoadYear(int year, const YearSettlementFigures &figures, const QString &categoryText)
{
    // Checked before anything is taken, so a wrong count leaves the report as it was.
    const double finalBalance = CheckedAt(figures.SaldoNar, figures.MonthCount);
    m_year = year;
    m_figures = figures;
    m_categoryText = categoryText;

    m_titleBand->label(u"QRL_Tytul1"_s).setCaption(QString::number(year) + u"  "_s + categoryText);
    ReportHeading::FillAccountBlock(*m_titleBand, m_session);

    m_summaryBand->label(u"QR_WN_Razem"_s).setCaption(FormatAmount(figures.RazemWN));
    m_summaryBand->label(u"QR_MA_Razem"_s).setCaption(FormatAmount(figures.RazemMA));
    m_summaryBand->label(u"QR_SaldoNar_Razem"_s).setCaption(FormatAmount(finalBalance));
    m_summaryBand->label(u"QRL_Saldo_Opis"_s).setCaption(BalanceDescription(finalBalance));
    m_summaryBand->label(u"QRL_SaldaInfo"_s)
        .setEnabled(m_yearData.SaldaOtherKnt_InfoHandlingKind == 1 && m_yearData.SaldaWNOtherKnt_ShowF);
}

void TPrn_InfoRozrZasob::ReportBeforePrint()
{
    TPrn_Gen::ReportBeforePrint();
    m_rowIndex = 0;
}

bool TPrn_InfoRozrZasob::ReportNeedData()
{
    if (m_rowIndex > m_figures.MonthCount)
        return false;
    const int r = m_rowIndex;
    const bool opening = r == 0;
    Line_DetailsFooter->setEnabled(opening);
    QR_Okres->setCaption(opening ? u"Stan na początek roku"_s : gLocale.LongMonthName(r));
    QR_SaldoMca->setEnabled(!opening);

    const double debit = CheckedAt(m_figures.ObrotyWN, r);
    const double credit = CheckedAt(m_figures.ObrotyMA, r);
    QR_WN->setCaption(FormatAmount(debit));
    QR_MA->setCaption(FormatAmount(credit));
    QR_SaldoMca->setCaption(FormatAmount(credit - debit));
    QR_SaldoNar->setCaption(FormatAmount(CheckedAt(m_figures.SaldoNar, r)));
    ++m_rowIndex;
    return true;
}

std::optional<CsvTable> TPrn_InfoRozrZasob::SpreadsheetTable() const
{
    if (m_figures.MonthCount < 1 || m_figures.MonthCount > 12)
        return std::nullopt;
    return YearTableCsv(m_figures);
}

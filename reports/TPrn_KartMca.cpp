#include "reports/TPrn_KartMca.h"

#include "account/CsvExports.h"
#include "account/DisplayTexts.h"
#include "account/FormatAmount.h"
#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/TU_WEBServiceSession.h"
#include "account/YearSettlementFigures.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "engine/BandedReport.h"
#include "engine/ReportBand.h"
#include "reports/ReportHeading.h"

using namespace Qt::Literals::StringLiterals;
using ReportHeading::Mono;
using ReportHeading::Sans;

namespace {

// Payments booked without a text are known by their document number.
bool ShowsDocumentNumber(qint32 kind)
{
    return kind == 3 || kind == 4 || kind == 5;
}

} // namespace

TPrn_KartMca::TPrn_KartMca(const TU_WEBServiceKsgData &ledger, const TU_WEBServiceData &yearData,
                           const TU_WEBServiceSession &session)
    : TPrn_Gen(QString()), m_ledger(ledger), m_yearData(yearData), m_session(session)
{
    Report().pageSetup().setMarginsTenths(100, 100, 100, 100);
    BuildTitleBand();
    BuildColumnHeaderBand();
    BuildDetailBand();
    BuildSummaryBand();
    UseLastPageFooterWithRule();
    // The narrower margins widen the footer: the emission note keeps to its right edge.
    Lab_Vemra().setLeftMm(0).setWidth(BandPageFooter().width());

    // A ledger whose month has no opening state (an empty store) must not
    // take its window down; printing it reports the error instead.
    try {
        m_opening = OpeningState(m_yearData, m_ledger.KontoKsg, m_ledger.Month);
    } catch (const AppError &) {
        m_openingError = std::current_exception();
    }
    ChildBand_SP->label(u"QR_WN_SP"_s).setCaption(FormatAmount(m_opening.ObrotyWN));
    ChildBand_SP->label(u"QR_MA_SP"_s).setCaption(FormatAmount(m_opening.ObrotyMA));
    ChildBand_SP->label(u"QR_Saldo_SP"_s).setCaption(FormatAmount(m_opening.Saldo));
}

TPrn_KartMca::~TPrn_KartMca() = default;

AccountState TPrn_KartMca::OpeningState(const TU_WEBServiceData &yearData, int category, int month)
{
    const YearSettlementFigures year
        = YearSettlementFigures::Compute(month, yearData.ObrotyWN(category), yearData.ObrotyMA(category));
    return year.OpeningStateBefore(month);
}

void TPrn_KartMca::BuildTitleBand()
{
    ReportBand &title = Report().addBand(BandKind::Title, u"TitleBand1"_s, 28.1);
    ReportHeading::AddTitle(title);
    title.addLabel(u"QRL_MiesiacTytul"_s, 1.1, 6.6)
        .setAutoSize(true)
        .setFont(Sans(11, true))
        .setCaption(u"Kartoteka miesiąca:"_s);
    title.addLabel(u"QRL_Miesiac"_s, 40.9, 6.6).setAutoSize(true).setFont(Sans(11, true));
    ReportHeading::AddAccountBlock(title, 156.8, 105.1);

    title.label(u"QRL_Tytul1"_s)
        .setCaption(QString::number(m_yearData.ShowYear) + u"  "_s + CategoryName(m_ledger.KontoKsg));
    title.label(u"QRL_Miesiac"_s).setCaption(MonthYearText(m_ledger.Year, m_ledger.Month));
    ReportHeading::FillAccountBlock(title, m_session);
}

void TPrn_KartMca::BuildColumnHeaderBand()
{
    ReportBand &header = Report().addBand(BandKind::ColumnHeader, u"ColumnHeaderBand1"_s, 9.1);
    header.setBackgroundColor(QColor(0xEE, 0xEE, 0xEE)).setFrame(ReportBand::Frame::all());
    const struct
    {
        QString name;
        double left, top, width, height;
        QString text;
    } columns[] = {
        {u"QRL_Lp"_s, 0.0, 2.7, 6.6, 4.0, u"Lp."_s},
        {u"QRL_DataOper"_s, 7.7, 0.9, 18.6, 7.7, u"Data operacji"_s},
        {u"QRL_TerminPlatn"_s, 27.2, 0.9, 18.6, 7.7, u"Termin płatności"_s},
        {u"QRL_TypDok"_s, 46.8, 2.7, 31.8, 4.0, u"Typ dokumentu"_s},
        {u"QRL_WN"_s, 79.7, 2.7, 21.2, 4.0, u"Obciążenia"_s},
        {u"QRL_MA"_s, 101.8, 2.7, 21.2, 4.0, u"Zapłaty"_s},
        {u"QRL_TrescOper"_s, 124.1, 2.7, 64.5, 4.0, u"Treść operacji / Saldo"_s},
    };
    for (const auto &c : columns) {
        header.addLabel(c.name, c.left, c.top, c.width, c.height)
            .setFont(Mono(8, true))
            .setAlignment(TextAlignment::Center)
            .setWordWrap(true)
            .setCaption(c.text);
    }
    const struct
    {
        QString name;
        double left;
    } rules[] = {{u"QRShape_Lp"_s, 7.1},      {u"QRShape_DataOper"_s, 26.7}, {u"QRShape_TerminPlatn"_s, 46.3},
                 {u"QRShape_TypDok"_s, 79.1}, {u"QRShape_WN"_s, 101.3},      {u"QRShape_MA"_s, 123.6}};
    for (const auto &r : rules)
        header.addVerticalLine(r.name, r.left, 0, 9.1);

    // The opening state follows the column titles on the first page only.
    ReportBand &child = Report().addChildBand(header, u"ChildBand_SP"_s, 6.6);
    child.addLabel(u"QRL_StanPocz"_s, 31.8, 1.3, 25.7, 4.0).setFont(Sans(8)).setCaption(u"Stan początkowy:"_s);
    for (const auto &[name, left] :
         {std::pair{u"QR_WN_SP"_s, 79.6}, std::pair{u"QR_MA_SP"_s, 101.9}, std::pair{u"QR_Saldo_SP"_s, 129.6}}) {
        child.addLabel(name, left, 1.3, 21.2, 4.0).setFont(Sans(8, true)).setAlignment(TextAlignment::Right);
    }
    child.addHorizontalLine(u"Line_SPFooter"_s, 0, 6.2, 0).setWidth(child.width());
    child.setOnBeforePrint([this](ReportBand &, bool &printBand) { printBand = FooterPage() == 1; });
    ChildBand_SP = &child;
}

void TPrn_KartMca::BuildDetailBand()
{
    ReportBand &detail = Report().addBand(BandKind::Detail, u"DetailBand1"_s, 4.4);
    auto add = [&detail](const QString &name, double left, double width, TextAlignment alignment) {
        return &detail.addLabel(name, left, 0.3, width, 4.0).setFont(Sans(8)).setAlignment(alignment);
    };
    QR_Lp = add(u"QR_Lp"_s, 0.0, 6.6, TextAlignment::Right);
    QR_DataOper = add(u"QR_DataOper"_s, 7.7, 18.5, TextAlignment::Center);
    QR_TerminPlatn = add(u"QR_TerminPlatn"_s, 27.3, 18.5, TextAlignment::Center);
    QR_TypDok = add(u"QR_TypDok"_s, 46.8, 31.8, TextAlignment::Left);
    QR_WN = add(u"QR_WN"_s, 79.6, 21.2, TextAlignment::Right);
    QR_MA = add(u"QR_MA"_s, 101.9, 21.2, TextAlignment::Right);
    QR_TrescOper = add(u"QR_TrescOper"_s, 124.1, 64.6, TextAlignment::Left);
}

void TPrn_KartMca::BuildSummaryBand()
{
    ReportBand &summary = Report().addBand(BandKind::Summary, u"SummaryBand1"_s, 10.6);
    summary.addHorizontalLine(u"Line_SummaryFooter"_s, 0, 0.3, 0).setWidth(summary.width());
    for (const auto &[name, top, text] : {std::tuple{u"QRL_WOkresie"_s, 1.3, u"W miesiącu:"_s},
                                          std::tuple{u"QRL_StanKonc"_s, 5.6, u"Narastająco:"_s}}) {
        summary.addLabel(name, 31.8, top, 25.7, 4.0).setFont(Sans(8)).setCaption(text);
    }
    summary.addLabel(u"QR_IloscOper"_s, 58.5, 1.3, 18.5, 4.0).setFont(Sans(8, true));
    const struct
    {
        QString name;
        double left, top;
    } amounts[] = {{u"QR_WN_IP"_s, 79.6, 1.3}, {u"QR_MA_IP"_s, 101.9, 1.3}, {u"QR_Saldo_IP"_s, 129.6, 1.3},
                   {u"QR_WN_SK"_s, 79.6, 5.6}, {u"QR_MA_SK"_s, 101.9, 5.6}, {u"QR_Saldo_SK"_s, 129.6, 5.6}};
    for (const auto &a : amounts)
        summary.addLabel(a.name, a.left, a.top, 21.2, 4.0).setFont(Sans(8, true)).setAlignment(TextAlignment::Right);
    summary.setOnBeforePrint([this](ReportBand &band, bool &) { FillSummary(band); });
}

void TPrn_KartMca::ReportBeforePrint()
{
    TPrn_Gen::ReportBeforePrint();
    if (m_openingError)
        std::rethrow_exception(m_openingError);
    m_rowIndex = 0;
    // The month's figures as the window's document table computes them, read
    // afresh from the ledger store on every run.
    const int count = std::max(m_ledger.KsgNumber, 0);
    m_figures = MonthCardFigures::Compute(m_opening, count, m_ledger.KsgStrona, m_ledger.KsgValue,
                                          m_ledger.KsgDataOperRozrach, MonthLastDayDate(m_ledger.Year, m_ledger.Month));
}

bool TPrn_KartMca::ReportNeedData()
{
    if (m_rowIndex >= m_ledger.KsgNumber)
        return false;
    const TKsgEntry entry = m_ledger.Entry(m_rowIndex);
    const bool debit = MonthCardFigures::IsDebit(entry.Strona);
    const QString amount = FormatAmount(entry.Value);
    QString text = entry.TrescOper;
    if (text.isEmpty() && ShowsDocumentNumber(entry.TypDok))
        text = entry.NrDokMaster;

    QR_Lp->setCaption(QString::number(m_rowIndex + 1));
    QR_DataOper->setCaption(ShortDateText(entry.DataOperacji));
    QR_TerminPlatn->setCaption(debit ? ShortDateText(entry.DataOperRozrach) : QString());
    QR_TypDok->setCaption(DocumentKindText(entry.TypDok));
    QR_WN->setCaption(debit ? amount : QString());
    QR_MA->setCaption(debit ? QString() : amount);
    QR_TrescOper->setCaption(text);
    ++m_rowIndex;
    return true;
}

void TPrn_KartMca::FillSummary(ReportBand &summary) const
{
    summary.label(u"QR_IloscOper"_s).setCaption(QString::number(m_rowIndex) + u" oper."_s);
    summary.label(u"QR_WN_IP"_s).setCaption(FormatAmount(m_figures.Mca.ObrotyWN));
    summary.label(u"QR_MA_IP"_s).setCaption(FormatAmount(m_figures.Mca.ObrotyMA));
    summary.label(u"QR_Saldo_IP"_s).setCaption(FormatAmount(m_figures.Mca.Saldo));
    summary.label(u"QR_WN_SK"_s).setCaption(FormatAmount(m_figures.Nar.ObrotyWN));
    summary.label(u"QR_MA_SK"_s).setCaption(FormatAmount(m_figures.Nar.ObrotyMA));
    summary.label(u"QR_Saldo_SK"_s).setCaption(FormatAmount(m_figures.Nar.Saldo));
}

std::optional<CsvTable> TPrn_KartMca::SpreadsheetTable() const
{
    if (m_openingError)
        return std::nullopt;
    const int count = std::max(m_ledger.KsgNumber, 0);
    const MonthCardFigures figures
        = MonthCardFigures::Compute(m_opening, count, m_ledger.KsgStrona, m_ledger.KsgValue,
                                    m_ledger.KsgDataOperRozrach, MonthLastDayDate(m_ledger.Year, m_ledger.Month));
    return MonthCardCsv(m_ledger, figures);
}

#include "reports/TPrn_YearChart.h"

#include "account/DisplayTexts.h"
#include "account/TU_WEBServiceSession.h"
#include "engine/BandedReport.h"
#include "engine/ReportBand.h"
#include "engine/ReportUnits.h"
#include "reports/ReportHeading.h"
#include "reports/YearChartLayout.h"

using namespace Qt::Literals::StringLiterals;
using ReportHeading::Sans;

namespace {

constexpr double kFontPoints = 8;
// One 8-point line and the widest axis amount ("-12 345,00"), in millimetres.
constexpr double kLineHeightMm = 4.2;
constexpr double kLabelWidthMm = 19;

} // namespace

TPrn_YearChart::TPrn_YearChart(const YearChartData &data, const TU_WEBServiceSession &session)
    : TPrn_Gen(u"Wykres rozrachunków roku"_s), m_data(data)
{
    BuildTitleBand(session);
    BuildChartBand();
    UseLastPageFooterWithRule();
}

TPrn_YearChart::~TPrn_YearChart() = default;

void TPrn_YearChart::BuildTitleBand(const TU_WEBServiceSession &session)
{
    ReportBand &title = Report().addBand(BandKind::Title, u"TitleBand1"_s, 32);
    ReportHeading::AddTitle(title);
    ReportHeading::AddAccountBlock(title, 132.5, 104.9);
    title.label(u"QRL_Tytul1"_s).setCaption(QString::number(m_data.Year) + u"  "_s + CategoryName(m_data.Category));
    title.addLabel(u"QRL_Wykres"_s, 1.1, 7.0).setAutoSize(true).setFont(Sans(10)).setCaption(u"Wykres miesięczny"_s);
    ReportHeading::FillAccountBlock(title, session);
}

void TPrn_YearChart::BuildChartBand()
{
    ReportBand &band = Report().addBand(BandKind::Summary, u"ChartBand1"_s, kChartHeightMm);
    const double widthMm = ReportUnits::ToMillimetres(band.width());
    const QList<YearChartItem> items = LayoutYearChart(m_data, QRectF(0, 2, widthMm, kChartHeightMm - 4),
                                                       YearChartMetrics{kLineHeightMm, kLabelWidthMm});
    int n = 0;
    for (const YearChartItem &item : items) {
        const QString name = u"Chart_%1"_s.arg(++n);
        const QRectF &b = item.box;
        switch (item.kind) {
        case YearChartItem::Kind::Rectangle:
            band.addRectangle(name, b.left(), b.top(), b.width(), b.height(), item.penWidth)
                .setPenColor(item.pen)
                .setFillColor(item.fill);
            break;
        case YearChartItem::Kind::HorizontalLine:
            band.addHorizontalLine(name, b.left(), b.top(), b.width(), item.penWidth).setPenColor(item.pen);
            break;
        case YearChartItem::Kind::VerticalLine:
            band.addVerticalLine(name, b.left(), b.top(), b.height(), item.penWidth).setPenColor(item.pen);
            break;
        case YearChartItem::Kind::Text: {
            const TextAlignment alignment = item.alignment & Qt::AlignRight ? TextAlignment::Right
                : item.alignment & Qt::AlignHCenter                         ? TextAlignment::Center
                                                                            : TextAlignment::Left;
            band.addLabel(name, b.left(), b.top(), b.width(), b.height())
                .setFont(Sans(kFontPoints, item.bold))
                .setAlignment(alignment)
                .setTextColor(item.pen)
                .setCaption(item.text);
            break;
        }
        }
    }
}

std::optional<CsvTable> TPrn_YearChart::SpreadsheetTable() const
{
    CsvTable t;
    t.Header = {u"Miesiąc"_s, u"Obciążenia"_s, u"Zapłaty"_s, u"Saldo narastająco"_s};
    t.Rows.append({u"Stan na początek roku"_s, QString(), QString(), CsvAmount(m_data.OpeningBalance)});
    for (const YearChartData::Month &m : m_data.Months)
        t.Rows.append({m.Name, CsvAmount(m.Charges), CsvAmount(m.Payments), CsvAmount(m.Balance)});
    return t;
}

#include "views/TForm_YearChart.h"

#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "reports/TPrn_YearChart.h"
#include "reports/YearChartLayout.h"
#include "views/ToolbarButton.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

// Paints the chart over its whole area.
class YearChartWidget : public QWidget
{
public:
    YearChartWidget(const YearChartData &data, QWidget *parent) : QWidget(parent), m_data(data)
    {
        setObjectName(u"ChartYear"_s);
        setMinimumSize(640, 380);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QFontMetricsF metrics(font());
        const YearChartMetrics m{metrics.height() * 1.2, metrics.horizontalAdvance(u"-88 888 888"_s)};
        PaintYearChart(painter, LayoutYearChart(m_data, QRectF(rect()).adjusted(8, 8, -12, -4), m));
    }

private:
    const YearChartData &m_data;
};

} // namespace

TForm_YearChart::TForm_YearChart(const YearChartData &data, const TU_WEBServiceSession &session, QWidget *owner)
    : QDialog(owner), m_data(data)
{
    setObjectName(u"Form_YearChart"_s);
    setWindowTitle(u"Wykres rozrachunków"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *panelTools = new QWidget(this);
    panelTools->setObjectName(u"PanelTools"_s);
    panelTools->setFixedHeight(41);
    auto *buttonPrint = ToolbarButton(panelTools, u"ButtonPrint"_s, u"Drukuj wykres"_s, u"BUT_PRINT"_s, 32);
    auto *buttonPreview
        = ToolbarButton(panelTools, u"ButtonPreview"_s, u"Podgląd wydruku wykresu"_s, u"BUT_PRINT_PREVIEW"_s, 71);
    connect(buttonPrint, &TWSpeedButton::OnClick, this, &TForm_YearChart::ButtonPrintClick);
    connect(buttonPreview, &TWSpeedButton::OnClick, this, &TForm_YearChart::ButtonPreviewClick);
    auto *title = new QLabel(m_data.Title(), panelTools);
    title->setObjectName(u"Lab_Tytul"_s);
    QFont bold = title->font();
    bold.setPixelSize(16);
    bold.setBold(true);
    title->setFont(bold);
    title->move(120, 11);
    layout->addWidget(panelTools);

    m_chart = new YearChartWidget(m_data, this);
    layout->addWidget(m_chart, 1);

    auto *panelBottom = new QWidget(this);
    panelBottom->setObjectName(u"PanelBottom"_s);
    panelBottom->setFixedHeight(40);
    auto *buttonClose = new TWBitBtn(u"&Zamknij"_s, panelBottom);
    buttonClose->setObjectName(u"ButtonClose"_s);
    buttonClose->SetGlyph(u"BUT_CLOSE"_s);
    buttonClose->setGeometry(20, 6, 120, 27);
    buttonClose->setAutoDefault(false);
    connect(buttonClose, &TWBitBtn::OnClick, this, &QDialog::reject);
    layout->addWidget(panelBottom);

    resize(760, 520);
    m_report = std::make_unique<TPrn_YearChart>(m_data, session);
}

TForm_YearChart::~TForm_YearChart() = default;

void TForm_YearChart::Open(const YearChartData &data, const TU_WEBServiceSession &session, QWidget *owner)
{
    TForm_YearChart window(data, session, owner);
    window.exec();
}

void TForm_YearChart::ButtonPrintClick()
{
    m_report->PrintReport();
}

void TForm_YearChart::ButtonPreviewClick()
{
    m_report->PreviewReport();
}

#include "views/TFrame_InfoRozrZasob.h"

#include "account/Account.h"
#include "account/CsvExports.h"
#include "account/TU_WEBServiceData.h"
#include "account/YearChartData.h"
#include "common/DateHelpers.h"
#include "controls/TWSpeedButton.h"
#include "forms/ProgramColours.h"
#include "reports/TPrn_InfoRozrZasob.h"
#include "service/AccountService.h"
#include "views/SpreadsheetExport.h"
#include "views/TForm_YearChart.h"
#include "views/TFrame_InfoRozrTabela.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kRentNotice = QStringLiteral("W WYBRANYM ROKU CZYNSZE NIE BYŁY JESZCZE ROZLICZANE W SYSTEMIE");
const QString kWaterNotice = QStringLiteral("W WYBRANYM ROKU WODA NIE BYŁA JESZCZE ROZLICZANA W SYSTEMIE");
// Two spaces before "ŁĄCZNIE", as the notice always read.
const QString kWasteNotice = QStringLiteral("W WYBRANYM ROKU ODPADY BYŁY ROZLICZANE  ŁĄCZNIE Z CZYNSZEM");

struct TabDesign
{
    QString tabName;
    QString caption;
    QString noticeName;
    const QString &noticeText;
};

const std::array<TabDesign, TFrame_InfoRozrZasob::kTabCount> &TabDesigns()
{
    static const std::array<TabDesign, TFrame_InfoRozrZasob::kTabCount> designs{{
        {QStringLiteral("TabCzynsze"), QStringLiteral("Czynsze"), QStringLiteral("CzynszeBrak"), kRentNotice},
        {QStringLiteral("TabCzynszeOds"), QStringLiteral("Czynsze - odsetki"), QStringLiteral("CzynszeOdsBrak"),
         kRentNotice},
        {QStringLiteral("TabWoda"), QStringLiteral("Woda"), QStringLiteral("WodaBrak"), kWaterNotice},
        {QStringLiteral("TabWodaOds"), QStringLiteral("Woda - odsetki"), QStringLiteral("WodaOdsBrak"), kWaterNotice},
        {QStringLiteral("TabOdpady"), QStringLiteral("Odpady"), QStringLiteral("OdpadyBrak"), kWasteNotice},
    }};
    return designs;
}

QLabel *TitleLabel(const QString &name, const QString &text, bool bold, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setPixelSize(16);
    f.setBold(bold);
    label->setFont(f);
    return label;
}

} // namespace

TSettlementsYear TSettlementsYear::FromStore(const TU_WEBServiceData &store)
{
    TSettlementsYear y;
    y.Year = store.ShowYear;
    y.MonthCount = store.MonthsToShow();
    y.ServiceF = {store.CZMain_Service_F, store.CZOds_Service_F, store.WOMain_Service_F, store.WOOds_Service_F,
                  store.Odpady_Service_F};
    y.CZYearStart = DateYear(store.SysCZPeriodStart);
    y.WOYearStart = DateYear(store.SysWOPeriodStart);
    for (int i = 0; i < TFrame_InfoRozrZasob::kTabCount; ++i) {
        y.WN[std::size_t(i)] = store.ObrotyWN(i);
        y.MA[std::size_t(i)] = store.ObrotyMA(i);
    }
    return y;
}

TFrame_InfoRozrZasob::TFrame_InfoRozrZasob(AccountService &service, QWidget *parent)
    : QWidget(parent), m_service(service)
{
    setObjectName(QStringLiteral("Frame_InfoRozrZasob1"));
    // The program's forms paint in the button-face role, which their children
    // inherit; the title strip and the table rows here are coloured through
    // the window role, so without this they would show the button face (and
    // a highlighted month would not show at all).
    setBackgroundRole(QPalette::Window);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *panelTools = new QWidget(this);
    panelTools->setObjectName(QStringLiteral("PanelTools"));
    panelTools->setFixedHeight(41);
    auto *tools = new QHBoxLayout(panelTools);
    tools->setContentsMargins(8, 5, 8, 5);
    tools->setSpacing(4);
    m_buttonPrint = new TWSpeedButton(panelTools);
    m_buttonPrint->setObjectName(QStringLiteral("ButtonPrint"));
    m_buttonPrint->setToolTip(QStringLiteral("Drukuj zestawienie"));
    m_buttonPrint->SetGlyph(QStringLiteral("BUT_PRINT"));
    m_buttonPreview = new TWSpeedButton(panelTools);
    m_buttonPreview->setObjectName(QStringLiteral("ButtonPreview"));
    m_buttonPreview->setToolTip(QStringLiteral("Podgląd wydruku zestawienia"));
    m_buttonPreview->SetGlyph(QStringLiteral("BUT_PRINT_PREVIEW"));
    for (TWSpeedButton *button : {m_buttonPrint, m_buttonPreview}) {
        // A repeated click would print the report a second time.
        button->SetGuardedWithWindow(true);
        button->setFixedSize(31, 31);
        button->setIconSize(QSize(22, 22));
        tools->addWidget(button);
    }
    // The chart and the spreadsheet export answer their keys wherever the
    // focus is in the main window.
    m_buttonChart = new TWSpeedButton(QStringLiteral("Wykres"), panelTools);
    m_buttonChart->setObjectName(QStringLiteral("ButtonChart"));
    m_buttonChart->setToolTip(QStringLiteral("Wykres miesięczny roku, Ctrl+G"));
    m_buttonChart->setFixedHeight(31);
    tools->addSpacing(8);
    tools->addWidget(m_buttonChart);
    m_buttonCsv = new TWSpeedButton(QStringLiteral("CSV"), panelTools);
    m_buttonCsv->setObjectName(QStringLiteral("ButtonCsv"));
    m_buttonCsv->setToolTip(SpreadsheetButtonHint());
    m_buttonCsv->setFixedHeight(31);
    tools->addWidget(m_buttonCsv);
    for (const auto &[button, key] : {std::pair{m_buttonChart, kChartKey}, std::pair{m_buttonCsv, kSpreadsheetKey}}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    }
    connect(m_buttonChart, &TWSpeedButton::OnClick, this, &TFrame_InfoRozrZasob::ButtonChartClick);
    connect(m_buttonCsv, &TWSpeedButton::OnClick, this, &TFrame_InfoRozrZasob::ButtonCsvClick);
    tools->addStretch();
    connect(m_buttonPrint, &TWSpeedButton::OnClick, this, &TFrame_InfoRozrZasob::ButtonPrintClick);
    connect(m_buttonPreview, &TWSpeedButton::OnClick, this, &TFrame_InfoRozrZasob::ButtonPreviewClick);
    layout->addWidget(panelTools);

    auto *panelTytul = new QWidget(this);
    panelTytul->setObjectName(QStringLiteral("Panel_Tytul"));
    panelTytul->setFixedHeight(30);
    QPalette aqua = panelTytul->palette();
    aqua.setColor(QPalette::Window, kColourAqua);
    panelTytul->setPalette(aqua);
    panelTytul->setAutoFillBackground(true);
    auto *title = new QHBoxLayout(panelTytul);
    title->setContentsMargins(10, 0, 10, 0);
    title->setSpacing(6);
    title->addWidget(TitleLabel(QStringLiteral("Lab_Tytul"), QStringLiteral("Rozrachunki roku"), false, panelTytul));
    m_labTytulRok = TitleLabel(QStringLiteral("Lab_TytulRok"), QStringLiteral("2013"), true, panelTytul);
    title->addWidget(m_labTytulRok);
    title->addWidget(
        TitleLabel(QStringLiteral("Lab_Tytul1"), QStringLiteral("Zestawienie miesięczne"), false, panelTytul));
    title->addStretch();
    layout->addWidget(panelTytul);

    m_pageControl = new QTabWidget(this);
    m_pageControl->setObjectName(QStringLiteral("PageControl1"));
    m_pageControl->setTabPosition(QTabWidget::South);
    for (int i = 0; i < kTabCount; ++i) {
        const TabDesign &design = TabDesigns()[std::size_t(i)];
        CategoryTab &tab = m_tabs[std::size_t(i)];
        tab.page = new QWidget(m_pageControl);
        tab.page->setObjectName(design.tabName);
        // Table and notice share the tab's one cell; only one of them is shown.
        auto *cell = new QGridLayout(tab.page);
        cell->setContentsMargins(0, 0, 0, 0);

        tab.notice = new QWidget(tab.page);
        tab.notice->setObjectName(QStringLiteral("PanelInfo") + design.noticeName);
        tab.notice->setFixedWidth(420);
        auto *noticeLayout = new QVBoxLayout(tab.notice);
        auto *noticeLabel = new QLabel(design.noticeText, tab.notice);
        noticeLabel->setObjectName(QStringLiteral("Lab_Info") + design.noticeName);
        noticeLabel->setAlignment(Qt::AlignCenter);
        noticeLabel->setWordWrap(true);
        QFont bold = noticeLabel->font();
        bold.setBold(true);
        noticeLabel->setFont(bold);
        noticeLayout->addWidget(noticeLabel);
        cell->addWidget(tab.notice, 0, 0, Qt::AlignCenter);
        tab.notice->hide();

        m_pageControl->addTab(tab.page, design.caption);
    }
    m_currentTable = BuiltTable(0);
    connect(m_pageControl, &QTabWidget::currentChanged, this, &TFrame_InfoRozrZasob::PageControl1Change);
    layout->addWidget(m_pageControl, 1);
}

TFrame_InfoRozrZasob::~TFrame_InfoRozrZasob() = default;

void TFrame_InfoRozrZasob::ShowSettlements(const TSettlementsYear &year)
{
    m_shown = year;
    m_labTytulRok->setText(QString::number(year.Year));

    const std::array<int, kTabCount> yearStart{year.CZYearStart, year.CZYearStart, year.WOYearStart, year.WOYearStart,
                                               kOdpadyYearStart};
    int firstVisible = -1;
    for (int i = 0; i < kTabCount; ++i) {
        const bool offered = year.ServiceF[std::size_t(i)];
        m_pageControl->setTabVisible(i, offered);
        if (!offered)
            continue; // a hidden tab keeps what it showed
        if (firstVisible < 0)
            firstVisible = i;
        const bool settled = year.Year >= yearStart[std::size_t(i)];
        CategoryTab &tab = m_tabs[std::size_t(i)];
        tab.showsTable = settled;
        tab.notice->setHidden(settled);
    }
    for (int i = 0; i < kTabCount; ++i) {
        if (TFrame_InfoRozrTabela *table = m_tabs[std::size_t(i)].table)
            ShowYearIn(i, *table);
    }

    // "Czynsze" when rents are offered; otherwise the first tab still shown,
    // so that the page on view is the one the buttons act on.
    if (firstVisible >= 0) {
        if (m_pageControl->currentIndex() == firstVisible)
            PageControl1Change(firstVisible);
        else
            m_pageControl->setCurrentIndex(firstVisible);
    } else {
        m_currentTable = BuiltTable(0);
    }
}

TFrame_InfoRozrTabela *TFrame_InfoRozrZasob::BuiltTable(int category) const
{
    const CategoryTab &tab = m_tabs[std::size_t(category)];
    if (tab.table)
        return tab.table;
    auto *table = new TFrame_InfoRozrTabela(m_service, tab.page);
    table->setObjectName(QStringLiteral("Frame_InfoRozrTabela%1").arg(category + 1));
    static_cast<QGridLayout *>(tab.page->layout())->addWidget(table, 0, 0);
    ShowYearIn(category, *table);
    if (m_reportsDestroyed)
        table->DestroyReport();
    tab.table = table;
    return table;
}

void TFrame_InfoRozrZasob::ShowYearIn(int category, TFrame_InfoRozrTabela &table) const
{
    if (m_shown) {
        table.SetPeriod(m_shown->Year, m_shown->MonthCount);
        table.ShowCategory(category, m_shown->WN[std::size_t(category)], m_shown->MA[std::size_t(category)]);
    }
    // Explicit either way: a child added to a page on screen is not shown
    // by itself.
    table.setHidden(!m_tabs[std::size_t(category)].showsTable);
}

void TFrame_InfoRozrZasob::PageControl1Change(int index)
{
    if (index >= 0 && index < kTabCount)
        m_currentTable = BuiltTable(index);
}

bool TFrame_InfoRozrZasob::CurrentShowsTable() const
{
    const int index = m_pageControl->currentIndex();
    if (index < 0 || index >= kTabCount || !m_pageControl->isTabVisible(index))
        return false;
    return m_tabs[std::size_t(index)].showsTable;
}

TPrn_InfoRozrZasob *TFrame_InfoRozrZasob::CurrentReport() const
{
    return CurrentShowsTable() ? m_currentTable->Prn_InfoRozrZasob() : nullptr;
}

TFrame_InfoRozrTabela *TFrame_InfoRozrZasob::Table(int category) const
{
    return category >= 0 && category < kTabCount ? BuiltTable(category) : nullptr;
}

void TFrame_InfoRozrZasob::ButtonPrintClick()
{
    if (TPrn_InfoRozrZasob *report = CurrentReport())
        report->PrintReport();
}

void TFrame_InfoRozrZasob::ButtonPreviewClick()
{
    if (TPrn_InfoRozrZasob *report = CurrentReport())
        report->PreviewReport();
}

void TFrame_InfoRozrZasob::ButtonChartClick()
{
    if (!CurrentShowsTable())
        return;
    const TFrame_InfoRozrTabela &table = *m_currentTable;
    TForm_YearChart::Open(YearChartData::From(table.Year(), table.Category(), table.Figures()),
                          m_service.AccountData().Session, window());
}

void TFrame_InfoRozrZasob::ButtonCsvClick()
{
    if (!CurrentShowsTable())
        return;
    const TFrame_InfoRozrTabela &table = *m_currentTable;
    SaveSpreadsheet(window(), YearTableCsv(table.Figures()),
                    CsvFileName(QStringLiteral("rozrachunki"), table.Year(), table.Category()));
}

void TFrame_InfoRozrZasob::SelectNextMonth()
{
    m_currentTable->SelectNextMonth();
}

void TFrame_InfoRozrZasob::SelectPreviousMonth()
{
    m_currentTable->SelectPreviousMonth();
}

void TFrame_InfoRozrZasob::SelectFirstMonth()
{
    m_currentTable->Panel_Click(1);
}

void TFrame_InfoRozrZasob::SelectLastMonth()
{
    const int monthCount = MonthCount();
    if (monthCount >= 1 && monthCount <= 12)
        m_currentTable->SelectMonth(monthCount);
}

void TFrame_InfoRozrZasob::OpenSelectedMonth()
{
    m_currentTable->OpenSelectedMonth();
}

void TFrame_InfoRozrZasob::DestroyReports()
{
    m_reportsDestroyed = true;
    for (CategoryTab &tab : m_tabs) {
        if (tab.table)
            tab.table->DestroyReport();
    }
}

QWidget *TFrame_InfoRozrZasob::PageControl1() const
{
    return m_pageControl;
}

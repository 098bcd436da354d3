#include "views/TFrame_InfoRozrTabela.h"

#include "account/Account.h"
#include "account/BalanceRules.h"
#include "account/DisplayTexts.h"
#include "account/FormatAmount.h"
#include "common/Messages.h"
#include "common/TLocale_Class.h"
#include "reports/TPrn_InfoRozrZasob.h"
#include "service/AccountService.h"
#include "views/BalanceColour.h"
#include "views/LabelLook.h"
#include "views/TForm_KartMca.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Layout of the rows, in pixels.
constexpr int kRowWidth = 650;
constexpr int kRowLeft = 8;
constexpr int kRowHeight = 20;
constexpr int kHeaderTop = 6;
constexpr int kOpeningTop = 26;
constexpr int kFirstMonthTop = 52; // rows follow at kRowHeight
constexpr int kTotalsHeight = 42;
constexpr int kLegendTop = kFirstMonthTop + 12 * kRowHeight + kTotalsHeight + 8;
constexpr int kNameX = 6;
constexpr int kNameWidth = 150;
constexpr int kAmountWidth = 110;
constexpr int kDebitX = 170;
constexpr int kCreditX = 290;
constexpr int kSaldoMcaX = 410;
constexpr int kSaldoNarX = 530;

// Marks the header, description and amount labels that take the table's font.
constexpr int kTableLabelTag = 10;

constexpr int kLabelHeight = 16;

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

void SetTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

void SetBackground(QWidget *panel, const QColor &colour)
{
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
    panel->setAutoFillBackground(true);
}

// A balance on a highlighted row reads lime instead of green; red stays red.
QColor BalanceColourOnRow(double balance, bool highlighted)
{
    if (IsUnderpayment(balance))
        return BalanceColour(balance);
    return highlighted ? kColourLime : BalanceColour(balance);
}

void ShowBalance(QLabel *label, double balance)
{
    label->setText(FormatAmount(balance));
    SetTextColour(label, BalanceColour(balance));
}

// A label of the table's grid; `tag` marks the labels that take the table's font.
QLabel *AddLabel(QWidget *parent, const QString &name, const QString &text, int x, int y, int width,
                 Qt::Alignment alignment, int tag = kTableLabelTag)
{
    return AddLabel(parent, name, text, QRect(x, y, width, kLabelHeight), {.alignment = alignment, .tag = tag});
}

} // namespace

TFrame_InfoRozrTabela::TFrame_InfoRozrTabela(AccountService &service, QWidget *parent)
    : QWidget(parent),
      m_service(service),
      m_report(std::make_unique<TPrn_InfoRozrZasob>(service.AccountData().Session, service.AccountData().Data))
{
    BuildControls();
    ClearSelection();
    SetBackground(m_panelBO, Qt::white);
    SetBackground(m_panelRazem, Qt::white);
    for (QLabel *label : findChildren<QLabel *>()) {
        if (label->property("tag").toInt() == kTableLabelTag) {
            QFont f = label->font();
            f.setPointSize(8);
            label->setFont(f);
        }
    }
}

TFrame_InfoRozrTabela::~TFrame_InfoRozrTabela() = default;

void TFrame_InfoRozrTabela::BuildControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_panelDane = new QWidget(this);
    m_panelDane->setObjectName(QStringLiteral("PanelDane"));
    m_panelDane->setMinimumSize(kRowLeft * 2 + kRowWidth, kLegendTop + 34);
    // The button face, so that the white rows stand out (the page of a tab
    // would show through near-white otherwise).
    SetBackground(m_panelDane, QApplication::palette().color(QPalette::Button));
    layout->addWidget(m_panelDane);

    const QString zero = QStringLiteral("0,00");
    const Qt::Alignment left = Qt::AlignLeft;
    const Qt::Alignment right = Qt::AlignRight;

    // Column headers.
    const int headerLeft = kRowLeft;
    for (auto [name, text, x] :
         {std::tuple{"Lab_Opis_Obiazenia", "Obciążenia", kDebitX}, std::tuple{"Lab_Opis_Zaplaty", "Zapłaty", kCreditX},
          std::tuple{"Lab_Opis_Saldo", "Saldo miesiąca", kSaldoMcaX},
          std::tuple{"Lab_Opis_SaldoNar", "Saldo narastająco", kSaldoNarX}}) {
        QLabel *header = AddLabel(m_panelDane, QString::fromLatin1(name), QString::fromUtf8(text), headerLeft + x,
                                  kHeaderTop, kAmountWidth, right);
        SetTextColour(header, kColourNavy);
    }

    // The opening row.
    m_panelBO = new QWidget(m_panelDane);
    m_panelBO->setObjectName(QStringLiteral("Panel_BO"));
    m_panelBO->setGeometry(kRowLeft, kOpeningTop, kRowWidth, kRowHeight);
    SetTextColour(AddLabel(m_panelBO, QStringLiteral("Lab_Opis_BO"), QStringLiteral("Stan na początek roku"), kNameX, 2,
                           kNameWidth, left),
                  kColourNavy);
    m_labWN_BO = AddLabel(m_panelBO, QStringLiteral("Lab_WN_BO"), zero, kDebitX, 2, kAmountWidth, right);
    m_labMA_BO = AddLabel(m_panelBO, QStringLiteral("Lab_MA_BO"), zero, kCreditX, 2, kAmountWidth, right);
    // The opening state has no month balance: this label always reads 0,00.
    AddLabel(m_panelBO, QStringLiteral("Lab_SaldoMca_BO"), zero, kSaldoMcaX, 2, kAmountWidth, right);
    m_labSaldoNar_BO = AddLabel(m_panelBO, QStringLiteral("Lab_SaldoNar_BO"), zero, kSaldoNarX, 2, kAmountWidth, right);

    auto *bevelBO = new QFrame(m_panelDane);
    bevelBO->setObjectName(QStringLiteral("Bevel_BO"));
    bevelBO->setFrameShape(QFrame::HLine);
    bevelBO->setFrameShadow(QFrame::Sunken);
    bevelBO->setGeometry(kRowLeft, kOpeningTop + kRowHeight + 2, kRowWidth, 2);

    // The month rows; clicks on the row and on each of its labels count.
    for (int k = 1; k <= 12; ++k) {
        const QString nn = TwoDigits(k);
        MonthRow &row = Row(k);
        row.panel = new QWidget(m_panelDane);
        row.panel->setObjectName(QStringLiteral("Panel_") + nn);
        row.panel->setGeometry(kRowLeft, kFirstMonthTop + (k - 1) * kRowHeight, kRowWidth, kRowHeight);
        row.name = AddLabel(row.panel, QStringLiteral("Lab_Opis_") + nn, TLocale_Class::Polish().LongMonthName(k),
                            kNameX, 2, kNameWidth, left);
        row.debit = AddLabel(row.panel, QStringLiteral("Lab_WN_") + nn, zero, kDebitX, 2, kAmountWidth, right);
        row.credit = AddLabel(row.panel, QStringLiteral("Lab_MA_") + nn, zero, kCreditX, 2, kAmountWidth, right);
        row.saldoMca
            = AddLabel(row.panel, QStringLiteral("Lab_SaldoMca_") + nn, zero, kSaldoMcaX, 2, kAmountWidth, right);
        row.saldoNar
            = AddLabel(row.panel, QStringLiteral("Lab_SaldoNar_") + nn, zero, kSaldoNarX, 2, kAmountWidth, right);
        for (QWidget *w :
             std::initializer_list<QWidget *>{row.panel, row.name, row.debit, row.credit, row.saldoMca, row.saldoNar}) {
            w->setProperty("month", k);
            w->installEventFilter(this);
        }
    }

    // The totals row, with the description of the final balance under it.
    m_panelRazem = new QWidget(m_panelDane);
    m_panelRazem->setObjectName(QStringLiteral("Panel_Razem"));
    m_panelRazem->setGeometry(kRowLeft, kFirstMonthTop + 12 * kRowHeight, kRowWidth, kTotalsHeight);
    auto *bevelRazem = new QFrame(m_panelRazem);
    bevelRazem->setObjectName(QStringLiteral("Bevel_Razem"));
    bevelRazem->setFrameShape(QFrame::HLine);
    bevelRazem->setFrameShadow(QFrame::Sunken);
    bevelRazem->setGeometry(0, 0, kRowWidth, 2);
    SetTextColour(
        AddLabel(m_panelRazem, QStringLiteral("Lab_Opis_Razem"), QStringLiteral("Razem"), kNameX, 4, kNameWidth, left),
        kColourNavy);
    m_labWN_Razem = AddLabel(m_panelRazem, QStringLiteral("Lab_WN_Razem"), zero, kDebitX, 4, kAmountWidth, right);
    m_labMA_Razem = AddLabel(m_panelRazem, QStringLiteral("Lab_MA_Razem"), zero, kCreditX, 4, kAmountWidth, right);
    m_labSaldoNar_Razem
        = AddLabel(m_panelRazem, QStringLiteral("Lab_SaldoNar_Razem"), zero, kSaldoNarX, 4, kAmountWidth, right);
    m_labSaldoOpis
        = AddLabel(m_panelRazem, QStringLiteral("Lab_SaldoOpis"), QString(), kSaldoNarX, 22, kAmountWidth, right);

    // The legend keeps its own, smaller font.
    auto legend = [this](const char *name, const QString &text, int x, int y, const QColor &colour) {
        AddLabel(m_panelDane, QString::fromLatin1(name), text, QRect(x, y, 300, kLabelHeight),
                 {.colour = colour, .pixelSize = 11});
    };
    legend("Lab_Legenda", QStringLiteral("Legenda:"), kRowLeft + kNameX, kLegendTop, QColor());
    legend("Lab_Leg_Nadplata", QStringLiteral("Saldo w kolorze zielonym - nadpłata"), kRowLeft + 70, kLegendTop,
           kColourGreen);
    legend("Lab_Leg_Niedoplata", QStringLiteral("Saldo w kolorze czerwonym - niedopłata"), kRowLeft + 70,
           kLegendTop + 14, kColourRed);
}

void TFrame_InfoRozrTabela::SetPeriod(int year, int monthCount)
{
    m_year = year;
    // January is always shown; a year has at most twelve months.
    m_monthCount = std::clamp(monthCount, 1, 12);
    ClearSelection();
    for (MonthRow &row : m_rows)
        row.panel->setHidden(false);
    if (m_monthCount >= 12) {
        m_panelRazem->move(m_panelRazem->x(), 2 * Row(12).panel->y() - Row(11).panel->y());
        return;
    }
    for (int k = 12; k > m_monthCount; --k) {
        Row(k).panel->setHidden(true);
        m_panelRazem->move(m_panelRazem->x(), Row(k).panel->y());
    }
}

void TFrame_InfoRozrTabela::ShowCategory(int category, const QList<double> &debits, const QList<double> &credits)
{
    m_category = category;
    m_figures = YearSettlementFigures::Compute(m_monthCount, debits, credits);
    const YearSettlementFigures &f = m_figures;

    m_labWN_BO->setText(FormatAmount(f.ObrotyWN[0]));
    m_labMA_BO->setText(FormatAmount(f.ObrotyMA[0]));
    ShowBalance(m_labSaldoNar_BO, f.SaldoNar[0]);
    for (int k = 1; k <= f.MonthCount; ++k) {
        MonthRow &row = Row(k);
        row.debit->setText(FormatAmount(f.ObrotyWN[k]));
        row.credit->setText(FormatAmount(f.ObrotyMA[k]));
        row.saldoMcaValue = f.SaldoMca(k);
        row.saldoNarValue = f.SaldoNar[k];
        row.saldoMca->setText(FormatAmount(row.saldoMcaValue));
        row.saldoNar->setText(FormatAmount(row.saldoNarValue));
        PaintRow(k);
    }

    m_labWN_Razem->setText(FormatAmount(f.RazemWN));
    m_labMA_Razem->setText(FormatAmount(f.RazemMA));
    ShowBalance(m_labSaldoNar_Razem, f.SaldoNarRazem());
    m_labSaldoOpis->setText(BalanceDescription(f.SaldoNarRazem()));

    if (m_report) {
        m_report->LoadYear(m_year, f, CategoryName(category));
    }
}

void TFrame_InfoRozrTabela::OpenMonth(int month)
{
    // Only a shown month of a loaded year has an opening state.
    if (month < 1 || month > m_figures.MonthCount)
        return;
    if (!m_service.QueryMonthLedger(m_category, m_year, month))
        return;
    const AccountState opening = m_figures.OpeningStateBefore(month);
    const TU_WEBServiceKsgData &ledger = m_service.AccountData().KsgData;
    if (ledger.KsgNumber > 0) {
        TForm_KartMca::Open(m_year, month, m_category, window(), m_service, ledger, opening);
        return;
    }
    MessageRequest r;
    r.caption = ApplicationTitle();
    r.text = QStringLiteral("Brak dokumentów w miesiącu.");
    r.owner = window();
    ShowMessage(r);
}

void TFrame_InfoRozrTabela::ClearSelection()
{
    m_selectedMonth = 0;
    for (int k = 1; k <= 12; ++k)
        PaintRow(k);
}

void TFrame_InfoRozrTabela::SelectMonth(int month)
{
    if (month < 1 || month > 12 || month == m_selectedMonth)
        return;
    const int previous = m_selectedMonth;
    m_selectedMonth = month;
    if (previous)
        PaintRow(previous);
    PaintRow(month);
}

void TFrame_InfoRozrTabela::SelectNextMonth()
{
    if (m_selectedMonth >= 1 && m_selectedMonth <= 11 && m_monthCount > m_selectedMonth)
        SelectMonth(m_selectedMonth + 1);
}

void TFrame_InfoRozrTabela::SelectPreviousMonth()
{
    if (m_selectedMonth >= 2)
        SelectMonth(m_selectedMonth - 1);
}

void TFrame_InfoRozrTabela::OpenSelectedMonth()
{
    if (m_selectedMonth)
        OpenMonth(m_selectedMonth);
}

void TFrame_InfoRozrTabela::Panel_Click(int month)
{
    SelectMonth(month);
}

void TFrame_InfoRozrTabela::Panel_DblClick(int month)
{
    // The click of a double click has highlighted the row already; a double
    // click delivered alone highlights it too.
    SelectMonth(month);
    OpenMonth(month);
}

void TFrame_InfoRozrTabela::DestroyReport()
{
    m_report.reset();
}

void TFrame_InfoRozrTabela::PaintRow(int month)
{
    MonthRow &row = Row(month);
    const bool highlighted = month == m_selectedMonth;
    const QPalette &system = palette();
    SetBackground(row.panel, highlighted ? system.color(QPalette::Active, QPalette::Highlight) : QColor(Qt::white));
    const QColor windowText = system.color(QPalette::Active, QPalette::WindowText);
    SetTextColour(row.name, highlighted ? QColor(Qt::white) : kColourNavy);
    SetTextColour(row.debit, highlighted ? QColor(Qt::white) : windowText);
    SetTextColour(row.credit, highlighted ? QColor(Qt::white) : windowText);
    SetTextColour(row.saldoMca, BalanceColourOnRow(row.saldoMcaValue, highlighted));
    SetTextColour(row.saldoNar, BalanceColourOnRow(row.saldoNarValue, highlighted));
}

bool TFrame_InfoRozrTabela::eventFilter(QObject *watched, QEvent *event)
{
    // Every event of every row passes here (paints and layouts too): only
    // the clicks look up the row's month.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    const int month = watched->property("month").toInt();
    if (month < 1 || month > 12)
        return QWidget::eventFilter(watched, event);
    switch (type) {
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (mouse->button() == Qt::LeftButton && widget && widget->rect().contains(mouse->position().toPoint())) {
            Panel_Click(month);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            Panel_DblClick(month);
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

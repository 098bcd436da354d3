#include "views/TFrame_InfoDokTabela.h"

#include "account/Account.h"
#include "account/DisplayTexts.h"
#include "account/FormatAmount.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "service/AccountService.h"
#include "views/BalanceColour.h"
#include "views/GridGeometry.h"
#include "views/LabelLook.h"
#include "views/TForm_NalCzynszDtl.h"
#include "views/TGridCellDelegate.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using GridGeometry::Align;

constexpr std::array<Align, TFrame_InfoDokTabela::kColumnCount> kAlignments{
    Align::Right, Align::Centre, Align::Centre, Align::Left, Align::Right, Align::Right, Align::Left};

const QColor kStatePanelColour{0xCC, 0xFF, 0xFF};
constexpr int kValueLabelWidth = 110;
constexpr int kDocumentKindCharge = 1;

QWidget *StatePanel(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, kStatePanelColour);
    panel->setPalette(p);
    panel->setAutoFillBackground(true);
    return panel;
}

void ShowAmount(QLabel *label, double value)
{
    label->setText(FormatAmount(value));
}

void ShowBalance(QLabel *label, double value)
{
    label->setText(FormatAmount(value));
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, BalanceColour(value));
    label->setPalette(p);
}

// The texts of one entry's row, read with a bounds check on every array.
std::array<QString, TFrame_InfoDokTabela::kColumnCount> EntryTexts(const TU_WEBServiceKsgData &ledger, int i)
{
    const bool debit = MonthCardFigures::IsDebit(CheckedAt(ledger.KsgStrona, i));
    const qint32 kind = CheckedAt(ledger.KsgTypDok, i);
    const QString amount = FormatAmount(CheckedAt(ledger.KsgValue, i));
    const double term = CheckedAt(ledger.KsgDataOperRozrach, i);
    QString text = CheckedAt(ledger.KsgTrescOper, i);
    const QString number = CheckedAt(ledger.KsgNrDokMaster, i);
    CheckedAt(ledger.KsgID_Dok_Master, i); // needed to open the entry later
    // Payments booked without a text are known by their document number.
    if (text.isEmpty() && (kind == 3 || kind == 4 || kind == 5))
        text = number;
    return {QString::number(i + 1),
            ShortDateText(CheckedAt(ledger.KsgDataOperacji, i)),
            debit ? ShortDateText(term) : QString(),
            DocumentKindText(kind),
            debit ? amount : QString(),
            debit ? QString() : amount,
            text};
}

} // namespace

TFrame_InfoDokTabela::TFrame_InfoDokTabela(AccountService &service, QWidget *parent)
    : QWidget(parent), m_service(service)
{
    setObjectName(QStringLiteral("Frame_InfoDokTabela1"));
    QFont font = this->font();
    font.setPixelSize(13);
    setFont(font);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_panelDane = new QWidget(this);
    m_panelDane->setObjectName(QStringLiteral("PanelDane"));
    layout->addWidget(m_panelDane);

    const QStringList titles{QStringLiteral("Lp."),
                             QStringLiteral("Data operacji"),
                             QStringLiteral("Termin płatności"),
                             QStringLiteral("Typ dokumentu"),
                             QStringLiteral("Obciążenia"),
                             QStringLiteral("Zapłaty"),
                             QStringLiteral("Treść operacji / Saldo")};

    m_sgDokTytul = new QTableWidget(2, kColumnCount, m_panelDane);
    m_sgDokTytul->setObjectName(QStringLiteral("SG_Dok_Tytul"));
    GridGeometry::Apply(*m_sgDokTytul, kColumnWidths);
    m_sgDokTytul->setRowCount(2);
    m_sgDokTytul->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sgDokTytul->setGeometry(10, 8, 545, 41);
    m_sgDokTytul->setEnabled(false);
    m_sgDokTytul->setFocusPolicy(Qt::NoFocus);
    for (int c = 0; c < kColumnCount; ++c)
        m_sgDokTytul->setItem(0, c, new QTableWidgetItem(titles[c]));
    m_sgDokTytul->setItemDelegate(new TGridCellDelegate(
        [this](QPainter &p, int c, int r, const QStyleOptionViewItem &o) { SG_Dok_TytulDrawCell(p, c, r, o); },
        m_sgDokTytul, 1));

    m_sgDok = new QTableWidget(0, kColumnCount, m_panelDane);
    m_sgDok->setObjectName(QStringLiteral("SG_Dok"));
    GridGeometry::Apply(*m_sgDok, kColumnWidths);
    m_sgDok->setGeometry(10, 55, 545, 191);
    m_sgDok->setItemDelegate(new TGridCellDelegate(
        [this](QPainter &p, int c, int r, const QStyleOptionViewItem &o) { SG_DokDrawCell(p, c, r, o); }, m_sgDok));
    connect(m_sgDok, &QTableWidget::cellDoubleClicked, this, [this] { SG_DokDblClick(); });

    // The opening state lies over the title grid's second row.
    m_panelStanPocz = StatePanel(m_panelDane, QStringLiteral("Panel_StanPocz"), QRect(10, 30, 649, 25));
    const QColor navy = kColourNavy;
    m_labOpisPocz = AddLabel(m_panelStanPocz, QStringLiteral("Lab_Opis_Pocz"), QStringLiteral("Stan początkowy:"),
                             QRect(10, 5, 123, 16), {.alignment = Qt::AlignLeft, .colour = navy});
    const QString zero = QStringLiteral("0,00");
    m_labWN[0] = AddLabel(m_panelStanPocz, QStringLiteral("Lab_WN_ObrotyPocz"), zero, QRect(0, 5, 80, 16),
                          {.alignment = Qt::AlignRight, .bold = true});
    m_labMA[0] = AddLabel(m_panelStanPocz, QStringLiteral("Lab_MA_ObrotyPocz"), zero, QRect(0, 5, 80, 16),
                          {.alignment = Qt::AlignRight, .bold = true});
    m_labSaldo[0] = AddLabel(m_panelStanPocz, QStringLiteral("Lab_SaldoPocz"), zero, QRect(0, 5, 80, 16),
                             {.alignment = Qt::AlignRight, .bold = true});

    m_panelStanKonc = StatePanel(m_panelDane, QStringLiteral("Panel_StanKonc"), QRect(10, 246, 649, kStanKoncHeight));
    m_labOpisMca = AddLabel(m_panelStanKonc, QStringLiteral("Lab_Opis_Mca"), QStringLiteral("W miesiącu:"),
                            QRect(10, 6, 86, 16), {.alignment = Qt::AlignLeft, .colour = navy});
    m_labOpisNar = AddLabel(m_panelStanKonc, QStringLiteral("Lab_Opis_Nar"), QStringLiteral("Narastająco:"),
                            QRect(10, 24, 86, 16), {.alignment = Qt::AlignLeft, .colour = navy});
    const std::array<const char *, 2> rowNames{"Mca", "Nar"};
    for (int r = 1; r <= 2; ++r) {
        const QString suffix = QString::fromLatin1(rowNames[std::size_t(r - 1)]);
        const int top = r == 1 ? 6 : 24;
        m_labWN[std::size_t(r)] = AddLabel(m_panelStanKonc, QStringLiteral("Lab_WN_Obroty") + suffix, zero,
                                           QRect(0, top, 80, 16), {.alignment = Qt::AlignRight, .bold = true});
        m_labMA[std::size_t(r)] = AddLabel(m_panelStanKonc, QStringLiteral("Lab_MA_Obroty") + suffix, zero,
                                           QRect(0, top, 80, 16), {.alignment = Qt::AlignRight, .bold = true});
        m_labSaldo[std::size_t(r)] = AddLabel(m_panelStanKonc, QStringLiteral("Lab_Saldo") + suffix, zero,
                                              QRect(0, top, 80, 16), {.alignment = Qt::AlignRight, .bold = true});
    }
    m_labIloscOper = AddLabel(m_panelStanKonc, QStringLiteral("Lab_IloscOper"), QStringLiteral("oper."),
                              QRect(95, 6, 60, 16), {.alignment = Qt::AlignLeft, .bold = true});

    auto *shape = new QFrame(m_panelStanKonc);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setGeometry(6, 50, 20, 20);
    shape->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette yellow = shape->palette();
    yellow.setColor(QPalette::Window, kColourYellow);
    yellow.setColor(QPalette::WindowText, Qt::black);
    shape->setPalette(yellow);
    shape->setAutoFillBackground(true);
    auto *termInfo = AddLabel(m_panelStanKonc, QStringLiteral("Lab_TerminInfo"),
                              QStringLiteral("UWAGA: Kolor żółty w kolumnie \"Termin płatności\" podkreśla, że termin "
                                             "płatności jest późniejszy, niż pokazywany miesiąc"),
                              QRect(33, 52, 0, 16), {.alignment = Qt::AlignLeft, .colour = Qt::black});
    termInfo->adjustSize();

    for (auto *labels : {&m_labWN, &m_labMA, &m_labSaldo}) {
        for (QLabel *label : *labels)
            label->resize(kValueLabelWidth, label->height());
    }
    setFixedSize(10 + 545 + 10, 246 + kStanKoncHeight + 10);
}

TFrame_InfoDokTabela::~TFrame_InfoDokTabela() = default;

void TFrame_InfoDokTabela::LoadDocuments(int year, int month, const TU_WEBServiceKsgData &ledger,
                                         const AccountState &opening, int category)
{
    const int count = std::max(ledger.KsgNumber, 0);
    const double monthEnd = MonthLastDayDate(year, month);

    // Everything is read (and checked) before anything is shown.
    MonthCardFigures figures = MonthCardFigures::Compute(opening, count, ledger.KsgStrona, ledger.KsgValue,
                                                         ledger.KsgDataOperRozrach, monthEnd);
    QList<std::array<QString, kColumnCount>> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i)
        rows.append(EntryTexts(ledger, i));

    m_year = year;
    m_month = month;
    m_monthEnd = monthEnd;
    m_kontoKsg = category;
    m_ksgTypDok = ledger.KsgTypDok;
    m_ksgID_Dok_Master = ledger.KsgID_Dok_Master;
    m_ksgDataOperRozrach = ledger.KsgDataOperRozrach;
    m_ksgStrona = ledger.KsgStrona;
    m_figures = std::move(figures);

    // A grid tall enough for every row: it never scrolls.
    m_sgDok->setRowCount(count);
    int width = GridGeometry::Width(kColumnWidths);
    if (count > kPlainWidthEntries)
        width += GridGeometry::ScrollBarWidth(m_sgDok) + 2;
    m_sgDok->setFixedSize(width, GridGeometry::Height(count));
    m_sgDokTytul->setFixedWidth(width);
    m_panelStanPocz->setFixedWidth(width);
    m_panelStanKonc->setFixedWidth(width);

    // The value labels stand under the amount columns.
    const int debitX = m_sgDok->x() + GridGeometry::ColumnOffset(kColumnWidths, 4);
    const int creditX = m_sgDok->x() + GridGeometry::ColumnOffset(kColumnWidths, 5);
    for (int r = 0; r < 3; ++r) {
        QWidget *panel = r == 0 ? m_panelStanPocz : m_panelStanKonc;
        m_labWN[std::size_t(r)]->move(debitX - panel->x(), m_labWN[std::size_t(r)]->y());
        m_labMA[std::size_t(r)]->move(creditX - panel->x(), m_labMA[std::size_t(r)]->y());
    }
    const int opisLeft = m_labWN[0]->x() - m_labOpisPocz->width() - 20;
    m_labOpisPocz->move(opisLeft, m_labOpisPocz->y());
    m_labOpisMca->move(opisLeft, m_labOpisMca->y());
    m_labOpisNar->move(opisLeft, m_labOpisNar->y());
    m_labIloscOper->move(m_labOpisMca->x() + m_labOpisMca->width() + 5, m_labIloscOper->y());
    m_labIloscOper->setText(QString::number(count) + QStringLiteral(" oper."));
    const int saldoLeft = m_labMA[0]->x() + m_labMA[0]->width() + 5;
    for (QLabel *label : m_labSaldo)
        label->move(saldoLeft, label->y());

    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < kColumnCount; ++c)
            m_sgDok->setItem(i, c, new QTableWidgetItem(rows[i][std::size_t(c)]));
    }
    if (count > 0)
        m_sgDok->setCurrentCell(0, 0);

    // Without a late term the legend and its yellow mark are cut off.
    m_panelStanKonc->move(m_panelStanKonc->x(), m_sgDok->y() + m_sgDok->height());
    m_panelStanKonc->setFixedHeight(m_figures.AnyLateTerm ? kStanKoncHeight : kStanKoncHeightNoLegend);

    const AccountState *states[3] = {&m_figures.Pocz, &m_figures.Mca, &m_figures.Nar};
    for (int r = 0; r < 3; ++r) {
        ShowAmount(m_labWN[std::size_t(r)], states[r]->ObrotyWN);
        ShowAmount(m_labMA[std::size_t(r)], states[r]->ObrotyMA);
        ShowBalance(m_labSaldo[std::size_t(r)], states[r]->Saldo);
    }

    setFixedSize(width + 20, m_panelStanKonc->y() + m_panelStanKonc->height() + 10);
}

QString TFrame_InfoDokTabela::CellText(const QTableWidget *grid, int column, int row) const
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

void TFrame_InfoDokTabela::SG_DokDrawCell(QPainter &painter, int column, int row,
                                          const QStyleOptionViewItem &option) const
{
    const QString text = CellText(m_sgDok, column, row);
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect &cell = option.rect;
    const int width = kColumnWidths[std::size_t(column)];
    const int x
        = GridGeometry::TextX(kAlignments[std::size_t(column)], cell.left(), width, metrics.horizontalAdvance(text));
    const int y = GridGeometry::TextY(cell.top(), GridGeometry::kRowHeight, metrics.height());

    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &pal = option.palette;
    QColor background = pal.color(QPalette::Active, selected ? QPalette::Highlight : QPalette::Base);
    QColor textColour = pal.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
    if (column == 2 && row < m_figures.LateTerm.size() && m_figures.LateTerm[row]) {
        if (selected)
            textColour = kColourYellow;
        else
            background = kColourYellow;
    }
    TGridCellDelegate::PaintCell(painter, cell, text, x, y, background, textColour);
}

void TFrame_InfoDokTabela::SG_Dok_TytulDrawCell(QPainter &painter, int column, int row,
                                                const QStyleOptionViewItem &option) const
{
    // The first row carries the titles, centred; the second is covered by the opening state.
    const QString text = row == 0 ? CellText(m_sgDokTytul, column, row) : QString();
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect &cell = option.rect;
    const int x = GridGeometry::TextX(Align::Centre, cell.left(), kColumnWidths[std::size_t(column)],
                                      metrics.horizontalAdvance(text));
    const int y = GridGeometry::TextY(cell.top(), GridGeometry::kRowHeight, metrics.height());
    const QPalette &pal = option.palette;
    TGridCellDelegate::PaintCell(painter, cell, text, x, y, pal.color(QPalette::Active, QPalette::Button),
                                 pal.color(QPalette::Active, QPalette::ButtonText));
}

void TFrame_InfoDokTabela::SG_DokDblClick()
{
    const int r = m_sgDok->currentRow();
    if (r < 0)
        return;
    const QPoint anchor
        = m_panelDane->mapToGlobal(QPoint(m_sgDok->x() + 5, (r + 1) * GridGeometry::kRowHeight + m_sgDok->y() + 5));
    if (CheckedAt(m_ksgTypDok, r) != kDocumentKindCharge) {
        ShowInformationBox(QStringLiteral("Szczegóły są wyświetlane tylko dla naliczeń opłat."));
        return;
    }
    if (!m_service.QueryDocumentDetails(CheckedAt(m_ksgID_Dok_Master, r), m_kontoKsg, m_year))
        return;
    const Account &account = m_service.AccountData();
    TForm_NalCzynszDtl::Open(anchor.x(), anchor.y(), GridGeometry::kRowHeight, account.DokData, account.Data,
                             account.Session);
}

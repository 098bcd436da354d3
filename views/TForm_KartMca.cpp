#include "views/TForm_KartMca.h"

#include "account/Account.h"
#include "account/CsvExports.h"
#include "account/DisplayTexts.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "forms/ProgramColours.h"
#include "reports/TPrn_KartMca.h"
#include "service/AccountService.h"
#include "views/SpreadsheetExport.h"
#include "views/TFrame_InfoDokTabela.h"
#include "views/ToolbarButton.h"
#include "views/WindowPlacement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>

#include <algorithm>

namespace {

constexpr int kToolsHeight = 41;
constexpr int kBottomHeight = 40;
constexpr int kTitleHeight = 37;
constexpr int kTableTop = 49;

QLabel *TitleLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry, bool bold)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setPixelSize(16);
    f.setBold(bold);
    label->setFont(f);
    if (geometry.width() > 0)
        label->setGeometry(geometry);
    else {
        label->adjustSize();
        label->move(geometry.topLeft());
    }
    return label;
}

} // namespace

TForm_KartMca::TForm_KartMca(int year, int month, int category, QWidget *owner, AccountService &service,
                             const TU_WEBServiceKsgData &ledger, const AccountState &opening)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form_KartMca"));
    setWindowTitle(QStringLiteral("Kartoteka miesięczna"));
    QFont font = this->font();
    font.setPixelSize(13);
    setFont(font);

    auto *panelTools = new QWidget(this);
    panelTools->setObjectName(QStringLiteral("PanelTools"));
    auto *buttonPrint = ToolbarButton(panelTools, QStringLiteral("ButtonPrint"), QStringLiteral("Drukuj kartotekę"),
                                      QStringLiteral("BUT_PRINT"), 32);
    auto *buttonPreview
        = ToolbarButton(panelTools, QStringLiteral("ButtonPreview"), QStringLiteral("Podgląd wydruku kartoteki"),
                        QStringLiteral("BUT_PRINT_PREVIEW"), 71);
    connect(buttonPrint, &TWSpeedButton::OnClick, this, &TForm_KartMca::ButtonPrintClick);
    connect(buttonPreview, &TWSpeedButton::OnClick, this, &TForm_KartMca::ButtonPreviewClick);

    auto *panelInfo = new QWidget(this);
    panelInfo->setObjectName(QStringLiteral("PanelInfo"));
    auto *panelTytul = new QWidget(panelInfo);
    panelTytul->setObjectName(QStringLiteral("Panel_Tytul"));
    QPalette aqua = panelTytul->palette();
    aqua.setColor(QPalette::Window, kColourAqua);
    panelTytul->setPalette(aqua);
    panelTytul->setAutoFillBackground(true);
    const QLabel *labTytul = TitleLabel(panelTytul, QStringLiteral("Lab_Tytul"),
                                        QStringLiteral("Kartoteka rozrachunkowa: "), QRect(49, 10, 0, 0), false);
    // At 252, or right after the title when the font makes it wider.
    const int kontoLeft = std::max(252, labTytul->geometry().right() + 6);
    TitleLabel(panelTytul, QStringLiteral("Lab_Opis_KontoKsg"), CategoryText(category),
               QRect(kontoLeft, 10, std::min(173, 492 - 6 - kontoLeft), 20), true);
    TitleLabel(panelTytul, QStringLiteral("Lab_Tytul_Mc"), QStringLiteral("Miesiąc:"), QRect(492, 7, 0, 0), false);
    TitleLabel(panelTytul, QStringLiteral("Lab_OpisOkres"), MonthYearText(year, month), QRect(577, 7, 202, 20), true);

    m_table = new TFrame_InfoDokTabela(service, panelInfo);
    m_table->move(0, kTableTop);
    m_table->LoadDocuments(year, month, ledger, opening, category);

    auto *panelBottom = new QWidget(this);
    panelBottom->setObjectName(QStringLiteral("PanelBottom"));
    m_buttonClose = new TWBitBtn(QStringLiteral("&Zamknij"), panelBottom);
    m_buttonClose->setObjectName(QStringLiteral("ButtonClose"));
    m_buttonClose->SetGlyph(QStringLiteral("BUT_CLOSE"));
    m_buttonClose->setGeometry(20, 6, 120, 27);
    m_buttonClose->setAutoDefault(false);
    connect(m_buttonClose, &TWBitBtn::OnClick, this, &TForm_KartMca::ButtonCloseClick);

    // Sized to the table.
    const int width = 2 * m_table->x() + m_table->width() + 20;
    const int height = kToolsHeight + kTableTop + m_table->height() + kBottomHeight;
    setFixedSize(width, height);
    panelTools->setGeometry(0, 0, width, kToolsHeight);
    panelInfo->setGeometry(0, kToolsHeight, width, height - kToolsHeight - kBottomHeight);
    panelTytul->setGeometry(0, 0, width, kTitleHeight);
    panelBottom->setGeometry(0, height - kBottomHeight, width, kBottomHeight);

    // Down and right of the owner, or centred when that would run off screen.
    if (QWidget *ownerWindow = owner ? owner->window() : nullptr) {
        const QScreen *screen = ownerWindow->screen();
        const QRect area = screen ? screen->geometry() : QRect();
        // The test for the screen's edge takes the whole window, borders included.
        const QMargins frame = WindowFrameMargins(ownerWindow, this);
        move(MonthCardPosition(ownerWindow->pos(), CaptionStep(this), area, frame.left() + width + frame.right()));
    }

    // The printout reads the same ledger as the window.
    const Account &account = service.AccountData();
    m_report = std::make_unique<TPrn_KartMca>(ledger, account.Data, account.Session);

    // The card's rows for a spreadsheet, as the table shows them now.
    auto *buttonCsv = SpreadsheetButton(panelTools, this, 110);
    connect(buttonCsv, &TWSpeedButton::OnClick, this,
            [this, table = MonthCardCsv(ledger, m_table->Figures()),
             name = CsvFileName(QStringLiteral("kartoteka"), year, category, month)] {
                SaveSpreadsheet(this, table, name);
            });

    m_table->SG_Dok()->setFocus();
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

TForm_KartMca::~TForm_KartMca() = default;

void TForm_KartMca::Open(int year, int month, int category, QWidget *owner, AccountService &service,
                         const TU_WEBServiceKsgData &ledger, const AccountState &opening)
{
    TForm_KartMca form(year, month, category, owner, service, ledger, opening);
    form.exec();
}

void TForm_KartMca::ButtonCloseClick()
{
    reject();
}

void TForm_KartMca::ButtonPrintClick()
{
    m_report->PrintReport();
}

void TForm_KartMca::ButtonPreviewClick()
{
    m_report->PreviewReport();
}

bool TForm_KartMca::FormKeyDown(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: m_table->SG_DokDblClick(); return true;
    case Qt::Key_Escape: m_buttonClose->Click(); return true;
    default: return false;
    }
}

bool TForm_KartMca::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() && FormKeyDown(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TForm_KartMca::keyPressEvent(QKeyEvent *event)
{
    if (!FormKeyDown(event))
        QDialog::keyPressEvent(event);
}

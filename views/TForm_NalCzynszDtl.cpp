#include "views/TForm_NalCzynszDtl.h"

#include "account/ChargePeriod.h"
#include "account/CsvExports.h"
#include "account/DisplayTexts.h"
#include "account/TU_WEBServiceDokData.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "forms/ProgramColours.h"
#include "reports/TPrn_NalCzynszDtl.h"
#include "views/LabelLook.h"
#include "views/SpreadsheetExport.h"
#include "views/TFrame_InfoCzynszTabela.h"
#include "views/ToolbarButton.h"
#include "views/WindowPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kToolsHeight = 41;
constexpr int kBottomHeight = 40;
constexpr int kTitleHeight = 100;
constexpr int kTitleStripHeight = 50;
constexpr int kTableLeft = 10;
constexpr int kTableTop = 105;

} // namespace

TForm_NalCzynszDtl::TForm_NalCzynszDtl(int anchorX, int anchorY, int rowHeight, const TU_WEBServiceDokData &details,
                                       const TU_WEBServiceData &yearData, const TU_WEBServiceSession &session)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form_NalCzynszDtl"));
    setWindowTitle(QStringLiteral("Szczegóły naliczenia obciążenia"));
    QFont font = this->font();
    font.setPixelSize(13);
    setFont(font);
    move(anchorX, anchorY);

    auto *panelTools = new QWidget(this);
    panelTools->setObjectName(QStringLiteral("PanelTools"));
    auto *buttonPrint = ToolbarButton(panelTools, QStringLiteral("ButtonPrint"),
                                      QStringLiteral("Drukuj naliczenie obciążenia"), QStringLiteral("BUT_PRINT"), 32);
    auto *buttonPreview = ToolbarButton(panelTools, QStringLiteral("ButtonPreview"),
                                        QStringLiteral("Podgląd wydruku naliczenia obciążenia"),
                                        QStringLiteral("BUT_PRINT_PREVIEW"), 71);
    connect(buttonPrint, &TWSpeedButton::OnClick, this, &TForm_NalCzynszDtl::ButtonPrintClick);
    connect(buttonPreview, &TWSpeedButton::OnClick, this, &TForm_NalCzynszDtl::ButtonPreviewClick);

    const bool partialMonth = IsPartialMonth(details.DataNalFrom, details.DataNalTo);

    auto *panelInfo = new QWidget(this);
    panelInfo->setObjectName(QStringLiteral("PanelInfo"));
    auto *panelTytul = new QWidget(panelInfo);
    panelTytul->setObjectName(QStringLiteral("Panel_Tytul"));
    QPalette tip = panelTytul->palette();
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    panelTytul->setPalette(tip);
    panelTytul->setAutoFillBackground(true);
    auto *panelTytulGl = new QWidget(panelTytul);
    panelTytulGl->setObjectName(QStringLiteral("PanelTytulGl"));
    panelTytulGl->setGeometry(0, 0, 986, kTitleStripHeight);
    QPalette aqua = panelTytulGl->palette();
    aqua.setColor(QPalette::Window, kColourAqua);
    panelTytulGl->setPalette(aqua);
    panelTytulGl->setAutoFillBackground(true);

    const QColor navy = kColourNavy;
    QLabel *labTytul = AddLabel(panelTytulGl, QStringLiteral("Lab_Tytul"), QStringLiteral("Obciążenie:"),
                                QRect(30, 10, 0, 0), {.colour = navy, .pixelSize = 16});
    auto *labTrescOper = new QLabel(details.TrescOper, panelTytulGl);
    labTrescOper->setObjectName(QStringLiteral("Lab_TrescOper"));
    QFont titleFont = labTrescOper->font();
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    labTrescOper->setFont(titleFont);
    labTrescOper->setWordWrap(true);
    labTrescOper->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labTrescOper->setGeometry(134, 10, 537, 20);
    // A text wider than the label wraps onto a second line; both labels stay centred in the strip.
    const int textWidth = QFontMetrics(labTrescOper->font()).horizontalAdvance(details.TrescOper);
    if (textWidth > labTrescOper->width())
        labTrescOper->resize(labTrescOper->width(), 2 * labTrescOper->height());
    const int titleTop = (kTitleStripHeight - labTrescOper->height()) / 2;
    labTrescOper->move(labTrescOper->x(), titleTop);
    labTytul->move(labTytul->x(), titleTop);

    const QLabel *dataOperOpis = AddLabel(panelTytul, QStringLiteral("Lab_DataOperOpis"),
                                          QStringLiteral("Data operacji:"), QRect(30, 57, 0, 0), {.colour = navy});
    const QLabel *terminOpis = AddLabel(panelTytul, QStringLiteral("Lab_TerminPlatnOpis"),
                                        QStringLiteral("Termin płatności:"), QRect(30, 76, 0, 0), {.colour = navy});
    // The values stand at 140, or further right when the font makes a caption wider.
    const int valueLeft = std::max({140, dataOperOpis->geometry().right() + 6, terminOpis->geometry().right() + 6});
    AddLabel(panelTytul, QStringLiteral("Lab_DataOper"), ShortDateText(details.DataOperacji),
             QRect(valueLeft, 57, 0, 0), {.bold = true});
    AddLabel(panelTytul, QStringLiteral("Lab_TerminPlatn"), ShortDateText(details.DataOperRozrach),
             QRect(valueLeft, 76, 0, 0), {.bold = true});
    // Right-aligned, ending at 374; a wider caption grows to the left.
    QLabel *labTytulOkres = AddLabel(panelTytul, QStringLiteral("Lab_TytulOkres"),
                                     QStringLiteral("Obciążenie za okres:"), QRect(249, 57, 0, 0), {.colour = navy});
    const int okresWidth = std::max(125, labTytulOkres->width());
    labTytulOkres->setGeometry(249 + 125 - okresWidth, 57, okresWidth, labTytulOkres->height());
    labTytulOkres->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AddLabel(panelTytul, QStringLiteral("Lab_Okres"),
             ShortDateText(details.DataNalFrom) + QStringLiteral(" - ") + ShortDateText(details.DataNalTo),
             QRect(377, 57, 0, 0), {.bold = true});

    m_table = new TFrame_InfoCzynszTabela(panelInfo);
    m_table->move(kTableLeft, kTableTop);
    m_table->LoadComponents(details.ZasobKind, details.SklNumber, partialMonth, details);

    auto *panelBottom = new QWidget(this);
    panelBottom->setObjectName(QStringLiteral("PanelBottom"));
    m_buttonClose = new TWBitBtn(QStringLiteral("&Zamknij"), panelBottom);
    m_buttonClose->setObjectName(QStringLiteral("ButtonClose"));
    m_buttonClose->SetGlyph(QStringLiteral("BUT_CLOSE"));
    m_buttonClose->setToolTip(QStringLiteral("Zamyka okno"));
    m_buttonClose->setGeometry(20, 6, 120, 27);
    m_buttonClose->setAutoDefault(false);
    connect(m_buttonClose, &TWBitBtn::OnClick, this, &TForm_NalCzynszDtl::ButtonCloseClick);

    // Sized to the table, and wide enough for the operation text.
    const int textRight = labTrescOper->x() + std::min(textWidth, labTrescOper->width());
    const int width = std::max(2 * m_table->x() + m_table->width() + 20, textRight + 10);
    const int height = kToolsHeight + kTableTop + m_table->height() + kBottomHeight;
    setFixedSize(width, height);
    panelTools->setGeometry(0, 0, width, kToolsHeight);
    panelInfo->setGeometry(0, kToolsHeight, width, height - kToolsHeight - kBottomHeight);
    panelTytul->setGeometry(0, 0, width, kTitleHeight);
    panelBottom->setGeometry(0, height - kBottomHeight, width, kBottomHeight);

    // Above the clicked row when the bottom would leave the screen; the left
    // edge stays at the anchor.
    const QScreen *screen = QGuiApplication::screenAt(QPoint(anchorX, anchorY));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    // The window's bottom is that of its frame: the title bar counts, or
    // "Zamknij" could end below the screen.
    const QMargins frame = WindowFrameMargins(QApplication::activeWindow(), this);
    if (screen)
        move(anchorX, ChargeDetailTop(anchorY, frame.top() + height + frame.bottom(), rowHeight, screen->geometry()));

    // The printout reads the same details as the window.
    m_report = std::make_unique<TPrn_NalCzynszDtl>(details, yearData, session);

    // The components for a spreadsheet, as the window shows them now.
    auto *buttonCsv = SpreadsheetButton(panelTools, this, 110);
    connect(buttonCsv, &TWSpeedButton::OnClick, this,
            [this, table = ChargeDetailCsv(details),
             name = QStringLiteral("naliczenie-%1.csv").arg(CsvDate(details.DataOperacji))] {
                SaveSpreadsheet(this, table, name);
            });
}

TForm_NalCzynszDtl::~TForm_NalCzynszDtl() = default;

void TForm_NalCzynszDtl::Open(int anchorX, int anchorY, int rowHeight, const TU_WEBServiceDokData &details,
                              const TU_WEBServiceData &yearData, const TU_WEBServiceSession &session)
{
    TForm_NalCzynszDtl form(anchorX, anchorY, rowHeight, details, yearData, session);
    form.exec();
}

void TForm_NalCzynszDtl::ButtonCloseClick()
{
    reject();
}

void TForm_NalCzynszDtl::ButtonPrintClick()
{
    m_report->PrintReport();
}

void TForm_NalCzynszDtl::ButtonPreviewClick()
{
    m_report->PreviewReport();
}

void TForm_NalCzynszDtl::keyPressEvent(QKeyEvent *event)
{
    // Esc presses the close button, as a cancel button.
    if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        m_buttonClose->Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

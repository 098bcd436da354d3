#include "app/dialogs/TForm_YearForShowChange.h"

#include "common/Cursors.h"
#include "controls/ProgramGlyph.h"
#include "service/AccountService.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kClientWidth = 372;
constexpr int kClientHeight = 377;
constexpr int kMaxYearsOffered = 4;
constexpr int kItemHeight = 40;

QFrame *separatorLine(QWidget *parent, const QString &name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

YearChoice YearChoice::Limited(int first, int last)
{
    YearChoice choice{first, last};
    if (last - kMaxYearsOffered >= first)
        choice.YearFrom = last - (kMaxYearsOffered - 1);
    return choice;
}

QStringList YearChoice::Items() const
{
    QStringList items;
    for (int year = YearFrom; year <= YearTo; ++year)
        items << u" rok "_s + QString::number(year);
    return items;
}

int YearChoice::InitialIndex(int shownYear) const
{
    const int index = shownYear - YearFrom;
    const int count = YearTo >= YearFrom ? YearTo - YearFrom + 1 : 0;
    return index < 0 || index >= count ? 0 : index;
}

TForm_YearForShowChange::TForm_YearForShowChange(QWidget *owner, AccountService &service, int &shownYear, int yearTo,
                                                 int yearFrom, std::function<void()> refreshPanel)
    : TForm_Gen_Ex(owner,
                   Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowCloseButtonHint),
      m_service(service),
      m_choice(YearChoice::Limited(yearFrom, yearTo)),
      m_shownYear(shownYear),
      m_yearBefore(shownYear),
      m_refreshPanel(std::move(refreshPanel))
{
    setObjectName(u"Form_YearForShowChange"_s);
    setWindowTitle(u"Zmiana roku rozrachunków"_s);
    SetEnterAsTab(false);
    BuildLayout();
    m_listBoxSelect->addItems(m_choice.Items());
    // Each item is its text at the top left of its tall row.
    for (int i = 0; i < m_listBoxSelect->count(); ++i) {
        m_listBoxSelect->item(i)->setSizeHint(QSize(0, kItemHeight));
        m_listBoxSelect->item(i)->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
}

void TForm_YearForShowChange::BuildLayout()
{
    setFixedSize(kClientWidth, kClientHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *panelTitel = new QWidget(this);
    panelTitel->setObjectName(u"Panel_Titel"_s);
    panelTitel->setFixedHeight(50);
    auto *titelLayout = new QVBoxLayout(panelTitel);
    titelLayout->setContentsMargins(0, 0, 0, 0);
    auto *labTitel = new QLabel(u"Proszę wybrać rok rozrachunków"_s, panelTitel);
    labTitel->setObjectName(u"Lab_Titel"_s);
    QFont titleFont = font();
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    labTitel->setFont(titleFont);
    QPalette titlePalette = labTitel->palette();
    titlePalette.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    labTitel->setPalette(titlePalette);
    labTitel->setForegroundRole(QPalette::WindowText);
    labTitel->setAlignment(Qt::AlignCenter);
    titelLayout->addWidget(labTitel, 1);
    titelLayout->addWidget(separatorLine(panelTitel, u"Bevel3"_s));
    layout->addWidget(panelTitel);

    auto *panelSelect = new QWidget(this);
    panelSelect->setObjectName(u"Panel_Select"_s);
    auto *selectLayout = new QHBoxLayout(panelSelect);
    selectLayout->setContentsMargins(12, 6, 13, 6);
    auto *panelSelectMain = new QFrame(panelSelect);
    panelSelectMain->setObjectName(u"Panel_Select_Main"_s);
    panelSelectMain->setBackgroundRole(QPalette::Window);
    panelSelectMain->setAutoFillBackground(true);
    QPalette aqua = panelSelectMain->palette();
    aqua.setColor(QPalette::Window, QColor(0x00, 0xFF, 0xFF));
    aqua.setColor(QPalette::Base, QColor(0x00, 0xFF, 0xFF));
    panelSelectMain->setPalette(aqua);
    auto *mainLayout = new QVBoxLayout(panelSelectMain);
    mainLayout->setContentsMargins(10, 10, 10, 10);
    m_listBoxSelect = new QListWidget(panelSelectMain);
    m_listBoxSelect->setObjectName(u"ListBoxSelect"_s);
    m_listBoxSelect->setFrameShape(QFrame::NoFrame);
    m_listBoxSelect->setUniformItemSizes(true);
    QFont listFont = font();
    listFont.setPixelSize(13);
    listFont.setBold(true);
    m_listBoxSelect->setFont(listFont);
    m_listBoxSelect->installEventFilter(this);
    mainLayout->addWidget(m_listBoxSelect);
    selectLayout->addWidget(panelSelectMain);
    layout->addWidget(panelSelect, 1);

    auto *panelButtons = new QWidget(this);
    panelButtons->setObjectName(u"Panel_Buttons"_s);
    panelButtons->setFixedHeight(41);
    auto *buttonsLayout = new QVBoxLayout(panelButtons);
    buttonsLayout->setContentsMargins(0, 0, 0, 4);
    buttonsLayout->addWidget(separatorLine(panelButtons, u"Bevel2"_s));
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    m_buttonOK = new QPushButton(ProgramGlyph(u"BUT_OK"_s), u"&Ok"_s, panelButtons);
    m_buttonOK->setObjectName(u"ButtonOK"_s);
    m_buttonOK->setToolTip(u"Wybór aktualnie wskazanego roku"_s);
    m_buttonCancel = new QPushButton(ProgramGlyph(u"BUT_CANCEL"_s), u"&Anuluj"_s, panelButtons);
    m_buttonCancel->setObjectName(u"ButtonCancel"_s);
    m_buttonCancel->setToolTip(u"Anulowanie zmiany roku"_s);
    for (QPushButton *button : {m_buttonOK, m_buttonCancel}) {
        button->setMinimumWidth(100);
        row->addWidget(button);
    }
    row->addStretch(1);
    buttonsLayout->addLayout(row);
    layout->addWidget(panelButtons);

    SetCancelButton(m_buttonCancel);
    connect(m_buttonOK, &QPushButton::clicked, this, &TForm_YearForShowChange::ListBoxSelectDblClick);
    connect(m_buttonCancel, &QPushButton::clicked, this, &TForm_YearForShowChange::ButtonCancelClick);
    connect(m_listBoxSelect, &QListWidget::itemDoubleClicked, this, &TForm_YearForShowChange::ListBoxSelectDblClick);
}

void TForm_YearForShowChange::showEvent(QShowEvent *event)
{
    TForm_Gen_Ex::showEvent(event);
    m_listBoxSelect->setFocus(Qt::OtherFocusReason);
    if (m_listBoxSelect->count() > 0)
        m_listBoxSelect->setCurrentRow(m_choice.InitialIndex(m_shownYear));
}

bool TForm_YearForShowChange::eventFilter(QObject *watched, QEvent *event)
{
    // ListBoxSelectKeyDown: Enter in the list chooses, other keys are the list's.
    if (watched == m_listBoxSelect && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ListBoxSelectDblClick();
            return true;
        }
    }
    return TForm_Gen_Ex::eventFilter(watched, event);
}

void TForm_YearForShowChange::ListBoxSelectDblClick()
{
    if (m_listBoxSelect->count() > 0)
        ChooseSelectedYear();
}

void TForm_YearForShowChange::ButtonCancelClick()
{
    done(Aborted);
}

void TForm_YearForShowChange::ChooseSelectedYear()
{
    const int index = std::max(0, m_listBoxSelect->currentRow());
    const int year = m_choice.YearFrom + index;
    m_shownYear = year;
    if (m_service.QueryYearSettlements(year)) {
        if (m_refreshPanel)
            m_refreshPanel();
        done(QDialog::Accepted);
        return;
    }
    // Whatever went wrong has been told; the panel still shows the year before.
    m_shownYear = m_yearBefore;
    done(Aborted);
}

bool ShowYearDialog(QWidget *owner, AccountService &service, int first, int last, int &shownYear,
                    std::function<void()> refreshPanel)
{
    const auto dialog
        = std::make_unique<TForm_YearForShowChange>(owner, service, shownYear, last, first, std::move(refreshPanel));
    return dialog->exec() == QDialog::Accepted && shownYear != dialog->YearBefore();
}

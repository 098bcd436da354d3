#include "app/TForm_ZOKA_WSClient_Main.h"

#include "account/Account.h"
#include "app/AccountHeader.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_MessUpdateNecessary.h"
#include "app/dialogs/TForm_YearForShowChange.h"
#include "common/Messages.h"
#include "controls/TWBitBtn.h"
#include "controls/TWSpeedButton.h"
#include "protocol/ServiceAddress.h"
#include "protocol/THTTPRIO.h"
#include "service/ApplicationTerminate.h"
#include "service/ServiceAccess.h"
#include "views/SessionStrip.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kClientWidth = 791;
constexpr int kClientHeight = 737;
const QColor kAqua(0x00, 0xFF, 0xFF);
// The system's inactive-caption gradient colour.
const QColor kInactiveCaptionGradient(0xD7, 0xE4, 0xF2);

QWidget *colouredPanel(QWidget *parent, const QString &name, const QColor &colour)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(name);
    // The window's own background is the button face; the panel has its colour.
    panel->setBackgroundRole(QPalette::Window);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
    return panel;
}

QLabel *headerLabel(QWidget *parent, const QString &name, const QString &text, bool bold, bool underlined = false)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setPixelSize(14);
    f.setBold(bold);
    f.setUnderline(underlined);
    label->setFont(f);
    return label;
}

} // namespace

TForm_ZOKA_WSClient_Main::TForm_ZOKA_WSClient_Main(Account &account, QWidget *parent)
    : TForm_Gen_Ex(parent, Qt::Window), m_account(account), m_service(account)
{
    m_httprio = new THTTPRIO(this);
    m_httprio->setObjectName(u"HTTPRIO1"_s);
    m_httprio->SetURL(ServiceURL());

    setObjectName(u"Form_ZOKA_WSClient_Main"_s);
    setWindowTitle(u"Internetowy serwis użytkownika"_s + u' ' + ApplicationTitle());
    BuildLayout();
    // The strip comes on top of the designed client area.
    resize(kClientWidth, kClientHeight + m_strip->height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_service.SetService(m_httprio->GetIZOKA_E_BOK());

    SetUpdateNoticeHandler([this] {
        TForm_MessUpdateNecessary notice(ServerAddress(), this);
        notice.exec();
    });
    m_account.Session.Clear();

    m_notice = new SessionNotice(this);
    connect(m_notice, &SessionNotice::RenewRequested, this, &TForm_ZOKA_WSClient_Main::RenewFromNotice);
    connect(m_notice, &SessionNotice::Dismissed, this, [this] { m_countdown.DismissNotice(m_account.Session); });
    m_sessionTimer = new QTimer(this);
    m_sessionTimer->setInterval(1000);
    connect(m_sessionTimer, &QTimer::timeout, this, &TForm_ZOKA_WSClient_Main::UpdateSessionTime);
    m_sessionTimer->start();
}

void TForm_ZOKA_WSClient_Main::OpenServiceConnection()
{
    m_httprio->Preconnect();
}

TForm_ZOKA_WSClient_Main::~TForm_ZOKA_WSClient_Main()
{
    SetUpdateNoticeHandler({});
}

void TForm_ZOKA_WSClient_Main::BuildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // The header has no room beside it: the strip is the window's first row.
    m_strip = new SessionStrip(this);
    layout->addWidget(m_strip);
    layout->addWidget(BuildFunctionPanel());
    layout->addWidget(BuildHeaderPanel());
    layout->addWidget(BuildMainPanel(), 1);
}

QWidget *TForm_ZOKA_WSClient_Main::BuildFunctionPanel()
{
    QWidget *panel = colouredPanel(this, u"PanelFunkcji"_s, kAqua);
    panel->setFixedHeight(49);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 9, 6, 9);
    row->setSpacing(4);
    auto add = [&](const QString &name, const QString &caption, const QString &glyph,
                   void (TForm_ZOKA_WSClient_Main::*handler)()) {
        auto *button = new TWSpeedButton(caption, panel);
        button->setObjectName(name);
        button->SetGlyph(glyph);
        button->setFixedHeight(31);
        connect(button, &TWSpeedButton::OnClick, this, handler);
        row->addWidget(button);
        return button;
    };
    m_sButtonRelogin = add(u"SButton_Relogin"_s, u"&Odnowienie sesji"_s, u"BUT_LOAD"_s,
                           &TForm_ZOKA_WSClient_Main::SButton_ReloginClick);
    m_sButtonChangePasword = add(u"SButton_ChangePasword"_s, u"Zmiana &hasła"_s, u"BUT_MODIFY"_s,
                                 &TForm_ZOKA_WSClient_Main::SButton_ChangePaswordClick);
    m_sButtonLogout
        = add(u"SButton_Logout"_s, u"&Wylogowanie"_s, u"BUT_LOCK"_s, &TForm_ZOKA_WSClient_Main::SButton_LogoutClick);
    m_sButtonLogin
        = add(u"SButton_Login"_s, u"&Logowanie"_s, u"BUT_EXPLORE"_s, &TForm_ZOKA_WSClient_Main::SButton_LoginClick);
    m_sButtonExit = add(u"SButton_Exit"_s, u"&Koniec"_s, u"BUT_CLOSE"_s, &TForm_ZOKA_WSClient_Main::SButton_ExitClick);
    row->addStretch(1);
    return panel;
}

QWidget *TForm_ZOKA_WSClient_Main::BuildHeaderPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(u"PanelHeader"_s);
    panel->setFixedHeight(135);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 6, 6, 6);

    QWidget *user = colouredPanel(panel, u"PanelHeaderUser"_s, kInactiveCaptionGradient);
    user->setFixedWidth(355);
    headerLabel(user, u"Lab_Kartoteka"_s, u"Kartoteka:"_s, false, true)->move(10, 6);
    m_labZasobUlicaNr = headerLabel(user, u"Lab_ZasobUlicaNr"_s, u"xx"_s, true);
    m_labZasobMiejsc = headerLabel(user, u"Lab_ZasobMiejsc"_s, u"xx"_s, true);
    m_labUser1Name = headerLabel(user, u"Lab_User1Name"_s, u"xx"_s, true);
    m_labUser2Name = headerLabel(user, u"Lab_User2Name"_s, u"xx"_s, true);
    int top = 30;
    for (QLabel *label : {m_labZasobUlicaNr, m_labZasobMiejsc, m_labUser1Name, m_labUser2Name}) {
        label->setGeometry(20, top, 355 - 28, 20);
        top += label == m_labZasobMiejsc ? 28 : 20;
    }

    QWidget *firma = colouredPanel(panel, u"PanelHeaderFirma"_s, kInactiveCaptionGradient);
    firma->setFixedWidth(413);
    m_labFirma = headerLabel(firma, u"Lab_Firma"_s, u"Lab_Firma"_s, false, true);
    m_labFirma->setGeometry(10, 6, 413 - 18, 20);
    m_labFirmaName = headerLabel(firma, u"Lab_FirmaName"_s, u"xx"_s, true);
    m_labFirmaName->setWordWrap(true);
    m_labFirmaName->setGeometry(20, 30, 413 - 28, 20);
    m_labFirmaAdress = headerLabel(firma, u"Lab_FirmaAdress"_s, u"xx"_s, true);
    m_labFirmaAdress->setGeometry(20, 54, 413 - 28, 20);

    row->addWidget(user);
    row->addStretch(1);
    row->addWidget(firma);
    return panel;
}

QWidget *TForm_ZOKA_WSClient_Main::BuildMainPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(u"PanelMain"_s);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(6, 0, 6, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);

    m_frame = new TFrame_InfoRozrZasob(m_service, panel);
    m_frame->setMinimumSize(593, 440);
    grid->addWidget(m_frame, 0, 0);

    auto *side = new QVBoxLayout;
    m_sButtonYear = new TWSpeedButton(u"Zmiana &roku"_s, panel);
    m_sButtonYear->setObjectName(u"SButton_Year"_s);
    m_sButtonYear->SetGlyph(u"BUT_CALENDAR"_s);
    m_sButtonYear->setFixedHeight(31);
    connect(m_sButtonYear, &TWSpeedButton::OnClick, this, &TForm_ZOKA_WSClient_Main::SButton_YearClick);
    side->addSpacing(6);
    side->addWidget(m_sButtonYear);
    // Created for the layout's sake; this program never shows or enables them.
    for (const QString &name : {u"WBitBtn1"_s, u"WBitBtn2"_s, u"WBitBtn3"_s}) {
        auto *button = new TWBitBtn(panel);
        button->setObjectName(name);
        button->setEnabled(false);
        button->hide();
        side->addWidget(button);
    }
    side->addStretch(1);
    grid->addLayout(side, 0, 1);

    auto *saldaInfo = new QFrame(panel);
    saldaInfo->setObjectName(u"PanelSaldaInfo"_s);
    saldaInfo->setFrameShape(QFrame::Box);
    saldaInfo->setBackgroundRole(QPalette::Window);
    saldaInfo->setAutoFillBackground(true);
    QPalette white = saldaInfo->palette();
    white.setColor(QPalette::Window, Qt::white);
    saldaInfo->setPalette(white);
    saldaInfo->setFixedSize(577, 50);
    m_panelSaldaInfo = saldaInfo;
    auto *border = new QVBoxLayout(m_panelSaldaInfo);
    border->setContentsMargins(4, 2, 4, 2);
    m_labSaldaInfo = new QLabel(m_panelSaldaInfo);
    m_labSaldaInfo->setObjectName(u"LabSaldaInfo"_s);
    m_labSaldaInfo->setWordWrap(true);
    m_labSaldaInfo->setForegroundRole(QPalette::WindowText);
    QFont f = m_labSaldaInfo->font();
    f.setPixelSize(13);
    f.setBold(true);
    m_labSaldaInfo->setFont(f);
    QPalette red = m_labSaldaInfo->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    m_labSaldaInfo->setPalette(red);
    border->addWidget(m_labSaldaInfo);
    grid->addWidget(m_panelSaldaInfo, 1, 0, Qt::AlignLeft);
    grid->setRowStretch(0, 1);
    return panel;
}

bool TForm_ZOKA_WSClient_Main::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return TForm_Gen_Ex::event(e);
}

void TForm_ZOKA_WSClient_Main::showEvent(QShowEvent *event)
{
    TForm_Gen_Ex::showEvent(event);
    ShowArrowCursor();
    if (QWidget *pages = m_frame->PageControl1())
        pages->setFocus(Qt::OtherFocusReason);
}

void TForm_ZOKA_WSClient_Main::closeEvent(QCloseEvent *event)
{
    // No table may keep a report that is gone.
    m_frame->DestroyReports();
    TForm_Gen_Ex::closeEvent(event);
}

void TForm_ZOKA_WSClient_Main::FormActivate()
{
    // The opening sequence runs once. It runs after the activation has been
    // delivered, so that its dialogs do not open inside the activation itself;
    // activations while it runs (a dialog closing) find it started.
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    QTimer::singleShot(0, this, &TForm_ZOKA_WSClient_Main::RunOpeningSequence);
}

void TForm_ZOKA_WSClient_Main::RunOpeningSequence()
{
    // A refused version has told the user and asked the application to end.
    if (!m_service.CheckClientVersion())
        return;
    if (!ShowLoginDialog(this, lmLogin, m_service)) {
        RequestApplicationTerminate();
        return;
    }
    ShowAfterLogin();
}

void TForm_ZOKA_WSClient_Main::ShowAfterLogin()
{
    ShowHeader();
    ShowOtherSettlementsInfo();
    ShowYearData();
    ShowBalanceSummary();
    UpdateSessionTime();
}

void TForm_ZOKA_WSClient_Main::ShowBalanceSummary()
{
    if (auto summary = BalanceSummary::FromStore(m_account.Data, m_account.Session.ServiceDate))
        m_summary = std::move(summary);
    m_strip->ShowSummary(m_summary);
}

void TForm_ZOKA_WSClient_Main::UpdateSessionTime()
{
    const SessionCountdown::View view = m_countdown.Tick(m_account.Session);
    m_strip->ShowCountdown(view);
    m_notice->ShowView(view);
}

void TForm_ZOKA_WSClient_Main::RenewFromNotice()
{
    if (m_account.Session.CheckCanRenew())
        ShowLoginDialog(this, lmRelogin, m_service);
    ShowHeader();
    UpdateSessionTime();
}

void TForm_ZOKA_WSClient_Main::ShowHeader()
{
    const std::optional<AccountHeaderTexts> texts = AccountHeaderTexts::FromSession(m_account.Session);
    if (!texts)
        return;
    m_labFirmaName->setText(texts->FirmaName);
    m_labFirmaName->setFixedHeight(m_labFirmaName->heightForWidth(m_labFirmaName->width()));
    m_labFirmaAdress->setText(texts->FirmaAdress);
    m_labFirmaAdress->move(m_labFirmaAdress->x(), m_labFirmaName->geometry().bottom() + 1 + 4);
    m_labFirma->setText(texts->Firma);
    m_labZasobUlicaNr->setText(texts->ZasobUlicaNr);
    m_labZasobMiejsc->setText(texts->ZasobMiejsc);
    m_labUser1Name->setText(texts->User1Name);
    m_labUser2Name->setText(texts->User2Name);
}

void TForm_ZOKA_WSClient_Main::ShowOtherSettlementsInfo()
{
    const OtherSettlementsNotice notice = OtherSettlementsNotice::For(m_account.Data.SaldaOtherKnt_InfoHandlingKind,
                                                                      m_account.Data.SaldaWNOtherKnt_ShowF);
    if (notice.Text) {
        m_labSaldaInfo->setText(*notice.Text);
        QPalette palette = m_labSaldaInfo->palette();
        palette.setColor(QPalette::WindowText, notice.Colour);
        m_labSaldaInfo->setPalette(palette);
    }
    m_panelSaldaInfo->setVisible(notice.Visible);
}

void TForm_ZOKA_WSClient_Main::ShowYearData()
{
    m_frame->ShowSettlements(TSettlementsYear::FromStore(m_account.Data));
}

void TForm_ZOKA_WSClient_Main::FormKeyDown(QWidget *sender, int &key, Qt::KeyboardModifiers shift)
{
    TForm_Gen_Ex::FormKeyDown(sender, key, shift);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: m_frame->OpenSelectedMonth(); break;
    case Qt::Key_End: m_frame->SelectLastMonth(); break;
    case Qt::Key_Home: m_frame->SelectFirstMonth(); break;
    case Qt::Key_Up: m_frame->SelectPreviousMonth(); break;
    case Qt::Key_Down: m_frame->SelectNextMonth(); break;
    default: return;
    }
    key = 0;
}

void TForm_ZOKA_WSClient_Main::SButton_ReloginClick()
{
    if (m_account.Session.CheckCanRenew() && AskConfirmation(u"Czy rzeczywiście chcesz odnowić sesję serwisu?"_s, this))
        ShowLoginDialog(this, lmRelogin, m_service);
    ShowHeader();
    UpdateSessionTime();
}

void TForm_ZOKA_WSClient_Main::SButton_ChangePaswordClick()
{
    if (m_account.Session.CheckActive()
        && AskConfirmation(u"Czy rzeczywiście chcesz zmienić hasło dostępu do serwisu?"_s, this))
        ShowLoginDialog(this, lmChangePassword, m_service);
    ShowHeader();
    UpdateSessionTime();
}

void TForm_ZOKA_WSClient_Main::SButton_LogoutClick()
{
    if (m_account.Session.CheckActive() && AskConfirmation(u"Czy rzeczywiście chcesz wylogować się z serwisu?"_s, this))
        m_service.Logout();
    ShowHeader();
    UpdateSessionTime();
}

void TForm_ZOKA_WSClient_Main::SButton_LoginClick()
{
    // Possible in every state of the session; a new session replaces the old one.
    if (ShowLoginDialog(this, lmLogin, m_service))
        ShowAfterLogin();
}

void TForm_ZOKA_WSClient_Main::SButton_ExitClick()
{
    // Ending the program does not log out of the service.
    if (AskConfirmation(u"Czy rzeczywiście chcesz zakończyć program?"_s, this))
        RequestApplicationTerminate();
}

void TForm_ZOKA_WSClient_Main::SButton_YearClick()
{
    if (!m_account.Session.CheckActive())
        return;
    const int first = m_account.Data.FirstYearToShow();
    const int last = m_account.Data.SysCZYearEwidActive;
    if (first < last) {
        ShowYearDialog(this, m_service, first, last, m_account.Data.ShowYear, [this] {
            ShowYearData();
            ShowBalanceSummary();
        });
        return;
    }
    ShowInformationBox(u"Dostępne są dane jedynie roku bieżącego.\nNie można zmienić roku."_s);
}

#include "app/dialogs/TForm_LoginWEB.h"

#include "account/Account.h"
#include "common/Cursors.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "protocol/CredentialEncoding.h"
#include "service/AccountService.h"
#include "service/ServiceAccess.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include <algorithm>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kClientWidth = 533;
constexpr int kClientHeight = 233;
constexpr int kButtonPanelHeight = 36;
constexpr int kLabelWidth = 194;
constexpr int kFieldWidth = 196;
constexpr int kFieldHeight = 24;
constexpr int kLabelFieldGap = 8;
constexpr int kRowTops[] = {49, 98, 136, 166};

QString loginCaption()
{
    return u"Logowania użytkownika do serwisu"_s + u' ' + ApplicationTitle();
}

} // namespace

TForm_LoginWEB::TForm_LoginWEB(QWidget *owner, TLoginMode mode, AccountService &service)
    : TForm_Gen_Ex(owner,
                   Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowCloseButtonHint),
      m_mode(mode),
      m_service(service)
{
    setObjectName(u"Form_LoginWEB"_s);
    BuildLayout();
    m_attempts = 1;
    SetUpMode();

    // Centred on the desktop.
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

TForm_LoginWEB::~TForm_LoginWEB() = default;

void TForm_LoginWEB::BuildLayout()
{
    m_panelLogin1 = new QWidget(this);
    m_panelLogin1->setObjectName(u"PanelLogin1"_s);

    QFont labelFont = font();
    labelFont.setPixelSize(14);
    labelFont.setBold(true);

    // The design's label column, wider where the system's font needs more room,
    // so that no caption is cut off; the window widens with it.
    const QFontMetrics metrics(labelFont);
    int labelWidth = kLabelWidth;
    for (LoginField field : {LoginField::Login, LoginField::Haslo, LoginField::HasloNew_1, LoginField::HasloNew_2})
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(LoginFieldCaption(field)) + 4);
    const int blockWidth = labelWidth + kLabelFieldGap + kFieldWidth;
    m_clientWidth = std::max(kClientWidth, blockWidth + 2 * 24);
    const int labelLeft = (m_clientWidth - blockWidth) / 2;
    const int fieldLeft = labelLeft + labelWidth + kLabelFieldGap;

    auto addRow = [&](const QString &labelName, LoginField field, const QString &fieldName, int row) {
        auto *edit = new TEditNew(m_panelLogin1);
        edit->setObjectName(fieldName);
        edit->setGeometry(fieldLeft, kRowTops[row], kFieldWidth, kFieldHeight);
        auto *label = new QLabel(LoginFieldCaption(field), m_panelLogin1);
        label->setObjectName(labelName);
        label->setFont(labelFont);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setGeometry(labelLeft, kRowTops[row], labelWidth, kFieldHeight);
        label->setBuddy(edit);
        return std::pair{label, edit};
    };
    std::tie(m_labLogin, m_edLogin) = addRow(u"Lab_Login"_s, LoginField::Login, u"Ed_Login"_s, 0);
    std::tie(m_labHaslo, m_edHaslo) = addRow(u"Lab_Haslo"_s, LoginField::Haslo, u"Ed_Haslo"_s, 1);
    std::tie(m_labHasloNew1, m_edHasloNew1)
        = addRow(u"Lab_HasloNew_1"_s, LoginField::HasloNew_1, u"Ed_HasloNew_1"_s, 2);
    std::tie(m_labHasloNew2, m_edHasloNew2)
        = addRow(u"Lab_HasloNew_2"_s, LoginField::HasloNew_2, u"Ed_HasloNew_2"_s, 3);
    for (TEditNew *secret : {m_edHaslo, m_edHasloNew1, m_edHasloNew2})
        secret->SetPasswordChar(u'x');
    m_edHasloNew1->SetBeforeChangeValue([this](TEditNew *sender) { Ed_HasloNew_1BeforeChangeValue(sender); });
    m_edHasloNew2->SetBeforeChangeValue([this](TEditNew *sender) { Ed_HasloNew_2BeforeChangeValue(sender); });

    m_panelButtom = new QWidget(this);
    m_panelButtom->setObjectName(u"PanelButtom"_s);
    auto *bevel1 = new QFrame(m_panelButtom);
    bevel1->setObjectName(u"Bevel1"_s);
    bevel1->setFrameShape(QFrame::HLine);
    bevel1->setFrameShadow(QFrame::Sunken);
    bevel1->setGeometry(0, 0, m_clientWidth, 2);

    m_btnOK = new TWBitBtn(u"&Ok"_s, m_panelButtom);
    m_btnOK->setObjectName(u"BtnOK"_s);
    m_btnOK->SetGlyph(u"BUT_OK"_s);
    m_btnCancel = new TWBitBtn(u"&Anuluj"_s, m_panelButtom);
    m_btnCancel->setObjectName(u"BtnCancel"_s);
    m_btnCancel->SetGlyph(u"BUT_CANCEL"_s);
    // Neither is the window's default button: Enter moves through the fields
    // and presses a button only when the button itself has the focus.
    m_btnOK->setGeometry(m_clientWidth / 2 - 110, 5, 100, 27);
    m_btnCancel->setGeometry(m_clientWidth / 2 + 10, 5, 100, 27);
    connect(m_btnOK, &TWBitBtn::OnClick, this, &TForm_LoginWEB::BtnOKClick);
    connect(m_btnCancel, &TWBitBtn::OnClick, this, &TForm_LoginWEB::BtnCancelClick);

    setTabOrder(m_edLogin, m_edHaslo);
    setTabOrder(m_edHaslo, m_edHasloNew1);
    setTabOrder(m_edHasloNew1, m_edHasloNew2);
    setTabOrder(m_edHasloNew2, m_btnOK);
    setTabOrder(m_btnOK, m_btnCancel);
}

void TForm_LoginWEB::SetUpMode()
{
    int clientHeight = kClientHeight;
    switch (m_mode) {
    case lmLogin: setWindowTitle(loginCaption()); break;
    case lmRelogin: setWindowTitle(u"Odnowienie sesji serwisu"_s); break;
    case lmChangePassword:
        setWindowTitle(u"Zmiana hasła dostępu do serwisu"_s);
        clientHeight += kFieldHeight;
        break;
    case lmServiceOnly: setWindowTitle(loginCaption()); break;
    }
    if (m_mode == lmLogin || m_mode == lmRelogin) {
        for (QWidget *w :
             std::initializer_list<QWidget *>{m_labHasloNew1, m_edHasloNew1, m_labHasloNew2, m_edHasloNew2}) {
            w->hide();
            w->setEnabled(false);
        }
    }
    setFixedSize(m_clientWidth, clientHeight);
    m_panelLogin1->setGeometry(0, 0, m_clientWidth, clientHeight - kButtonPanelHeight);
    m_panelButtom->setGeometry(0, clientHeight - kButtonPanelHeight, m_clientWidth, kButtonPanelHeight);
}

TEditNew *TForm_LoginWEB::Field(LoginField field) const
{
    switch (field) {
    case LoginField::Login: return m_edLogin;
    case LoginField::Haslo: return m_edHaslo;
    case LoginField::HasloNew_1: return m_edHasloNew1;
    case LoginField::HasloNew_2: return m_edHasloNew2;
    }
    throw IndexError(static_cast<qsizetype>(field), 4);
}

QLabel *TForm_LoginWEB::FieldLabel(LoginField field) const
{
    switch (field) {
    case LoginField::Login: return m_labLogin;
    case LoginField::Haslo: return m_labHaslo;
    case LoginField::HasloNew_1: return m_labHasloNew1;
    case LoginField::HasloNew_2: return m_labHasloNew2;
    }
    throw IndexError(static_cast<qsizetype>(field), 4);
}

void TForm_LoginWEB::showEvent(QShowEvent *event)
{
    TForm_Gen_Ex::showEvent(event);
    m_edLogin->setFocus(Qt::OtherFocusReason);
}

LoginInput TForm_LoginWEB::TypedInput() const
{
    return {TypedCredential(m_edLogin->text()), TypedCredential(m_edHaslo->text()),
            TypedCredential(m_edHasloNew1->text()), TypedCredential(m_edHasloNew2->text())};
}

void TForm_LoginWEB::refuse(const InputRefusal &refusal)
{
    Field(refusal.Field)->setFocus(Qt::OtherFocusReason);
    throw AppError(refusal.Message);
}

void TForm_LoginWEB::ValidateLoginFields()
{
    if (const auto refusal = CheckLoginFields(TypedInput()))
        refuse(*refusal);
}

void TForm_LoginWEB::BtnOKClick()
{
    switch (m_mode) {
    case lmLogin: BtnOKClick_VerLogin(); break;
    case lmRelogin: BtnOKClick_VerRelogin(); break;
    case lmChangePassword: BtnOKClick_VerChangePassword(); break;
    case lmServiceOnly: break;
    }
}

void TForm_LoginWEB::BtnOKClick_VerLogin()
{
    const TWaitCursor wait;
    ValidateLoginFields();
    const LoginInput input = TypedInput();
    switch (m_service.BeginSession(EncodeCredential(input.Identifier), EncodeCredential(input.Password))) {
    case SessionOutcome::Done:
        ShowInformationBox(u"Pomyślnie zalogowano się do serwisu."_s);
        done(QDialog::Accepted);
        return;
    case SessionOutcome::NoService: return;
    case SessionOutcome::Unusable: done(QDialog::Rejected); return;
    case SessionOutcome::Refused: break;
    }
    // The service's own reason is not shown: it would tell which part was wrong.
    ShowErrorBox(u"Błąd logowania."_s);
    if (m_attempts < kMaxAttempts) {
        ++m_attempts;
        m_edLogin->setFocus(Qt::OtherFocusReason);
    } else {
        done(QDialog::Rejected);
    }
}

void TForm_LoginWEB::BtnOKClick_VerRelogin()
{
    const TWaitCursor wait;
    ValidateLoginFields();
    const LoginInput input = TypedInput();
    QString message;
    if (!m_service.AccountData().Session.CredentialsMatch(input.Identifier, input.Password, message)) {
        ShowInformationBox(FunctionNotPossibleMessage(message));
        done(QDialog::Rejected);
        return;
    }
    switch (m_service.RenewSession(input.Identifier, input.Password)) {
    case SessionOutcome::Done:
        ShowInformationBox(u"Pomyślnie odnowiono sesję serwisu."_s);
        done(QDialog::Accepted);
        return;
    case SessionOutcome::NoService: return;
    case SessionOutcome::Refused:
    case SessionOutcome::Unusable: break;
    }
    ShowErrorBox(u"Odnowienie sesji nie powiodło się."_s);
    done(QDialog::Rejected);
}

void TForm_LoginWEB::BtnOKClick_VerChangePassword()
{
    const TWaitCursor wait;
    ValidateLoginFields();
    const LoginInput input = TypedInput();
    if (const auto refusal = CheckNewPasswordFields(input))
        refuse(*refusal);

    TU_WEBServiceSession &session = m_service.AccountData().Session;
    QString message;
    if (!session.IsActive(message)) {
        ShowInformationBox(FunctionNotPossibleMessage(message));
        done(QDialog::Rejected);
        return;
    }
    if (!session.CredentialsMatch(input.Identifier, input.Password, message)) {
        ShowInformationBox(FunctionNotPossibleMessage(message));
        done(QDialog::Rejected);
        return;
    }
    QString reason;
    switch (m_service.ChangePassword(EncodeCredential(input.Identifier), EncodeCredential(input.Password),
                                     EncodeCredential(input.NewPassword1), reason)) {
    case SessionOutcome::Done:
        ShowInformationBox(u"Hasło zostało zmienione."_s);
        done(QDialog::Accepted);
        return;
    case SessionOutcome::NoService: return;
    case SessionOutcome::Refused:
    case SessionOutcome::Unusable: break;
    }
    ShowErrorBox(u"Zmiana hasła nie powiodła się.\n"_s + reason);
    done(QDialog::Rejected);
}

void TForm_LoginWEB::BtnCancelClick()
{
    done(QDialog::Rejected);
}

// The field takes the focus back itself when it refuses its value on leaving.
void TForm_LoginWEB::Ed_HasloNew_1BeforeChangeValue(TEditNew *sender)
{
    if (const auto refusal = CheckNewPasswordStrength(LoginField::HasloNew_1, TypedCredential(sender->text())))
        throw AppError(refusal->Message);
}

void TForm_LoginWEB::Ed_HasloNew_2BeforeChangeValue(TEditNew *sender)
{
    if (const auto refusal = CheckNewPasswordStrength(LoginField::HasloNew_2, TypedCredential(sender->text())))
        throw AppError(refusal->Message);
}

bool ShowLoginDialog(QWidget *owner, TLoginMode mode, AccountService &service)
{
    const auto dialog = std::make_unique<TForm_LoginWEB>(owner, mode, service);
    return dialog->exec() == QDialog::Accepted;
}

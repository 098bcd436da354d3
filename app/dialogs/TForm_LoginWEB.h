#pragma once

#include "app/dialogs/LoginInput.h"
#include "forms/TForm_Gen_Ex.h"

class AccountService;
class QLabel;
class TEditNew;
class TWBitBtn;

// The variant of the sign-in dialog, fixed when it is created.
enum TLoginMode : qint32 {
    lmLogin = 1, // open a session
    lmRelogin = 2, // renew the session
    lmChangePassword = 3, // change the password
    lmServiceOnly = 4 // never shown; only holds the service interface
};

// The dialog through which the user opens a session, renews it or changes the
// password. Its OK button validates the input, calls the service, updates the
// session record and tells the user the outcome. Refused input is thrown as an
// AppError (shown by the application's error display) and the dialog stays
// open; every other outcome is shown here and ends the dialog with OK or
// Cancel. All fields start empty: for renewal and password change the user
// types the identifier and the current password again.
class TForm_LoginWEB : public TForm_Gen_Ex
{
    Q_OBJECT

public:
    // Login attempts a dialog allows; the last refusal closes it.
    static constexpr int kMaxAttempts = 5;

    // Its OK button calls the service through `service`, into its account.
    TForm_LoginWEB(QWidget *owner, TLoginMode mode, AccountService &service);
    ~TForm_LoginWEB() override;

    TLoginMode Mode() const { return m_mode; }
    // Login attempts so far, counting the current one.
    int Attempts() const { return m_attempts; }

    TEditNew *Ed_Login() const { return m_edLogin; }
    TEditNew *Ed_Haslo() const { return m_edHaslo; }
    TEditNew *Ed_HasloNew_1() const { return m_edHasloNew1; }
    TEditNew *Ed_HasloNew_2() const { return m_edHasloNew2; }
    TEditNew *Field(LoginField field) const;
    QLabel *FieldLabel(LoginField field) const;
    TWBitBtn *BtnOK() const { return m_btnOK; }
    TWBitBtn *BtnCancel() const { return m_btnCancel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildLayout();
    void SetUpMode();
    void BtnOKClick();
    void BtnOKClick_VerLogin();
    void BtnOKClick_VerRelogin();
    void BtnOKClick_VerChangePassword();
    void BtnCancelClick();
    void Ed_HasloNew_1BeforeChangeValue(TEditNew *sender);
    void Ed_HasloNew_2BeforeChangeValue(TEditNew *sender);

    LoginInput TypedInput() const;
    void ValidateLoginFields();
    // Focuses the refused field and throws the refusal's message.
    [[noreturn]] void refuse(const InputRefusal &refusal);

    TLoginMode m_mode;
    int m_attempts = 1;
    int m_clientWidth = 0;
    AccountService &m_service;

    QWidget *m_panelLogin1 = nullptr;
    QWidget *m_panelButtom = nullptr;
    QLabel *m_labLogin = nullptr;
    QLabel *m_labHaslo = nullptr;
    QLabel *m_labHasloNew1 = nullptr;
    QLabel *m_labHasloNew2 = nullptr;
    TEditNew *m_edLogin = nullptr;
    TEditNew *m_edHaslo = nullptr;
    TEditNew *m_edHasloNew1 = nullptr;
    TEditNew *m_edHasloNew2 = nullptr;
    TWBitBtn *m_btnOK = nullptr;
    TWBitBtn *m_btnCancel = nullptr;
};

// Creates the dialog with that owner and mode, shows it modally and destroys
// it; true exactly when it ended with OK.
bool ShowLoginDialog(QWidget *owner, TLoginMode mode, AccountService &service);

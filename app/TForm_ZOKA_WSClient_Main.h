#pragma once

#include "account/BalanceSummary.h"
#include "account/SessionCountdown.h"
#include "forms/TForm_Gen_Ex.h"
#include "service/AccountService.h"

#include <optional>

class Account;
class QLabel;
class QTimer;
class SessionNotice;
class SessionStrip;
class QWidget;
class TFrame_InfoRozrZasob;
class THTTPRIO;
class TWBitBtn;
class TWSpeedButton;

// The main window, "Internetowy serwis użytkownika": the function buttons, the
// account header and the settlements by category panel. It points the service
// access at its connection, and its first activation runs the opening
// sequence: the version check, then the login. The program ends when the
// version is refused or the first login does not succeed.
class TForm_ZOKA_WSClient_Main : public TForm_Gen_Ex
{
    Q_OBJECT

public:
    // Shows and keeps `account`, which must outlive the window.
    explicit TForm_ZOKA_WSClient_Main(Account &account, QWidget *parent = nullptr);
    ~TForm_ZOKA_WSClient_Main() override;

    // True until the first activation started the opening sequence.
    bool FirstActivation() const { return m_firstActivation; }

    // Starts the connection to the service now (start-up, once the trusted
    // certificates are in place), so that its handshake overlaps showing
    // the window and the version check finds it open.
    void OpenServiceConnection();

    // The header from the session record, while the session is active or expired.
    void ShowHeader();
    // The notice about settlements the service does not show, from the yearly store.
    void ShowOtherSettlementsInfo();
    // The yearly store's shown year into the settlements panel.
    void ShowYearData();

    // The account's state at a glance in the strip, from the yearly store when
    // it holds the current year (after a login, or a query for the current
    // year); otherwise the strip keeps the state it showed.
    void ShowBalanceSummary();
    // The session's time left in the strip and the renewal notice; runs every
    // second. It reads the session only and never calls the service.
    void UpdateSessionTime();
    // The notice's "Odnów sesję": the renewal dialog, as "&Odnowienie sesji"
    // opens it once confirmed.
    void RenewFromNotice();

    SessionStrip *Strip() const { return m_strip; }
    SessionNotice *Notice() const { return m_notice; }
    QTimer *SessionTimer() const { return m_sessionTimer; }

    // The connection through which every service call passes.
    THTTPRIO *HTTPRIO1() const { return m_httprio; }
    // The service calls of this window and of those it opens: its
    // connection's interface (tests put another in its place) and its account.
    AccountService &Service() { return m_service; }
    Account &AccountData() const { return m_account; }
    TFrame_InfoRozrZasob *Frame_InfoRozrZasob1() const { return m_frame; }
    QWidget *PanelSaldaInfo() const { return m_panelSaldaInfo; }
    QLabel *LabSaldaInfo() const { return m_labSaldaInfo; }

    // The passed-on keys: Down, Up, Home, End and Enter go to the settlements
    // panel and no further.
    void FormKeyDown(QWidget *sender, int &key, Qt::KeyboardModifiers shift) override;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildFunctionPanel();
    QWidget *BuildHeaderPanel();
    QWidget *BuildMainPanel();
    void FormActivate();
    void RunOpeningSequence();
    void ShowAfterLogin();

    void SButton_ReloginClick();
    void SButton_ChangePaswordClick();
    void SButton_LogoutClick();
    void SButton_LoginClick();
    void SButton_ExitClick();
    void SButton_YearClick();

    Account &m_account;
    AccountService m_service;
    bool m_firstActivation = true;
    THTTPRIO *m_httprio = nullptr;

    TWSpeedButton *m_sButtonRelogin = nullptr;
    TWSpeedButton *m_sButtonChangePasword = nullptr;
    TWSpeedButton *m_sButtonLogout = nullptr;
    TWSpeedButton *m_sButtonLogin = nullptr;
    TWSpeedButton *m_sButtonExit = nullptr;
    TWSpeedButton *m_sButtonYear = nullptr;

    QLabel *m_labZasobUlicaNr = nullptr;
    QLabel *m_labZasobMiejsc = nullptr;
    QLabel *m_labUser1Name = nullptr;
    QLabel *m_labUser2Name = nullptr;
    QLabel *m_labFirma = nullptr;
    QLabel *m_labFirmaName = nullptr;
    QLabel *m_labFirmaAdress = nullptr;

    TFrame_InfoRozrZasob *m_frame = nullptr;
    QWidget *m_panelSaldaInfo = nullptr;
    QLabel *m_labSaldaInfo = nullptr;

    SessionStrip *m_strip = nullptr;
    SessionNotice *m_notice = nullptr;
    QTimer *m_sessionTimer = nullptr;
    SessionCountdown m_countdown;
    std::optional<BalanceSummary> m_summary;
};

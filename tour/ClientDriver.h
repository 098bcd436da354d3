#pragma once

#include "account/Account.h"
#include "testing/MessageRecorder.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;
class TForm_KartMca;
class TForm_LoginWEB;
class TForm_NalCzynszDtl;
class TForm_YearChart;
class TForm_ZOKA_WSClient_Main;
class TFrame_InfoRozrTabela;
class TFrame_InfoRozrZasob;
class TPrn_Preview;

// Drives the client's real windows in-process, as a user would: it types into
// the login dialog, clicks and double clicks, presses keys and the toolbar
// buttons. Used by the end-to-end tests, the screenshot program and the tour.
//
// Modal windows block in their own event loop, so a step that opens one takes
// what to do inside it as a function: the function runs once the window is
// active, and the driver closes the window afterwards if it is still open.
// Every wait is on a condition with a bound. Messages go to a recorder (the
// driver installs it for its lifetime) and are answered with their default
// button; print files and exports are named through the preview's file-name
// seam instead of a dialog.
//
// A failing step answers false and leaves the reason in LastError().
class ClientDriver
{
public:
    ClientDriver();
    ~ClientDriver();
    ClientDriver(const ClientDriver &) = delete;
    ClientDriver &operator=(const ClientDriver &) = delete;

    // Points the client at the server `address` (host:port), trusting the
    // certificate in `caCertificate` (none: the system's trust store), and
    // creates the main window and the preview window as start-up does.
    bool Start(const QString &address, const QString &caCertificate);

    // Shows the main window, lets its first activation run the version check
    // and fills the login dialog; true once the settlements panel shows the
    // year that came with the login. `beforeOk` runs on the filled dialog.
    bool LogIn(const QString &login, const QString &password,
               const std::function<void(TForm_LoginWEB &)> &beforeOk = {});

    // "Zmiana roku": picks `year` in the year dialog with Enter; true once the
    // panel shows it.
    bool ChangeYear(int year);

    // Clicks and double clicks the row of `month` (1..12) on the active tab's
    // table. When the month card opens, runs `inCard` and closes the card;
    // answers whether the card opened (a month without documents only gets a
    // message).
    bool OpenMonth(int month, const std::function<void(TForm_KartMca &)> &inCard);

    // In an open month card: selects document `row` (0-based) and presses
    // Enter. When the charge detail opens, runs `inDetail` and closes it;
    // answers whether it opened.
    bool OpenCharge(TForm_KartMca &card, int row, const std::function<void(TForm_NalCzynszDtl &)> &inDetail);

    // The first row of the open month card that is a charge; -1 when none is.
    int FirstChargeRow(const TForm_KartMca &card) const;

    // Presses the preview button of `view` (the settlements panel, a month
    // card or a charge detail); true once the preview shows every page.
    bool PressPreview(QWidget &view);
    // Presses the settlements panel's "Wykres" and runs `inChart` in the chart window.
    bool OpenChart(const std::function<void(TForm_YearChart &)> &inChart);
    // Presses the view's "CSV" and saves under `fileName` (no dialog); the file
    // must read back as a table.
    bool ExportCsv(QWidget &view, const QString &fileName);
    // Moves the session's clock `seconds` ahead (the wall clock stays) and
    // lets the main window show the time left; 0 puts the clock back.
    bool AdvanceSessionClock(qint64 seconds);
    // Presses the print button of `view`; true when no message came.
    bool PressPrint(QWidget &view);

    // In the shown preview: "save" under `fileName` (.prn a print file,
    // .pdf/.txt/.htm an export); true when the file is there and no message came.
    bool SaveFromPreview(const QString &fileName);
    // In the shown preview: loads the print file `fileName`; true when the
    // preview then shows its pages.
    bool LoadIntoPreview(const QString &fileName);
    // Closes the preview window (its close button); true once it is closed.
    bool ClosePreview();

    // Saves a picture of `window` as PNG.
    bool Screenshot(QWidget &window, const QString &fileName);

    TForm_ZOKA_WSClient_Main *MainWindow() const { return m_mainWindow.get(); }
    TFrame_InfoRozrZasob *Settlements() const;
    TFrame_InfoRozrTabela *CurrentTable() const;
    TPrn_Preview *Preview() const { return m_preview.get(); }

    // Every message shown since the driver started, in order.
    const MessageRecorder &Messages() const { return m_messages; }
    MessageRecorder &Messages() { return m_messages; }

    const QString &LastError() const { return m_lastError; }

    // How long a step waits for a window or a service answer.
    static constexpr int kTimeoutMs = 30000;

private:
    // Runs `trigger`, which may show a modal window matching `matches` and
    // block until it closes. Once that window is active, `inside` runs on it;
    // the window is closed afterwards if still open. True when it was shown.
    bool WithModal(const std::function<void()> &trigger, const std::function<bool(QWidget *)> &matches,
                   const std::function<void(QWidget *)> &inside);
    bool Fail(const QString &reason);
    // The messages shown since `count`, joined for an error text.
    QString MessagesSince(qsizetype count) const;

    MessageRecorder m_messages;
    // The account the tour's windows show, declared before them.
    Account m_account;
    std::unique_ptr<TForm_ZOKA_WSClient_Main> m_mainWindow;
    std::unique_ptr<TPrn_Preview> m_preview;
    QString m_lastError;
    bool m_terminateRequested = false;
};

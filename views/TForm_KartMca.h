#pragma once

#include "account/MonthCardFigures.h"

#include <QDialog>

#include <memory>

class QLabel;
class TFrame_InfoDokTabela;
class AccountService;
class TPrn_KartMca;
class TU_WEBServiceKsgData;
class TWBitBtn;
class TWSpeedButton;

// The month card window "Kartoteka miesięczna": the ledger card of one month
// of one category, with print, preview and close. Sized to its document
// table and placed down and to the right of its owner.
class TForm_KartMca : public QDialog
{
    Q_OBJECT

public:
    // Builds, fills, sizes and places the window without showing it. An error
    // while loading the documents (IndexError) leaves it unbuilt. The window
    // and its printout show `ledger`, with the header of `service`'s account;
    // a charge's details are fetched through `service`.
    TForm_KartMca(int year, int month, int category, QWidget *owner, AccountService &service,
                  const TU_WEBServiceKsgData &ledger, const AccountState &opening);
    ~TForm_KartMca() override;

    // Creates the window, shows it modally and destroys it when it closes.
    // `ledger` holds the month's entries (KsgNumber at least 1); `opening` is
    // the account's state before the month.
    static void Open(int year, int month, int category, QWidget *owner, AccountService &service,
                     const TU_WEBServiceKsgData &ledger, const AccountState &opening);

    void ButtonCloseClick();
    void ButtonPrintClick();
    void ButtonPreviewClick();

    TFrame_InfoDokTabela *Frame_InfoDokTabela1() const { return m_table; }
    TPrn_KartMca *Report() const { return m_report.get(); }

protected:
    // Key preview: Enter opens the selected document wherever the focus is;
    // Esc presses the close button.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Handles Enter and Esc; true when the key was consumed.
    bool FormKeyDown(const QKeyEvent *event);

    TFrame_InfoDokTabela *m_table = nullptr;
    TWBitBtn *m_buttonClose = nullptr;
    std::unique_ptr<TPrn_KartMca> m_report;
};

#pragma once

#include "forms/TForm_Gen_Ex.h"

#include <QStringList>

#include <functional>

class AccountService;
class QListWidget;
class QPushButton;

// The years the year dialog offers: at most the last four of the range.
struct YearChoice
{
    int YearFrom = 0;
    int YearTo = 0;

    // Limits `first` to `last` - 3 when the range spans more than four years.
    static YearChoice Limited(int first, int last);
    // " rok 2017", ... ascending; each text begins with a space.
    QStringList Items() const;
    // The item of `shownYear`, or the first one when it is not offered.
    int InitialIndex(int shownYear) const;
};

// Lets the user pick the year whose settlements the main window shows. It asks
// the service for the chosen year's figures itself and, when they arrive,
// refreshes the settlements panel; when they do not, the shown year is put
// back. Enter or a double click in the list, or OK, chooses; Escape or Cancel
// closes without a change.
class TForm_YearForShowChange : public TForm_Gen_Ex
{
    Q_OBJECT

public:
    // The result of a dialog that could not load the chosen year.
    static constexpr int Aborted = 3;

    // `shownYear` is the yearly store's shown year, which the dialog writes;
    // `refreshPanel` redraws the settlements panel from the store.
    TForm_YearForShowChange(QWidget *owner, AccountService &service, int &shownYear, int yearTo, int yearFrom,
                            std::function<void()> refreshPanel);

    int YearFrom() const { return m_choice.YearFrom; }
    int YearTo() const { return m_choice.YearTo; }
    int YearBefore() const { return m_yearBefore; }

    QListWidget *ListBoxSelect() const { return m_listBoxSelect; }
    QPushButton *ButtonOK() const { return m_buttonOK; }
    QPushButton *ButtonCancel() const { return m_buttonCancel; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    void ListBoxSelectDblClick();
    void ButtonCancelClick();
    void ChooseSelectedYear();

    AccountService &m_service;
    YearChoice m_choice;
    int &m_shownYear;
    int m_yearBefore;
    std::function<void()> m_refreshPanel;
    QListWidget *m_listBoxSelect = nullptr;
    QPushButton *m_buttonOK = nullptr;
    QPushButton *m_buttonCancel = nullptr;
};

// Shows the year dialog modally over `owner` for the years `first` to `last`
// and destroys it; true when a year other than the one shown before was loaded.
// The chosen year is fetched through `service`.
bool ShowYearDialog(QWidget *owner, AccountService &service, int first, int last, int &shownYear,
                    std::function<void()> refreshPanel);

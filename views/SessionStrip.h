#pragma once

#include "account/BalanceSummary.h"
#include "account/SessionCountdown.h"

#include <QFrame>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

// The strip at the top of the main window: the account's state at a glance
// (the date, each offered category's balance and their sum: "Do zapłaty" in
// red, "Nadpłata" in green, or "Rozliczone") and, at the right, the time the
// session has left. It shows what it is given; the rules are BalanceSummary's
// and SessionCountdown's.
class SessionStrip : public QWidget
{
    Q_OBJECT

public:
    explicit SessionStrip(QWidget *parent = nullptr);

    // Nothing: the strip's left part stays empty (before the first login).
    void ShowSummary(const std::optional<BalanceSummary> &summary);
    void ShowCountdown(const SessionCountdown::View &view);

    QLabel *Lab_Stan() const { return m_labStan; }
    QLabel *Lab_Suma() const { return m_labSuma; }
    QLabel *Lab_Kategorie() const { return m_labKategorie; }
    QLabel *Lab_Sesja() const { return m_labSesja; }

private:
    QLabel *m_labStan = nullptr;
    QLabel *m_labSuma = nullptr;
    QLabel *m_labKategorie = nullptr;
    QLabel *m_labSesja = nullptr;
};

// The notice that offers renewal when the session is about to expire (and
// after it has): a small panel over the window's corner that blocks nothing.
// "Odnów sesję" asks for the usual renewal; "Później" puts it away.
class SessionNotice : public QFrame
{
    Q_OBJECT

public:
    explicit SessionNotice(QWidget *parent);

    void ShowView(const SessionCountdown::View &view);
    // Keeps the notice at the bottom right corner of its parent.
    void Place();

    QLabel *Lab_Info() const { return m_label; }
    QPushButton *ButtonRenew() const { return m_renew; }
    QPushButton *ButtonLater() const { return m_later; }

Q_SIGNALS:
    void RenewRequested();
    void Dismissed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_label = nullptr;
    QPushButton *m_renew = nullptr;
    QPushButton *m_later = nullptr;
};

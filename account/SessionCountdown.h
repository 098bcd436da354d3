#pragma once

#include <QString>
#include <QtGlobal>

class TU_WEBServiceSession;

// The time a session has left before the client treats it as expired, as the
// main window shows it, and when to offer renewal. It only reads the session
// (on the monotonic clock): it never changes its state and never calls the
// service.
class SessionCountdown
{
public:
    enum class Phase {
        Hidden, // no session (never logged in, logged out)
        Running, // more than a minute left
        Warning, // a minute or less left: renewal is offered
        Expired,
    };

    struct View
    {
        Phase Stage = Phase::Hidden;
        qint64 SecondsLeft = 0; // 0 once expired
        QString Text; // "Sesja wygaśnie za 4 min"; empty when hidden
        bool NoticeVisible = false; // the renewal notice
    };

    // Seconds before expiry at which the renewal notice appears.
    static constexpr qint64 kNoticeSeconds = 60;

    // The view at the current monotonic time.
    View Tick(const TU_WEBServiceSession &session) const;

    // The user put the notice away: it stays hidden until the session is
    // begun, renewed or has its password changed again.
    void DismissNotice(const TU_WEBServiceSession &session);

    // The texts, for the seconds left (negative: expired).
    static QString TextFor(qint64 secondsLeft);

private:
    qint64 m_dismissedFor = -1; // LastActivityMs of the session whose notice was put away
    bool m_dismissed = false;
};

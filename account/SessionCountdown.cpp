#include "account/SessionCountdown.h"

#include "account/TU_WEBServiceSession.h"
#include "common/Clock.h"

using namespace Qt::Literals::StringLiterals;

QString SessionCountdown::TextFor(qint64 secondsLeft)
{
    if (secondsLeft < 0)
        return u"Sesja wygasła. Aby ją odnowić, użyj przycisku „Odnowienie sesji” (Alt+O)."_s;
    if (secondsLeft <= kNoticeSeconds)
        return u"Sesja wygaśnie za %1 s"_s.arg(secondsLeft);
    // Whole minutes, rounded up: "za 1 min" never shows while more than a minute is left.
    return u"Sesja wygaśnie za %1 min"_s.arg((secondsLeft + 59) / 60);
}

SessionCountdown::View SessionCountdown::Tick(const TU_WEBServiceSession &session) const
{
    View v;
    if (session.State != ssActive && session.State != ssExpired)
        return v;
    // Expired strictly after the lifetime, counted in whole seconds as the
    // session's own test counts them.
    const qint64 elapsed = (MonotonicMs() - session.LastActivityMs) / 1000;
    const qint64 left = qint64(TU_WEBServiceSession::kLifetimeMinutes * 60) - elapsed;
    if (session.State == ssExpired || left < 0) {
        v.Stage = Phase::Expired;
        v.SecondsLeft = 0;
        v.Text = TextFor(-1);
    } else {
        v.Stage = left <= kNoticeSeconds ? Phase::Warning : Phase::Running;
        v.SecondsLeft = left;
        v.Text = TextFor(left);
    }
    const bool dismissed = m_dismissed && m_dismissedFor == session.LastActivityMs;
    v.NoticeVisible = v.Stage != Phase::Running && !dismissed;
    return v;
}

void SessionCountdown::DismissNotice(const TU_WEBServiceSession &session)
{
    m_dismissed = true;
    m_dismissedFor = session.LastActivityMs;
}

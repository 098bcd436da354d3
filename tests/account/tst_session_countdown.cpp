#include "testing/SessionTestSupport.h"

#include "account/SessionCountdown.h"
#include "account/TU_WEBServiceSession.h"
#include "protocol/CredentialEncoding.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const double kLoginTime = DateToValue(QDate(2024, 10, 27)) + 2.5 / 24; // 02:30, the night the clocks go back
const QString kExpired = u"Sesja wygasła. Aby ją odnowić, użyj przycisku „Odnowienie sesji” (Alt+O)."_s;

} // namespace

// The session's time left on the monotonic clock: what the window shows, when
// renewal is offered, and that a step of the wall clock changes nothing.
class tst_SessionCountdown : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countdown_data();
    void countdown();
    void wallClockStepsDoNotCount_data();
    void wallClockStepsDoNotCount();
    void noticeDismissedUntilRenewal();
    void noSessionNoText_data();
    void noSessionNoText();
};

void tst_SessionCountdown::countdown_data()
{
    QTest::addColumn<int>("seconds"); // after the login
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("notice");
    QTest::addColumn<bool>("expired"); // what the session's own test finds afterwards

    const int running = int(SessionCountdown::Phase::Running);
    const int warning = int(SessionCountdown::Phase::Warning);
    const int expired = int(SessionCountdown::Phase::Expired);
    QTest::newRow("fresh") << 0 << running << u"Sesja wygaśnie za 15 min"_s << false << false;
    QTest::newRow("4 min 10 s left") << 650 << running << u"Sesja wygaśnie za 5 min"_s << false << false;
    QTest::newRow("4 min left") << 660 << running << u"Sesja wygaśnie za 4 min"_s << false << false;
    QTest::newRow("61 s left") << 839 << running << u"Sesja wygaśnie za 2 min"_s << false << false;
    QTest::newRow("one minute left") << 840 << warning << u"Sesja wygaśnie za 60 s"_s << true << false;
    QTest::newRow("last second") << 900 << warning << u"Sesja wygaśnie za 0 s"_s << true << false;
    QTest::newRow("15 min 1 s") << 901 << expired << kExpired << true << true;
    QTest::newRow("an hour") << 3600 << expired << kExpired << true << true;
}

void tst_SessionCountdown::countdown()
{
    QFETCH(int, seconds);
    QFETCH(int, stage);
    QFETCH(QString, text);
    QFETCH(bool, notice);
    QFETCH(bool, expired);
    ManualClock clock(kLoginTime);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential(u"jan"_s), EncodeCredential(u"Haslo1"_s));
    clock.advanceSeconds(seconds);

    const SessionCountdown countdown;
    const SessionCountdown::View view = countdown.Tick(session);
    QCOMPARE(int(view.Stage), stage);
    QCOMPARE(view.Text, text);
    QCOMPARE(view.NoticeVisible, notice);
    // Reading the time left never changes the session.
    QCOMPARE(session.State, ssActive);
    QCOMPARE(session.IsExpired(), expired);
}

void tst_SessionCountdown::wallClockStepsDoNotCount_data()
{
    QTest::addColumn<double>("stepSeconds");
    QTest::newRow("back an hour (end of daylight saving)") << -3600.0;
    QTest::newRow("forward an hour") << 3600.0;
    QTest::newRow("forward a day (time-server correction)") << 86400.0;
    QTest::newRow("back a day") << -86400.0;
}

void tst_SessionCountdown::wallClockStepsDoNotCount()
{
    QFETCH(double, stepSeconds);
    ManualClock clock(kLoginTime);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential(u"jan"_s), EncodeCredential(u"Haslo1"_s));
    clock.advanceSeconds(60);
    clock.stepWallSeconds(stepSeconds);
    // A fresh session stays fresh, whichever way the wall clock jumped ...
    QVERIFY(!session.IsExpired());
    QCOMPARE(SessionCountdown().Tick(session).Text, u"Sesja wygaśnie za 14 min"_s);
    // ... and an old one ends on time.
    clock.advanceSeconds(14 * 60 + 1);
    QVERIFY(session.IsExpired());
    QCOMPARE(session.State, ssExpired);
    // LastActivity is still the local time of the login, for display.
    QCOMPARE(session.LastActivity, kLoginTime);
}

void tst_SessionCountdown::noticeDismissedUntilRenewal()
{
    ManualClock clock(kLoginTime);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential(u"jan"_s), EncodeCredential(u"Haslo1"_s));
    SessionCountdown countdown;
    clock.advanceSeconds(850);
    QVERIFY(countdown.Tick(session).NoticeVisible);
    countdown.DismissNotice(session);
    QVERIFY(!countdown.Tick(session).NoticeVisible);
    clock.advanceSeconds(100);
    QCOMPARE(countdown.Tick(session).Text, kExpired);
    QVERIFY(!countdown.Tick(session).NoticeVisible);

    // The renewal restarts the count, and the next warning shows the notice again.
    session.Renewed(u"t2"_s);
    QCOMPARE(countdown.Tick(session).Text, u"Sesja wygaśnie za 15 min"_s);
    clock.advanceSeconds(845);
    QVERIFY(countdown.Tick(session).NoticeVisible);
}

void tst_SessionCountdown::noSessionNoText_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::newRow("never logged in") << int(ssNone) << QString();
    QTest::newRow("logged out") << int(ssLoggedOut) << QString();
    QTest::newRow("expired") << int(ssExpired) << kExpired;
}

void tst_SessionCountdown::noSessionNoText()
{
    QFETCH(int, state);
    QFETCH(QString, text);
    ManualClock clock(kLoginTime);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential(u"jan"_s), EncodeCredential(u"Haslo1"_s));
    session.State = TSessionState(state);
    QCOMPARE(SessionCountdown().Tick(session).Text, text);
}

QTEST_GUILESS_MAIN(tst_SessionCountdown)
#include "tst_session_countdown.moc"

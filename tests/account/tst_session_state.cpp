#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceSession.h"
#include "common/Errors.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/SessionToken.h"

#include <QTest>

namespace {

const QString kNotPossible = QStringLiteral("\nWykonanie funkcji nie jest możliwe.");
const QString kNoneText = QStringLiteral("Użytkownik nie zalogował się do tej pory do serwisu.");
const QString kExpiredText = QStringLiteral("Upłynął czas aktywności sesji serwisu.");
const QString kLoggedOutText = QStringLiteral("Użytkownik wylogował się już z serwisu.");

constexpr double kLoginTime = 43983.5; // 2020-06-01 12:00

} // namespace

class tst_SessionState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseToken_data();
    void parseToken();
    void tokenEncodingRoundTrip();
    void loadFromTakesHeaderNarrowed();
    void loadFromRefusedAnswerClears();
    void loadFromIntrusion_data();
    void loadFromIntrusion();
    void expiry_data();
    void expiry();
    void renewalRestartsTheClock();
    void checksPerState_data();
    void checksPerState();
    void credentialsMatch_data();
    void credentialsMatch();
    void clearResetsFirmKind();
};

void tst_SessionState::parseToken_data()
{
    QTest::addColumn<QString>("decoded");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("date");

    const QChar comma(u',');
    const QChar point(u'.');
    QTest::newRow("two fields") << "12;43831,5" << comma << true << 43831.5;
    QTest::newRow("three fields") << "12;abc def;43831,25" << comma << true << 43831.25;
    QTest::newRow("four fields") << "12;abc;7;43831,75" << comma << true << 43831.75;
    QTest::newRow("signed numbers, whole date") << "-3;x;+4;43831" << comma << true << 43831.0;
    QTest::newRow("comma accepted under a point locale") << "12;43831,5" << point << true << 43831.5;
    QTest::newRow("point under a point locale") << "12;abc;7;43831.5" << point << true << 43831.5;
    QTest::newRow("point accepted under a comma locale") << "12;43831.5" << comma << true << 43831.5;
    QTest::newRow("point and comma refused") << "12;43.831,5" << comma << false << 0.0;
    QTest::newRow("locale's own separator") << "12;43831\u066B5" << QChar(0x066B) << true << 43831.5;
    QTest::newRow("two commas refused") << "12;43,831,5" << point << false << 0.0;
    QTest::newRow("no separator") << "43831,5" << comma << false << 0.0;
    QTest::newRow("empty first field") << ";43831,5" << comma << false << 0.0;
    QTest::newRow("first field not a number") << "x1;43831,5" << comma << false << 0.0;
    QTest::newRow("first field beyond 32 bits") << "99999999999;43831,5" << comma << false << 0.0;
    QTest::newRow("empty second field") << "12;;7;43831,5" << comma << false << 0.0;
    QTest::newRow("third field not a number") << "12;abc;x;43831,5" << comma << false << 0.0;
    QTest::newRow("empty third field") << "12;abc;;43831,5" << comma << false << 0.0;
    QTest::newRow("five fields") << "12;abc;7;8;43831,5" << comma << false << 0.0;
    QTest::newRow("empty date") << "12;abc;7;" << comma << false << 0.0;
    QTest::newRow("date with trailing text") << "12;43831,5x" << comma << false << 0.0;
    QTest::newRow("date not finite") << "12;1e999" << comma << false << 0.0;
    QTest::newRow("date named infinity") << "12;inf" << comma << false << 0.0;
    QTest::newRow("empty token") << "" << comma << false << 0.0;
}

void tst_SessionState::parseToken()
{
    QFETCH(QString, decoded);
    QFETCH(QChar, separator);
    QFETCH(bool, accepted);
    QFETCH(double, date);
    const std::optional<double> parsed = ParseSessionToken(decoded, separator);
    QCOMPARE(parsed.has_value(), accepted);
    if (accepted)
        QCOMPARE(*parsed, date);
}

void tst_SessionState::tokenEncodingRoundTrip()
{
    const QString plain = QStringLiteral("4711;AbcXyz;12;43983,25");
    const QString token = EncodeSessionToken(plain);
    QVERIFY(token != plain);
    QCOMPARE(DecodeSessionToken(token), plain);
    // Decoding moves letters and digits forward by the build's amounts.
    QCOMPARE(
        DecodeSessionToken(QStringLiteral("AaZz09")),
        RotateText(QStringLiteral("AaZz09"), -DOMVEL_LETTER_ROTATION, -DOMVEL_LETTER_ROTATION, -DOMVEL_DIGIT_ROTATION));
    if (DOMVEL_LETTER_ROTATION == 7 && DOMVEL_DIGIT_ROTATION == 3)
        QCOMPARE(DecodeSessionToken(QStringLiteral("AaZz09")), QStringLiteral("HhGg32"));
}

void tst_SessionState::loadFromTakesHeaderNarrowed()
{
    ManualClock clock(kLoginTime);
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.F_Kind = 0;
    answer.U_Imie2 = QStringLiteral("Ярослав"); // outside the narrow code page
    TU_WEBServiceSession session;
    session.LoadFrom(answer, u',');

    QCOMPARE(session.State, ssNone);
    QCOMPARE(session.SessionToken, answer.SessionToken);
    QCOMPARE(session.ServiceDate, 43983.25);
    QCOMPARE(session.LastActivity, kLoginTime);
    QCOMPARE(session.F_Nazwa, QStringLiteral("Spółdzielnia Mieszkaniowa „Zorza”"));
    QCOMPARE(session.F_UlicaNr, QStringLiteral("Żeromskiego 5"));
    QCOMPARE(session.F_Miejscowosc, QStringLiteral("Łódź"));
    QCOMPARE(session.F_Kind, 0);
    QCOMPARE(session.U_Nazwisko1, QStringLiteral("Śliwińska"));
    QCOMPARE(session.U_Imie1, QStringLiteral("Jadwiga"));
    QCOMPARE(session.U_Imie2, QStringLiteral("???????"));
    QCOMPARE(session.U_Nazwisko2, QString());
    QCOMPARE(session.Z_UlicaNr, QStringLiteral("Piotrkowska 12 m. 3"));
    QCOMPARE(session.Z_Miejscowosc, QStringLiteral("Łódź"));
}

void tst_SessionState::loadFromRefusedAnswerClears()
{
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential("jan"), EncodeCredential("Haslo1"));
    QCOMPARE(session.State, ssActive);

    TRemSessionBeginData refused = SampleSessionBegin();
    refused.RetCode = 3;
    session.LoadFrom(refused, u',');
    QCOMPARE(session.State, ssNone);
    QCOMPARE(session.SessionToken, QString());
    QCOMPARE(session.LoginE, QString());
    QCOMPARE(session.F_Nazwa, QString());
    QCOMPARE(session.F_Kind, 1);
}

void tst_SessionState::loadFromIntrusion_data()
{
    QTest::addColumn<QString>("decoded");
    QTest::newRow("no separator") << "43983,25";
    QTest::newRow("empty second field") << "1;;2;43983,25";
    QTest::newRow("first field not a number") << "A1;43983,25";
    QTest::newRow("third field not a number") << "1;x;B;43983,25";
}

void tst_SessionState::loadFromIntrusion()
{
    QFETCH(QString, decoded);
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.SessionToken = EncodeSessionToken(decoded);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential("jan"), EncodeCredential("Haslo1"));
    try {
        session.LoadFrom(answer, u',');
        QFAIL("an unusable token was accepted");
    } catch (const AppError &e) {
        QCOMPARE(e.message(), QStringLiteral("Wykryto próbę włamania do systemu."));
    }
    // The token stays, everything else is cleared.
    QCOMPARE(session.SessionToken, answer.SessionToken);
    QCOMPARE(session.State, ssNone);
    QCOMPARE(session.F_Nazwa, QString());
    QCOMPARE(session.ServiceDate, 0.0);
    QCOMPARE(session.LastActivity, 0.0);
}

void tst_SessionState::expiry_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("active");
    QTest::newRow("at once") << 0 << true;
    QTest::newRow("14:59") << 14 * 60 + 59 << true;
    QTest::newRow("15:00") << 15 * 60 << true;
    QTest::newRow("15:01") << 15 * 60 + 1 << false;
    QTest::newRow("16:00") << 16 * 60 << false;
    QTest::newRow("a day later") << 24 * 3600 << false;
}

void tst_SessionState::expiry()
{
    QFETCH(int, seconds);
    QFETCH(bool, active);
    ManualClock clock(kLoginTime);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential("jan"), EncodeCredential("Haslo1"));

    clock.advanceSeconds(seconds);
    MessageRecorder sink;
    QCOMPARE(session.CheckActive(), active);
    if (active) {
        QCOMPARE(sink.messages.size(), 0);
        QCOMPARE(session.State, ssActive);
        return;
    }
    QCOMPARE(sink.texts(), QStringList{kExpiredText + kNotPossible});
    QCOMPARE(sink.messages.first().icon, MessageIcon::Information);
    QCOMPARE(sink.messages.first().caption, ApplicationTitle());
    QCOMPARE(session.State, ssExpired);
    // Expired stays expired, and can be renewed.
    clock.set(kLoginTime);
    QString text;
    QVERIFY(!session.IsActive(text));
    QCOMPARE(text, kExpiredText);
    QVERIFY(session.CanRenew(text));
}

void tst_SessionState::renewalRestartsTheClock()
{
    ManualClock clock(kLoginTime);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential("jan"), EncodeCredential("Haslo1"));
    clock.advanceSeconds(20 * 60);
    QVERIFY(session.IsExpired());

    session.Renewed(QStringLiteral("nowy-token"));
    QCOMPARE(session.State, ssActive);
    QCOMPARE(session.SessionToken, QStringLiteral("nowy-token"));
    clock.advanceSeconds(15 * 60);
    QVERIFY(!session.IsExpired());
    clock.advanceSeconds(1);
    QVERIFY(session.IsExpired());

    // A password change restarts it too, and replaces the credentials.
    session.PasswordChanged(EncodeCredential("jan"), EncodeCredential("Nowe2haslo"), QStringLiteral("t3"));
    QVERIFY(!session.IsExpired());
    QCOMPARE(DecodeCredential(session.PasswordE), QStringLiteral("Nowe2haslo"));
    QCOMPARE(session.SessionToken, QStringLiteral("t3"));
}

void tst_SessionState::checksPerState_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("renewable");
    QTest::addColumn<QString>("text");
    QTest::newRow("never logged in") << int(ssNone) << false << false << kNoneText;
    QTest::newRow("active") << int(ssActive) << true << true << QStringLiteral("Serwis jest aktywny.");
    QTest::newRow("expired") << int(ssExpired) << false << true << kExpiredText;
    QTest::newRow("logged out") << int(ssLoggedOut) << false << false << kLoggedOutText;
}

void tst_SessionState::checksPerState()
{
    QFETCH(int, state);
    QFETCH(bool, active);
    QFETCH(bool, renewable);
    QFETCH(QString, text);
    ManualClock clock(kLoginTime);
    TU_WEBServiceSession session;
    session.BeginSession(SampleSessionBegin(), EncodeCredential("jan"), EncodeCredential("Haslo1"));
    session.State = static_cast<TSessionState>(state);
    QCOMPARE(session.StateText(), text);

    MessageRecorder sink;
    QCOMPARE(session.CheckActive(), active);
    QCOMPARE(session.CheckCanRenew(), renewable);
    QStringList expected;
    if (!active)
        expected << text + kNotPossible;
    if (!renewable)
        expected << text + kNotPossible;
    QCOMPARE(sink.texts(), expected);
}

void tst_SessionState::credentialsMatch_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("match");
    QTest::newRow("same") << "Jan.Kowalski"
                          << "Haslo1ż" << true;
    QTest::newRow("identifier in another case") << "jan.kowalski"
                                                << "Haslo1ż" << false;
    QTest::newRow("password in another case") << "Jan.Kowalski"
                                              << "haslo1ż" << false;
    QTest::newRow("password without the Polish letter") << "Jan.Kowalski"
                                                        << "Haslo1z" << false;
}

void tst_SessionState::credentialsMatch()
{
    QFETCH(QString, identifier);
    QFETCH(QString, password);
    QFETCH(bool, match);
    TU_WEBServiceSession session;
    session.SetCredentials(EncodeCredential("Jan.Kowalski"), EncodeCredential("Haslo1ż"));
    QString message = QStringLiteral("untouched");
    QCOMPARE(session.CredentialsMatch(identifier, password, message), match);
    QCOMPARE(message,
             match ? QStringLiteral("untouched")
                   : QStringLiteral("Dane logowania niezgodne z podanymi podczas pierwotnego logowania."));
}

void tst_SessionState::clearResetsFirmKind()
{
    TU_WEBServiceSession session;
    QCOMPARE(session.F_Kind, 1);
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.F_Kind = 0;
    session.BeginSession(answer, EncodeCredential("jan"), EncodeCredential("Haslo1"));
    QCOMPARE(session.F_Kind, 0);
    session.Clear();
    QCOMPARE(session.F_Kind, 1);
    QCOMPARE(session.State, ssNone);
    QCOMPARE(session.LoginE, QString());
}

QTEST_GUILESS_MAIN(tst_SessionState)
#include "tst_session_state.moc"

// The demo server's logic against a throwaway database: the operations as the
// client sees them, without HTTP.

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/PasswordRule.h"
#include "protocol/SessionToken.h"
#include "server/DemoData.h"
#include "server/DemoService.h"
#include "server/DigestQueue.h"
#include "server/LoginThrottle.h"
#include "server/PasswordHash.h"
#include "server/ServerDatabase.h"
#include "server/SessionToken.h"
#include "server/YearTurnover.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The demo data is generated as on this day, so the figures do not move with
// the calendar.
const QDateTime kToday(QDate(2026, 6, 20), QTime(10, 30));

qint64 grosze(double zloty)
{
    return std::llround(zloty * 100.0);
}

// One signed-in tenant talking to the service the way the client does.
struct Tenant
{
    DemoService *service = nullptr;
    QString loginE;
    QString passwordE;
    QString token;
    TRemSessionBeginData begin;

    static Tenant SignIn(DemoService &service, const QString &login, const QString &password)
    {
        Tenant t{&service, EncodeCredential(login), EncodeCredential(password), {}, {}};
        auto result = service.ZOKA_WS_CzSessionBegin(t.loginE, t.passwordE);
        if (!result.ok())
            qFatal("session begin failed: %s", qPrintable(result.failure().detail));
        t.begin = result.value();
        t.token = t.begin.SessionToken;
        return t;
    }

    TRemYearRozrachGetData Year(int year)
    {
        return service->ZOKA_WS_YearRozrachGet(loginE, passwordE, token, year).value();
    }
    TRemKartotekaMcaGetData Month(int account, int year, int month)
    {
        return service->ZOKA_WS_KartotekaMcaGet(loginE, passwordE, token, account, year, month).value();
    }
    TRemDokDetailsGetData Details(int document, int account, int year)
    {
        return service->ZOKA_WS_DokDetailsGet(loginE, passwordE, token, document, account, year).value();
    }
};

const TDoubleDynArray &debits(const TRemYearRozrachGetData &r, int account)
{
    const TDoubleDynArray *arrays[]
        = {&r.ObrotyCZMain_WN, &r.ObrotyCZOds_WN, &r.ObrotyWOMain_WN, &r.ObrotyWOOds_WN, &r.ObrotyOdpady_WN};
    return *arrays[account];
}

const TDoubleDynArray &credits(const TRemYearRozrachGetData &r, int account)
{
    const TDoubleDynArray *arrays[]
        = {&r.ObrotyCZMain_MA, &r.ObrotyCZOds_MA, &r.ObrotyWOMain_MA, &r.ObrotyWOOds_MA, &r.ObrotyOdpady_MA};
    return *arrays[account];
}

QString passwordOf(const QString &login)
{
    for (const DemoData::Login &l : DemoData::Logins()) {
        if (l.login == login)
            return l.password;
    }
    return {};
}

} // namespace

class tst_Server : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void rotationRoundTrip_data();
    void rotationRoundTrip();
    void tokenHasTheClientsForm();

    void initialCheck_data();
    void initialCheck();

    void sessionBeginAnswer_data();
    void sessionBeginAnswer();
    void refusedSignIn_data();
    void refusedSignIn();
    void repeatedFailuresLockTheLogin();
    void throttleHoldsOnlyTheGuessingAddress();
    void impossibleLoginsLeaveNoTrace_data();
    void impossibleLoginsLeaveNoTrace();
    void throttleTableIsBounded();
    void signInAllowanceBuildsNoDebt();
    void addressGroups_data();
    void addressGroups();
    void guessesFromManyAddressesMeetALoginBudget();
    void heldTooLongIsRefusedAtOnce();
    void digestQueueIsBoundedAndFair();
    void aChangedDigestIsNeverDerivedInline();
    void guessesWithATokenEndTheSession_data();
    void guessesWithATokenEndTheSession();
    void operatorPasswordEndsOpenSessions();
    void oneTenantCannotEvictAnother();
    void oldDigestsAreUpgradedOnSignIn();

    void figuresAgree_data();
    void figuresAgree();
    void openingIsPreviousClosing_data();
    void openingIsPreviousClosing();
    void demoDataShowsTheCases();
    void demoDataIsDeterministic();
    void passwordsAreNotStoredPlain();

    void badParameters_data();
    void badParameters();
    void foreignAndNonChargeDocuments();

    void sessionExpiresAndRenews();
    void sessionLifetimeIsConfigurable();
    void logoutEndsTheSession();
    void requestsNeedTheSessionsCredentials();
    void passwordChangePersists();
    void weakOrWrongPasswordChange_data();
    void weakOrWrongPasswordChange();

private:
    QDateTime m_now;
    QTemporaryDir m_dir;
    std::unique_ptr<ServerDatabase> m_db;
    std::unique_ptr<DemoService> m_service;
};

void tst_Server::initTestCase()
{
    QVERIFY(m_dir.isValid());
    SetClock([this] { return DateTimeToValue(m_now); });
    m_now = kToday;
    m_db = std::make_unique<ServerDatabase>(m_dir.filePath(u"demo.sqlite"_s));
    DemoData::Populate(*m_db, Now());
}

void tst_Server::init()
{
    // Each test starts at the same moment with fresh sessions and no locks.
    m_now = kToday;
    m_service = std::make_unique<DemoService>(*m_db, DemoService::Settings{});
}

void tst_Server::cleanupTestCase()
{
    m_service.reset();
    m_db.reset();
    SetClock({});
}

void tst_Server::rotationRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("letters and digits") << u"AbcXyz0189"_s;
    QTest::newRow("polish and punctuation") << u"Zażółć gęślą jaźń; 12,5!"_s;
    QTest::newRow("empty") << QString();
}

void tst_Server::rotationRoundTrip()
{
    QFETCH(QString, text);
    QCOMPARE(DecodeCredential(EncodeCredential(text)), text);
    QCOMPARE(DecodeSessionToken(EncodeSessionToken(text)), text);
    // Characters outside A-Z, a-z and 0-9 pass unchanged.
    const QString encoded = EncodeCredential(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLetterOrNumber() && text[i].unicode() < 128))
            QCOMPARE(encoded[i], text[i]);
    }
}

void tst_Server::tokenHasTheClientsForm()
{
    Tenant t = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    QCOMPARE(t.begin.RetCode, 0);
    // Decoded as the client does: letters and digits rotated forward.
    const QString plain = RotateText(t.token, -DOMVEL_LETTER_ROTATION, -DOMVEL_LETTER_ROTATION, -DOMVEL_DIGIT_ROTATION);
    const QStringList fields = plain.split(u';');
    QCOMPARE(fields.size(), 4);
    bool ok = false;
    fields[0].toLongLong(&ok);
    QVERIFY2(ok, qPrintable(u"first field not a whole number: "_s + plain));
    QVERIFY(!fields[1].isEmpty());
    fields[2].toLongLong(&ok);
    QVERIFY2(ok, qPrintable(u"third field not a whole number: "_s + plain));
    // The date carries a comma, which the client accepts in every locale.
    QVERIFY(fields[3].contains(u','));
    const double date = QString(fields[3]).replace(u',', u'.').toDouble(&ok);
    QVERIFY(ok);
    QVERIFY2(std::abs(date - Now()) < 1e-5, "the service date is the server's current time");
    QCOMPARE(SessionToken::ParseEncoded(t.token)->tenantId, fields[2].toLongLong());
}

void tst_Server::initialCheck_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("code");
    QTest::newRow("current") << u"1.3.0.0"_s << 100;
    QTest::newRow("short form of current") << u"1.3"_s << 100;
    QTest::newRow("newer") << u"2.0.0.1"_s << 100;
    QTest::newRow("older build") << u"1.2.9.9"_s << 101;
    QTest::newRow("old major") << u"0.9"_s << 101;
    QTest::newRow("empty") << QString() << 102;
    QTest::newRow("text") << u"abc"_s << 102;
    QTest::newRow("five parts") << u"1.3.0.0.0"_s << 102;
    QTest::newRow("suffix") << u"1.3.0.0-beta"_s << 102;
}

void tst_Server::initialCheck()
{
    QFETCH(QString, version);
    QFETCH(int, code);
    const auto result = m_service->ZOKA_WS_InitialCheck(version);
    QVERIFY(result.ok());
    QCOMPARE(result.value().RetCode, code);
    QVERIFY(!result.value().RetCodeAsString.isEmpty());

    DemoService::Settings stricter;
    stricter.minimumVersion = QVersionNumber(1, 4);
    DemoService newer(*m_db, stricter);
    if (code == 100)
        QCOMPARE(newer.ZOKA_WS_InitialCheck(version).value().RetCode, version.startsWith(u'2') ? 100 : 101);
}

void tst_Server::sessionBeginAnswer_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("secondName");
    QTest::addColumn<int>("activeYear");
    QTest::addColumn<bool>("waterInterest");
    QTest::newRow("cooperative, two holders") << u"kowalski"_s << 1 << u"Anna"_s << 2026 << true;
    QTest::newRow("cooperative, one holder") << u"wisniewska"_s << 1 << QString() << 2026 << true;
    QTest::newRow("no water interest") << u"nowak"_s << 1 << u"Ewa"_s << 2026 << false;
    QTest::newRow("community, books to 2014") << u"zielinski"_s << 2 << QString() << 2014 << false;
}

void tst_Server::sessionBeginAnswer()
{
    QFETCH(QString, login);
    QFETCH(int, kind);
    QFETCH(QString, secondName);
    QFETCH(int, activeYear);
    QFETCH(bool, waterInterest);

    const TRemSessionBeginData r = Tenant::SignIn(*m_service, login, passwordOf(login)).begin;
    QCOMPARE(r.RetCode, 0);
    QCOMPARE(r.F_Kind, kind);
    QCOMPARE(r.U_Imie2, secondName);
    QCOMPARE(r.U_Nazwisko2.isEmpty(), secondName.isEmpty());
    QVERIFY(!r.F_Nazwa.isEmpty() && !r.Z_UlicaNr.isEmpty() && !r.U_Nazwisko1.isEmpty());
    QCOMPARE(r.WOOds_Service_F, waterInterest);
    QVERIFY(r.CZMain_Service_F && r.CZOds_Service_F && r.WOMain_Service_F && r.Odpady_Service_F);

    // Period texts are whole-day numbers: readable with any decimal separator.
    bool ok = false;
    const double active = r.SysCZPeriodEwidActive.toLongLong(&ok);
    QVERIFY2(ok, qPrintable(r.SysCZPeriodEwidActive));
    QCOMPARE(int(DateYear(active)), activeYear);
    QCOMPARE(int(DateYear(r.SysCZPeriodStart.toLongLong(&ok))), 2011);
    QVERIFY(ok);
    r.UserDateEksploatFrom.toLongLong(&ok);
    QVERIFY(ok);

    // The figures of the open year equal those of the yearly query.
    Tenant t = Tenant::SignIn(*m_service, login, passwordOf(login));
    const TRemYearRozrachGetData year = t.Year(activeYear);
    QCOMPARE(r.ObrotyCZMain_WN, year.ObrotyCZMain_WN);
    QCOMPARE(r.ObrotyOdpady_MA, year.ObrotyOdpady_MA);
    QCOMPARE(r.ObrotyCZMain_WN.size(), 13);
}

void tst_Server::refusedSignIn_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << u"kowalski"_s << u"Kowalski2"_s;
    QTest::newRow("other letter case") << u"kowalski"_s << u"kowalski1"_s;
    QTest::newRow("login in capitals") << u"KOWALSKI"_s << u"Kowalski1"_s;
    QTest::newRow("unknown login") << u"nikt"_s << u"Kowalski1"_s;
    QTest::newRow("empty") << QString() << QString();
}

void tst_Server::refusedSignIn()
{
    QFETCH(QString, login);
    QFETCH(QString, password);
    const auto result = m_service->ZOKA_WS_CzSessionBegin(EncodeCredential(login), EncodeCredential(password));
    QVERIFY(result.ok());
    QCOMPARE(result.value().RetCode, int(DemoService::WrongCredentials));
    QVERIFY(result.value().SessionToken.isEmpty());
    QCOMPARE(m_service->Sessions().Count(), 0);
}

void tst_Server::repeatedFailuresLockTheLogin()
{
    const QString login = EncodeCredential(u"nowak"_s);
    const QString right = EncodeCredential(u"NowakP2015"_s);
    const QString wrong = EncodeCredential(u"Zgadywanie1"_s);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, wrong).value().RetCode, int(DemoService::WrongCredentials));
    // Locked: even the right password is refused for a while.
    QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, right).value().RetCode, int(DemoService::LoginLocked));
    // Other logins are not affected.
    QCOMPARE(Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s).begin.RetCode, 0);
    m_now = m_now.addSecs(61);
    QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, right).value().RetCode, 0);
}

void tst_Server::throttleHoldsOnlyTheGuessingAddress()
{
    const QString login = EncodeCredential(u"nowak"_s);
    const QString right = EncodeCredential(u"NowakP2015"_s);
    const QString wrong = EncodeCredential(u"Zgadywanie1"_s);
    m_service->SetClientAddress(u"203.0.113.66"_s);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, wrong).value().RetCode, int(DemoService::WrongCredentials));
    QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, right).value().RetCode, int(DemoService::LoginLocked));
    // The tenant, from elsewhere, is not locked out by someone else's guesses.
    m_service->SetClientAddress(u"198.51.100.7"_s);
    QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, right).value().RetCode, 0);
    // The guessing address waits longer after each further failure.
    m_service->SetClientAddress(u"203.0.113.66"_s);
    const double firstWait = m_service->Throttle().WaitSeconds(u"nowak"_s, u"203.0.113.66"_s, Now());
    QVERIFY(firstWait > 0 && firstWait <= 60);
    m_now = m_now.addSecs(qint64(firstWait) + 1);
    QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, wrong).value().RetCode, int(DemoService::WrongCredentials));
    QVERIFY(m_service->Throttle().WaitSeconds(u"nowak"_s, u"203.0.113.66"_s, Now()) > firstWait);
}

void tst_Server::impossibleLoginsLeaveNoTrace_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::newRow("a million characters") << QString(1000000, u'a') << u"Kowalski1"_s;
    QTest::newRow("33 characters") << QString(33, u'k') << u"Kowalski1"_s;
    QTest::newRow("two characters") << u"ko"_s << u"Kowalski1"_s;
    QTest::newRow("a space") << u"kowal ski"_s << u"Kowalski1"_s;
    QTest::newRow("a quote") << u"kowalski'--"_s << u"Kowalski1"_s;
    QTest::newRow("long password") << u"kowalski"_s << QString(100000, u'K');
}

void tst_Server::impossibleLoginsLeaveNoTrace()
{
    QFETCH(QString, login);
    QFETCH(QString, password);
    // What a possible login with a wrong password costs here and now: one
    // digest. A service of its own keeps the throttle of m_service empty.
    qint64 possibleMs = 0;
    {
        DemoService other(*m_db, DemoService::Settings{});
        QElapsedTimer timer;
        timer.start();
        other.ZOKA_WS_CzSessionBegin(EncodeCredential(u"kowalski"_s), EncodeCredential(u"Kowalski2"_s));
        possibleMs = timer.elapsed();
    }
    QElapsedTimer timer;
    timer.start();
    const auto result = m_service->ZOKA_WS_CzSessionBegin(EncodeCredential(login), EncodeCredential(password));
    QCOMPARE(result.value().RetCode, int(DemoService::WrongCredentials));
    const qint64 impossibleMs = timer.elapsed();
    // Refused before any digest or table entry.
    QCOMPARE(m_service->Throttle().Tracked(), 0);
    QVERIFY2(impossibleMs * 2 < possibleMs,
             qPrintable(
                 u"an impossible login must cost no password digest: %1 ms, a wrong password %2 ms"_s.arg(impossibleMs)
                     .arg(possibleMs)));
}

void tst_Server::throttleTableIsBounded()
{
    LoginThrottle throttle;
    const double now = Now();
    for (int i = 0; i < 3 * LoginThrottle::kMaxTracked; ++i)
        throttle.RecordFailure(u"login%1"_s.arg(i), u"192.0.2.1"_s, now + i * 1e-9);
    // Two of its tables take these: per login and address, and per login.
    QVERIFY(throttle.Tracked() <= 2 * LoginThrottle::kMaxTracked);
    // The newest entries survive a flood; stale ones expire by time.
    QVERIFY(throttle.WaitSeconds(u"login%1"_s.arg(3 * LoginThrottle::kMaxTracked - 1), u"192.0.2.1"_s, now) == 0);
    for (int i = 0; i < 6; ++i)
        throttle.RecordFailure(u"nowak"_s, u"192.0.2.1"_s, now);
    QVERIFY(throttle.WaitSeconds(u"nowak"_s, u"192.0.2.1"_s, now) > 0);
    QCOMPARE(throttle.WaitSeconds(u"nowak"_s, u"192.0.2.1"_s, now + 1.0), 0.0);
}

void tst_Server::signInAllowanceBuildsNoDebt()
{
    LoginThrottle throttle;
    const double now = Now();
    const QString address = u"192.0.2.9"_s;
    constexpr double kHold = 5.0;
    // The burst at once, then turns at the rate, as long as the wait is short.
    for (int i = 0; i < int(LoginThrottle::kSignInBurst); ++i)
        QCOMPARE(throttle.TakeSignIn(address, now, kHold), std::optional<double>(0.0));
    double last = 0;
    int held = 0;
    while (const std::optional<double> wait = throttle.TakeSignIn(address, now, kHold)) {
        QVERIFY(*wait > last && *wait <= kHold);
        last = *wait;
        ++held;
    }
    QCOMPARE(held, int(kHold * LoginThrottle::kSignInsPerSecond));
    // Refused attempts took nothing: a thousand more do not postpone the
    // next turn, which comes as the allowance refills.
    for (int i = 0; i < 1000; ++i)
        QVERIFY(!throttle.TakeSignIn(address, now, kHold));
    const double halfSecond = 0.5 / (24 * 60 * 60);
    const std::optional<double> next = throttle.TakeSignIn(address, now + 1.1 * halfSecond, kHold);
    QVERIFY(next && *next <= kHold);
    // Another address has its own allowance.
    QCOMPARE(throttle.TakeSignIn(u"192.0.2.10"_s, now, kHold), std::optional<double>(0.0));
}

void tst_Server::addressGroups_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("group");
    QTest::newRow("IPv4") << u"192.0.2.7"_s << u"192.0.2.7"_s;
    QTest::newRow("IPv4 mapped into IPv6") << u"::ffff:192.0.2.7"_s << u"192.0.2.7"_s;
    QTest::newRow("IPv6") << u"2001:db8:1:2:aaaa:bbbb:cccc:dddd"_s << u"2001:db8:1:2::/64"_s;
    QTest::newRow("IPv6, same /64") << u"2001:db8:1:2::1"_s << u"2001:db8:1:2::/64"_s;
    QTest::newRow("IPv6, next /64") << u"2001:db8:1:3::1"_s << u"2001:db8:1:3::/64"_s;
}

void tst_Server::addressGroups()
{
    QFETCH(QString, address);
    QFETCH(QString, group);
    QCOMPARE(LoginThrottle::AddressGroup(QHostAddress(address)), group);
}

void tst_Server::guessesFromManyAddressesMeetALoginBudget()
{
    // One attacker with 200 addresses guesses one login for an hour, each
    // guess from the address that has guessed least, as soon as the throttle
    // lets any of them; the tenant signed in from its own address before.
    LoginThrottle throttle;
    const QString login = u"nowak"_s;
    const QString home = u"198.51.100.7"_s;
    const double start = Now();
    const double second = 1.0 / (24 * 60 * 60);
    throttle.RecordSuccess(login, home, start);
    int guesses = 0;
    for (double t = 0; t < 3600; t += 1.0) {
        const QString address = u"203.0.113.%1"_s.arg(guesses % 200);
        if (throttle.WaitSeconds(login, address, start + t * second) > 0)
            continue;
        throttle.RecordFailure(login, address, start + t * second);
        ++guesses;
    }
    qInfo("guesses of one login from 200 addresses in an hour: %d", guesses);
    QVERIFY2(guesses <= LoginThrottle::kLoginFreeFailures + 12, qPrintable(QString::number(guesses)));
    const double end = start + 3600 * second;
    // Every other address now waits for this login, the tenant's own does
    // not, and other logins are not affected.
    QVERIFY(throttle.WaitSeconds(login, u"192.0.2.99"_s, end) > 0);
    QCOMPARE(throttle.WaitSeconds(login, home, end), 0.0);
    QCOMPARE(throttle.WaitSeconds(u"kowalski"_s, u"192.0.2.99"_s, end), 0.0);
    // An hour without failures and the budget is whole again.
    QCOMPARE(throttle.WaitSeconds(login, u"192.0.2.99"_s, end + 3601 * second), 0.0);
}

void tst_Server::heldTooLongIsRefusedAtOnce()
{
    const QString login = EncodeCredential(u"nowak"_s);
    const QString wrong = EncodeCredential(u"Zgadywanie1"_s);
    for (int i = 0; i < LoginThrottle::kFreeFailures + 1; ++i)
        QCOMPARE(m_service->ZOKA_WS_CzSessionBegin(login, wrong).value().RetCode, int(DemoService::WrongCredentials));
    // The next attempt would wait 15 s: refused at once, with no digest job.
    const DemoService::Preparation locked = m_service->Prepare("ZOKA_WS_CzSessionBegin", login, wrong, {});
    QCOMPARE(locked.refusal, std::optional<qint32>(DemoService::LoginLocked));
    QVERIFY(!locked.job);
    // A short wait is held, with the job to run after it.
    m_now = m_now.addSecs(qint64(LoginThrottle::kFirstWaitSeconds - DemoService::kMaxHoldSeconds) + 1);
    const DemoService::Preparation held = m_service->Prepare("ZOKA_WS_CzSessionBegin", login, wrong, {});
    QVERIFY(!held.refusal);
    QVERIFY(held.job && held.waitSeconds > 0 && held.waitSeconds <= DemoService::kMaxHoldSeconds);
    QCOMPARE(m_service->WaitBeforeDigest(*held.job), held.waitSeconds);
}

void tst_Server::digestQueueIsBoundedAndFair()
{
    const DemoService::PasswordJob job{u"nowak"_s, {}, u"Haslo1"_s, PasswordHash::Make(u"Haslo1"_s, 1), {}};
    DigestQueue queue({3, 2, 60000});
    QStringList started;
    QStringList finished;
    const auto enqueue = [&](const QString &client, const QString &name, bool *dropped = nullptr) {
        return queue.Enqueue(
            client, job,
            [&started, name] {
                started << name;
                return true;
            },
            [&finished, name](const DemoService::PasswordJobResult &) { finished << name; },
            [dropped] {
                if (dropped)
                    *dropped = true;
            });
    };
    // The heavy client has guessed wrong lately.
    DemoService::PasswordJob guess = job;
    guess.password = u"Zgadywanie1"_s;
    QVERIFY(queue.Enqueue(u"heavy"_s, guess, {},
                          [&finished](const DemoService::PasswordJobResult &) { finished << u"guess"_s; }, {}));
    QTRY_COMPARE(finished.size(), 1);
    started.clear();
    // Results come back on this thread: until the loop runs, every worker
    // counts as busy and the rest stays queued.
    int workers = 0;
    while (queue.Queued() == 0)
        QVERIFY(enqueue(u"worker%1"_s.arg(workers++), u"worker"_s));
    QCOMPARE(queue.Running(), workers - 1);
    QCOMPARE(queue.Queued(), 1);
    finished.clear();
    // Per client: two at most.
    bool heavyDropped = false;
    QVERIFY(enqueue(u"heavy"_s, u"heavy"_s));
    QVERIFY(enqueue(u"heavy"_s, u"heavy 2"_s, &heavyDropped));
    QVERIFY(!enqueue(u"heavy"_s, u"heavy 3"_s));
    QCOMPARE(queue.Queued(), 3);
    // Full: a newcomer takes the place of the newest job of the client that
    // holds the most, but not of one that holds no more than itself.
    QVERIFY(enqueue(u"newcomer"_s, u"newcomer"_s));
    QVERIFY(heavyDropped);
    QCOMPARE(queue.Queued(), 3);
    QVERIFY(!enqueue(u"another"_s, u"another"_s));
    // The clients with no wrong passwords go first: the heavy one last.
    QTRY_COMPARE(finished.size(), workers + 2);
    QCOMPARE(started.last(), u"heavy"_s);
    QVERIFY(!started.contains(u"heavy 2"_s));
    // Stopping drops what waits, without answers.
    finished.clear();
    QVERIFY(enqueue(u"a"_s, u"a"_s));
    QVERIFY(enqueue(u"b"_s, u"b"_s));
    queue.Shutdown();
    QCOMPARE(queue.Queued(), 0);
    QVERIFY(!enqueue(u"c"_s, u"c"_s));
}

void tst_Server::aChangedDigestIsNeverDerivedInline()
{
    ServerDatabase db(m_dir.filePath(u"inline.sqlite"_s));
    DemoData::Populate(db, Now());
    DemoService::Settings settings;
    settings.inlineDigests = false;
    DemoService service(db, settings);
    const QString login = EncodeCredential(u"nowak"_s);
    const QString password = EncodeCredential(u"NowakP2015"_s);
    // Prepared and digested elsewhere; then the stored value changes before
    // the answer (the tenant's own password change did that).
    const DemoService::Preparation preparation = service.Prepare("ZOKA_WS_CzSessionBegin", login, password, {});
    QVERIFY(preparation.job);
    const DemoService::PasswordJob job = *preparation.job;
    service.Remember(job, DemoService::Run(job));
    QVERIFY(!service.Refreshed(job));
    const qint64 tenant = db.FindTenant(u"nowak"_s)->tenant.id;
    QVERIFY(db.SetPassword(tenant, PasswordHash::Make(u"NowakP2015"_s)));
    const std::optional<DemoService::PasswordJob> fresh = service.Refreshed(job);
    QVERIFY(fresh);
    QCOMPARE(fresh->stored, db.FindTenant(u"nowak"_s)->passwordStored);
    // The old result is not used, and no digest is derived here: busy.
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(service.ZOKA_WS_CzSessionBegin(login, password).value().RetCode, int(DemoService::Busy));
    const qint64 answeredMs = timer.elapsed();
    timer.restart();
    const DemoService::PasswordJobResult result = DemoService::Run(*fresh);
    const qint64 digestMs = timer.elapsed();
    QVERIFY2(answeredMs * 2 < digestMs,
             qPrintable(u"answered in %1 ms, a digest takes %2 ms"_s.arg(answeredMs).arg(digestMs)));
    // With the fresh job's result, the answer is the tenant's session.
    service.Remember(*fresh, result);
    QCOMPARE(service.ZOKA_WS_CzSessionBegin(login, password).value().RetCode, int(DemoService::Ok));
}

void tst_Server::guessesWithATokenEndTheSession_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("yearly figures") << u"year"_s;
    QTest::newRow("month ledger") << u"month"_s;
    QTest::newRow("logout") << u"logout"_s;
}

void tst_Server::guessesWithATokenEndTheSession()
{
    QFETCH(QString, operation);
    Tenant t = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    // What the operation answers with the password: true for a right one.
    const auto call = [&](const QString &passwordE) {
        if (operation == u"year")
            return m_service->ZOKA_WS_YearRozrachGet(t.loginE, passwordE, t.token, 2025).value().RetCode == 0;
        if (operation == u"month")
            return m_service->ZOKA_WS_KartotekaMcaGet(t.loginE, passwordE, t.token, 0, 2025, 1).value().RetCode == 0;
        return m_service->ZOKA_WS_Logout(t.loginE, passwordE, t.token).value();
    };
    const QString wrong = EncodeCredential(u"Zgadywanie1"_s);
    for (int i = 0; i < DemoService::kWrongPasswordsPerSession; ++i)
        QVERIFY(!call(wrong));
    // The session is gone, even for the right password; the guesses counted.
    QVERIFY(!call(t.passwordE));
    QCOMPARE(t.Year(2025).RetCode, int(DemoService::NoSession));
    QVERIFY(m_service->Throttle().Tracked() > 0);
}

void tst_Server::operatorPasswordEndsOpenSessions()
{
    Tenant t = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    const auto account = m_db->FindTenant(u"kowalski"_s);
    QVERIFY(m_db->SetPassword(account->tenant.id, PasswordHash::Make(u"NoweHaslo7"_s, 10)));
    const int code = t.Year(2025).RetCode;
    QVERIFY(m_db->SetPassword(account->tenant.id, account->passwordStored));
    QCOMPARE(code, int(DemoService::NoSession));
}

void tst_Server::oneTenantCannotEvictAnother()
{
    SessionRegistry sessions;
    const double now = Now();
    const QString other = sessions.Begin(2, u"nowak"_s, u"NowakP2015"_s, u"stamp"_s, now);
    QString first;
    for (int i = 0; i < SessionRegistry::kMaxSessionsPerTenant + 5; ++i) {
        const QString token = sessions.Begin(1, u"kowalski"_s, u"Kowalski1"_s, u"stamp"_s, now + i * 1e-6);
        if (i == 0)
            first = token;
    }
    QVERIFY(sessions.Find(other));
    QVERIFY(!sessions.Find(first));
    QCOMPARE(sessions.Count(), SessionRegistry::kMaxSessionsPerTenant + 1);
}

void tst_Server::oldDigestsAreUpgradedOnSignIn()
{
    const auto account = m_db->FindTenant(u"zielinski"_s);
    QVERIFY(m_db->SetPassword(account->tenant.id, PasswordHash::Make(u"Ogrod7Gda"_s, 1000)));
    Tenant first = Tenant::SignIn(*m_service, u"zielinski"_s, u"Ogrod7Gda"_s);
    QCOMPARE(first.begin.RetCode, 0);
    const QString upgraded = m_db->FindTenant(u"zielinski"_s)->passwordStored;
    QCOMPARE(PasswordHash::IterationsOf(upgraded), PasswordHash::kDefaultIterations);
    QVERIFY(PasswordHash::Verify(u"Ogrod7Gda"_s, upgraded));
    // The re-stored digest is the same password: the session stays open.
    QCOMPARE(first.Year(2014).RetCode, 0);
}

void tst_Server::figuresAgree_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<int>("fromYear");
    QTest::addColumn<int>("toYear");
    QTest::newRow("kowalski, all years") << u"kowalski"_s << 2011 << 2026;
    QTest::newRow("wisniewska, water starts") << u"wisniewska"_s << 2015 << 2017;
    QTest::newRow("nowak, moves in mid-month") << u"nowak"_s << 2015 << 2016;
    QTest::newRow("zielinski, community") << u"zielinski"_s << 2012 << 2014;
}

// The yearly arrays, the month ledgers and the charge components tell the
// same story, to the grosz.
void tst_Server::figuresAgree()
{
    QFETCH(QString, login);
    QFETCH(int, fromYear);
    QFETCH(int, toYear);
    Tenant t = Tenant::SignIn(*m_service, login, passwordOf(login));
    const auto &offered = t.begin;
    const bool offers[] = {offered.CZMain_Service_F, offered.CZOds_Service_F, offered.WOMain_Service_F,
                           offered.WOOds_Service_F, offered.Odpady_Service_F};
    int chargesChecked = 0;
    for (int year = fromYear; year <= toYear; ++year) {
        const TRemYearRozrachGetData figures = t.Year(year);
        QCOMPARE(figures.RetCode, 0);
        for (int account = 0; account < 5; ++account) {
            QCOMPARE(debits(figures, account).size(), 13);
            QCOMPARE(credits(figures, account).size(), 13);
            if (!offers[account])
                continue;
            for (int month = 1; month <= 12; ++month) {
                const TRemKartotekaMcaGetData ledger = t.Month(account, year, month);
                QCOMPARE(ledger.RetCode, 0);
                QCOMPARE(ledger.KsgNumber, ledger.KsgValue.size());
                qint64 debit = 0;
                qint64 credit = 0;
                for (int i = 0; i < ledger.KsgNumber; ++i) {
                    (ledger.KsgStrona[i] == 0 ? debit : credit) += grosze(ledger.KsgValue[i]);
                    if (ledger.KsgTypDok[i] != 1)
                        continue;
                    const TRemDokDetailsGetData details = t.Details(ledger.KsgID_Dok_Master[i], account, year);
                    QCOMPARE(details.RetCode, 0);
                    QCOMPARE(details.SklNumber, details.NazwaSkl.size());
                    qint64 gross = 0;
                    for (int k = 0; k < details.SklNumber; ++k)
                        gross += grosze(details.ValueNetto[k]) + grosze(details.ValueVAT[k]);
                    QVERIFY2(gross == grosze(ledger.KsgValue[i]),
                             qPrintable(u"charge %1: components %2, ledger %3"_s.arg(ledger.KsgNrDokMaster[i])
                                            .arg(gross)
                                            .arg(grosze(ledger.KsgValue[i]))));
                    ++chargesChecked;
                }
                const QString where = u"%1 account %2 %3-%4"_s.arg(login).arg(account).arg(year).arg(month);
                QVERIFY2(debit == grosze(debits(figures, account)[month]), qPrintable(where + u" debit"_s));
                QVERIFY2(credit == grosze(credits(figures, account)[month]), qPrintable(where + u" credit"_s));
            }
        }
    }
    QVERIFY(chargesChecked > 0);
}

void tst_Server::openingIsPreviousClosing_data()
{
    QTest::addColumn<QString>("login");
    QTest::addColumn<int>("lastYear");
    QTest::newRow("kowalski") << u"kowalski"_s << 2026;
    QTest::newRow("wisniewska") << u"wisniewska"_s << 2026;
    QTest::newRow("nowak") << u"nowak"_s << 2026;
    QTest::newRow("zielinski") << u"zielinski"_s << 2014;
}

void tst_Server::openingIsPreviousClosing()
{
    QFETCH(QString, login);
    QFETCH(int, lastYear);
    Tenant t = Tenant::SignIn(*m_service, login, passwordOf(login));
    TRemYearRozrachGetData previous = t.Year(2011);
    for (int year = 2012; year <= lastYear; ++year) {
        const TRemYearRozrachGetData current = t.Year(year);
        for (int account = 0; account < 5; ++account) {
            qint64 closing = 0;
            for (int slot = 0; slot < 13; ++slot)
                closing += grosze(credits(previous, account)[slot]) - grosze(debits(previous, account)[slot]);
            const qint64 opening = grosze(credits(current, account)[0]) - grosze(debits(current, account)[0]);
            QVERIFY2(opening == closing,
                     qPrintable(u"%1 account %2: opening %3 of %4, closing %5 of the year before"_s.arg(login)
                                    .arg(account)
                                    .arg(opening)
                                    .arg(year)
                                    .arg(closing)));
            // The opening state sits on one side only.
            QVERIFY(debits(current, account)[0] == 0 || credits(current, account)[0] == 0);
        }
        previous = current;
    }
}

// The cases the demo logins are there to show exist in the data.
void tst_Server::demoDataShowsTheCases()
{
    Tenant kowalski = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    // A month without documents (August of last year), in every account.
    for (int account = 0; account < 5; ++account) {
        const auto august = kowalski.Month(account, 2025, 8);
        QCOMPARE(august.RetCode, 0);
        QCOMPARE(august.KsgNumber, 0);
        QVERIFY(august.KsgValue.isEmpty());
    }
    // All kinds of documents, a charge of more than 15 components, a payment
    // term after the month's end.
    QSet<int> kinds;
    int mostComponents = 0;
    bool termAfterMonth = false;
    for (int year = 2011; year <= 2026; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const auto ledger = kowalski.Month(0, year, month);
            for (int i = 0; i < ledger.KsgNumber; ++i) {
                kinds.insert(ledger.KsgTypDok[i]);
                termAfterMonth = termAfterMonth || ledger.KsgDataOperRozrach[i] > MonthLastDayDate(year, month);
                if (year == 2025 && ledger.KsgTypDok[i] == 1)
                    mostComponents
                        = std::max(mostComponents, kowalski.Details(ledger.KsgID_Dok_Master[i], 0, year).SklNumber);
            }
        }
    }
    for (int kind : {1, 2, 3, 4, 6})
        QVERIFY2(kinds.contains(kind), qPrintable(u"no document of kind %1"_s.arg(kind)));
    QVERIFY2(mostComponents > 15, qPrintable(QString::number(mostComponents)));
    QVERIFY(termAfterMonth);

    // Welfare payments; no water before 2016.
    Tenant wisniewska = Tenant::SignIn(*m_service, u"wisniewska"_s, u"Wisnia2016"_s);
    const auto march = wisniewska.Month(0, 2020, 3);
    QVERIFY(march.KsgTypDok.contains(5));
    const auto before = wisniewska.Year(2015);
    for (double v : before.ObrotyWOMain_WN)
        QCOMPARE(v, 0.0);
    QVERIFY(wisniewska.Year(2016).ObrotyWOMain_WN[1] > 0);

    // Waste is its own charge only from July 2013.
    Tenant zielinski = Tenant::SignIn(*m_service, u"zielinski"_s, u"Ogrod7Gda"_s);
    const auto y2013 = zielinski.Year(2013);
    QCOMPARE(y2013.ObrotyOdpady_WN[6], 0.0);
    QVERIFY(y2013.ObrotyOdpady_WN[7] > 0);

    // The first charge of a tenant who moved in on the 17th covers part of
    // the month, with the fixed fees charged whole.
    Tenant nowak = Tenant::SignIn(*m_service, u"nowak"_s, u"NowakP2015"_s);
    const auto first = nowak.Month(0, 2015, 3);
    QVERIFY(first.KsgNumber > 0);
    QCOMPARE(first.KsgTypDok[0], 1);
    const auto details = nowak.Details(first.KsgID_Dok_Master[0], 0, 2015);
    QCOMPARE(ValueToDate(details.DataNalFrom), QDate(2015, 3, 17));
    QCOMPARE(ValueToDate(details.DataNalTo), QDate(2015, 3, 31));
    QVERIFY(details.UwzglCzescMca.contains(true));
    QVERIFY(details.UwzglCzescMca.contains(false));
    QVERIFY(details.TrescOper.contains(u"marzec"_s));
}

void tst_Server::demoDataIsDeterministic()
{
    const auto fingerprint = [](ServerDatabase &db) {
        DemoService service(db, {});
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const DemoData::Login &login : DemoData::Logins()) {
            Tenant t = Tenant::SignIn(service, login.login, login.password);
            for (int year : {2011, 2014, 2020, 2026}) {
                const auto figures = service.ZOKA_WS_YearRozrachGet(t.loginE, t.passwordE, t.token, year).value();
                for (int account = 0; account < 5; ++account) {
                    for (double v : debits(figures, account) + credits(figures, account))
                        hash.addData(QByteArray::number(grosze(v)));
                }
            }
        }
        return hash.result();
    };
    ServerDatabase other(u":memory:"_s);
    DemoData::Populate(other, Now());
    QCOMPARE(fingerprint(other), fingerprint(*m_db));
}

void tst_Server::passwordsAreNotStoredPlain()
{
    for (const DemoData::Login &login : DemoData::Logins()) {
        const auto account = m_db->FindTenant(login.login);
        QVERIFY(account);
        QVERIFY(account->passwordStored.startsWith(u"pbkdf2-sha256$"_s));
        QVERIFY(!account->passwordStored.contains(login.password));
        QVERIFY(IsStrongPassword(login.password));
    }
    // Two digests of one password differ: each has its own salt.
    QVERIFY(PasswordHash::Make(u"Abcdef1"_s, 10) != PasswordHash::Make(u"Abcdef1"_s, 10));
    QVERIFY(PasswordHash::Verify(u"Abcdef1"_s, PasswordHash::Make(u"Abcdef1"_s, 10)));
    QVERIFY(!PasswordHash::Verify(u"Abcdef1"_s, u"pbkdf2-sha256$10$$"_s));
}

void tst_Server::badParameters_data()
{
    QTest::addColumn<int>("account");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::newRow("account 5") << 5 << 2020 << 3;
    QTest::newRow("account -1") << -1 << 2020 << 3;
    QTest::newRow("month 0") << 0 << 2020 << 0;
    QTest::newRow("month 13") << 0 << 2020 << 13;
    QTest::newRow("year before the books") << 0 << 2010 << 12;
    QTest::newRow("year after the open period") << 0 << 2027 << 1;
}

void tst_Server::badParameters()
{
    QFETCH(int, account);
    QFETCH(int, year);
    QFETCH(int, month);
    Tenant t = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    const auto ledger = t.Month(account, year, month);
    QCOMPARE(ledger.RetCode, int(DemoService::BadParameters));
    QCOMPARE(ledger.KsgNumber, 0);
    if (month >= 1 && month <= 12 && account >= 0 && account < 5)
        QCOMPARE(t.Year(year).RetCode, int(DemoService::BadParameters));
    QVERIFY(t.Details(1, account, year).RetCode != 0);
}

void tst_Server::foreignAndNonChargeDocuments()
{
    Tenant kowalski = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    Tenant nowak = Tenant::SignIn(*m_service, u"nowak"_s, u"NowakP2015"_s);
    const auto ledger = kowalski.Month(0, 2024, 3);
    int charge = 0;
    int payment = 0;
    for (int i = 0; i < ledger.KsgNumber; ++i)
        (ledger.KsgTypDok[i] == 1 ? charge : payment) = ledger.KsgID_Dok_Master[i];
    QVERIFY(charge != 0 && payment != 0);
    QCOMPARE(kowalski.Details(charge, 0, 2024).RetCode, 0);
    // Another tenant's document, a payment, the wrong account or year.
    QCOMPARE(nowak.Details(charge, 0, 2024).RetCode, int(DemoService::NoDocument));
    QCOMPARE(kowalski.Details(payment, 0, 2024).RetCode, int(DemoService::NoDocument));
    QCOMPARE(kowalski.Details(charge, 1, 2024).RetCode, int(DemoService::NoDocument));
    QCOMPARE(kowalski.Details(charge, 0, 2023).RetCode, int(DemoService::NoDocument));
    // A category the dwelling does not have is refused.
    QCOMPARE(nowak.Month(3, 2024, 3).RetCode, int(DemoService::BadParameters));
    // The contract-only operation answers a fixed code.
    QCOMPARE(m_service->ZOKA_WS_WymiarOplatGet(kowalski.loginE, kowalski.passwordE, kowalski.token, 0, 2024, 3)
                 .value()
                 .RetCode,
             int(DemoService::NotAvailable));
}

void tst_Server::sessionExpiresAndRenews()
{
    Tenant t = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    const QDateTime start = m_now;
    m_now = start.addSecs(15 * 60);
    QCOMPARE(t.Year(2025).RetCode, 0);
    m_now = start.addSecs(15 * 60 + 1);
    QCOMPARE(t.Year(2025).RetCode, int(DemoService::SessionExpired));
    QCOMPARE(t.Month(0, 2025, 1).RetCode, int(DemoService::SessionExpired));

    // An expired session is renewed with the credentials; the old token dies.
    const QString old = t.token;
    const QString renewed = m_service->ZOKA_WS_SessionRenew(t.loginE, t.passwordE, t.token).value();
    QVERIFY(!renewed.isEmpty());
    QVERIFY(renewed != old);
    t.token = renewed;
    QCOMPARE(t.Year(2025).RetCode, 0);
    QCOMPARE(m_service->ZOKA_WS_YearRozrachGet(t.loginE, t.passwordE, old, 2025).value().RetCode,
             int(DemoService::NoSession));
    // The clock restarts at renewal.
    m_now = m_now.addSecs(14 * 60);
    QCOMPARE(t.Year(2025).RetCode, 0);

    // Renewal needs the right password.
    const QString wrong = EncodeCredential(u"Kowalski2"_s);
    QVERIFY(m_service->ZOKA_WS_SessionRenew(t.loginE, wrong, t.token).value().isEmpty());
}

void tst_Server::sessionLifetimeIsConfigurable()
{
    DemoService::Settings settings;
    settings.sessionMinutes = 2;
    DemoService shortLived(*m_db, settings);
    Tenant t = Tenant::SignIn(shortLived, u"kowalski"_s, u"Kowalski1"_s);
    m_now = m_now.addSecs(119);
    QCOMPARE(t.Year(2025).RetCode, 0);
    m_now = m_now.addSecs(2);
    QCOMPARE(t.Year(2025).RetCode, int(DemoService::SessionExpired));
}

void tst_Server::logoutEndsTheSession()
{
    Tenant t = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    QVERIFY(m_service->ZOKA_WS_Logout(t.loginE, t.passwordE, t.token).value());
    QCOMPARE(t.Year(2025).RetCode, int(DemoService::NoSession));
    QVERIFY(!m_service->ZOKA_WS_Logout(t.loginE, t.passwordE, t.token).value());
    QVERIFY(m_service->ZOKA_WS_SessionRenew(t.loginE, t.passwordE, t.token).value().isEmpty());
}

void tst_Server::requestsNeedTheSessionsCredentials()
{
    Tenant kowalski = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    Tenant nowak = Tenant::SignIn(*m_service, u"nowak"_s, u"NowakP2015"_s);
    // Another tenant's credentials with this token, or a made-up token.
    QCOMPARE(m_service->ZOKA_WS_YearRozrachGet(nowak.loginE, nowak.passwordE, kowalski.token, 2025).value().RetCode,
             int(DemoService::WrongCredentials));
    QCOMPARE(m_service->ZOKA_WS_YearRozrachGet(kowalski.loginE, EncodeCredential(u"x"_s), kowalski.token, 2025)
                 .value()
                 .RetCode,
             int(DemoService::WrongCredentials));
    QCOMPARE(
        m_service->ZOKA_WS_YearRozrachGet(kowalski.loginE, kowalski.passwordE, u"1;a;1;1,0"_s, 2025).value().RetCode,
        int(DemoService::NoSession));
}

void tst_Server::passwordChangePersists()
{
    ServerDatabase db(m_dir.filePath(u"change.sqlite"_s));
    DemoData::Populate(db, Now());
    {
        DemoService service(db, {});
        Tenant t = Tenant::SignIn(service, u"wisniewska"_s, u"Wisnia2016"_s);
        Tenant other = Tenant::SignIn(service, u"wisniewska"_s, u"Wisnia2016"_s);
        const auto changed
            = service.ZOKA_WS_ChangePassword(t.loginE, t.passwordE, t.token, EncodeCredential(u"NoweHaslo7"_s)).value();
        QCOMPARE(changed.RetCode, 0);
        QVERIFY(!changed.SessionToken.isEmpty() && changed.SessionToken != t.token);
        // The new token works with the new password; the old token and the
        // other session opened with the old password are gone.
        t.passwordE = EncodeCredential(u"NoweHaslo7"_s);
        t.token = changed.SessionToken;
        QCOMPARE(t.Year(2025).RetCode, 0);
        QCOMPARE(other.Year(2025).RetCode, int(DemoService::NoSession));
    }
    // A server started afresh on the same file knows only the new password.
    ServerDatabase reopened(db.Path());
    DemoService service(reopened, {});
    const QString login = EncodeCredential(u"wisniewska"_s);
    QCOMPARE(service.ZOKA_WS_CzSessionBegin(login, EncodeCredential(u"Wisnia2016"_s)).value().RetCode,
             int(DemoService::WrongCredentials));
    QCOMPARE(service.ZOKA_WS_CzSessionBegin(login, EncodeCredential(u"NoweHaslo7"_s)).value().RetCode, 0);
}

void tst_Server::weakOrWrongPasswordChange_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("fresh");
    QTest::addColumn<int>("code");
    QTest::newRow("too short") << u"Kowalski1"_s << u"Ab1cd"_s << int(DemoService::WeakPassword);
    QTest::newRow("17 characters") << u"Kowalski1"_s << u"Abcdefghijklmnop1"_s << int(DemoService::WeakPassword);
    QTest::newRow("no upper-case") << u"Kowalski1"_s << u"abcdefg1"_s << int(DemoService::WeakPassword);
    QTest::newRow("only a polish capital") << u"Kowalski1"_s << u"Łabcdefg1"_s << int(DemoService::WeakPassword);
    QTest::newRow("no lower-case") << u"Kowalski1"_s << u"ABCDEFG1"_s << int(DemoService::WeakPassword);
    QTest::newRow("no digit") << u"Kowalski1"_s << u"Abcdefgh"_s << int(DemoService::WeakPassword);
    QTest::newRow("wrong current password") << u"Kowalski9"_s << u"NoweHaslo7"_s << int(DemoService::WrongCredentials);
}

void tst_Server::weakOrWrongPasswordChange()
{
    QFETCH(QString, current);
    QFETCH(QString, fresh);
    QFETCH(int, code);
    const QString before = m_db->FindTenant(u"kowalski"_s)->passwordStored;
    Tenant t = Tenant::SignIn(*m_service, u"kowalski"_s, u"Kowalski1"_s);
    const auto answer
        = m_service->ZOKA_WS_ChangePassword(t.loginE, EncodeCredential(current), t.token, EncodeCredential(fresh))
              .value();
    QCOMPARE(answer.RetCode, code);
    QVERIFY(!answer.RetCodeAsString.isEmpty());
    QVERIFY(answer.SessionToken.isEmpty());
    QCOMPARE(m_db->FindTenant(u"kowalski"_s)->passwordStored, before);
    QCOMPARE(t.Year(2025).RetCode, 0);
}

QTEST_GUILESS_MAIN(tst_Server)
#include "tst_server.moc"

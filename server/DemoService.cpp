#include "server/DemoService.h"

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "protocol/CredentialEncoding.h"
#include "protocol/PasswordRule.h"
#include "protocol/SessionToken.h"
#include "server/OperatorCommands.h"
#include "server/PasswordHash.h"
#include "server/ServerDatabase.h"
#include "server/YearTurnover.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QtDebug>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// Runs one operation; a failure of the server itself becomes a fault.
template<typename F>
auto guarded(F &&operation) -> decltype(operation())
{
    try {
        return operation();
    } catch (const std::exception &error) {
        qWarning().noquote() << "operation failed:" << error.what();
        return ServiceFailure{ServiceFailure::Kind::Fault, u"Błąd wewnętrzny serwera."_s};
    }
}

// Period and occupancy dates travel as whole-day numbers: the client reads
// them with its locale's decimal separator, which a whole number never needs.
QString wholeDateText(double value)
{
    return QString::number(static_cast<qint64>(std::floor(value)));
}

template<typename Record>
Record refused(qint32 code)
{
    Record r;
    r.RetCode = code;
    r.RetCodeAsString = DemoService::RetCodeText(code);
    return r;
}

bool validAccount(int account)
{
    return account >= 0 && account < kAccountCount;
}

// Results of jobs run elsewhere wait here at most this many; a client that
// went away leaves its result behind.
constexpr qsizetype kMaxRemembered = 256;

QByteArray jobKey(char kind, const QString &password, const QString &stored)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(&kind, 1));
    hash.addData(stored.toUtf8());
    hash.addData(QByteArrayView("\0", 1));
    hash.addData(password.toUtf8());
    return hash.result();
}

// Texts no tenant can have: refused before any lookup or digest.
bool possibleCredentials(const QString &login, const QString &password)
{
    return OperatorCommands::IsValidLogin(login) && password.size() <= DemoService::kMaxPasswordLength;
}

} // namespace

DemoService::DemoService(ServerDatabase &database, Settings settings)
    : m_db(database), m_settings(std::move(settings)), m_sessions(m_settings.sessionMinutes)
{
}

QString DemoService::RetCodeText(qint32 code)
{
    switch (code) {
    case Ok: return u"OK"_s;
    case WrongCredentials: return u"Nieprawidłowy identyfikator użytkownika lub hasło."_s;
    case NoSession: return u"Sesja nie istnieje lub została zakończona. Proszę zalogować się ponownie."_s;
    case SessionExpired: return u"Upłynął czas aktywności sesji. Proszę odnowić sesję."_s;
    case LoginLocked: return u"Zbyt wiele nieudanych prób logowania. Proszę spróbować ponownie za minutę."_s;
    case WeakPassword: return WeakPasswordMessage();
    case BadParameters: return u"Nieprawidłowe parametry zapytania."_s;
    case NoDocument: return u"Nie znaleziono dokumentu naliczenia."_s;
    case Busy: return u"Serwer jest chwilowo przeciążony. Proszę spróbować ponownie za chwilę."_s;
    case NotAvailable: return u"Funkcja nie jest dostępna w serwisie demonstracyjnym."_s;
    case VersionOk: return u"Wersja programu jest aktualna."_s;
    case VersionTooOld: return u"Wymagana jest nowsza wersja programu."_s;
    case VersionUnreadable: return u"Nieprawidłowy numer wersji programu."_s;
    default: return u"Nieznany błąd."_s;
    }
}

double DemoService::ActivePeriod(const TenantAccount &account)
{
    const double period = account.cooperative.periodActive != 0 ? account.cooperative.periodActive : Now();
    return MonthStartDate(period);
}

bool DemoService::yearInRange(const TenantAccount &account, int year) const
{
    return year >= DateYear(account.cooperative.periodStart) && year <= DateYear(ActivePeriod(account));
}

DemoService::PasswordJobResult DemoService::Run(const PasswordJob &job)
{
    PasswordJobResult result;
    result.outcome = PasswordHash::Check(job.password, job.stored);
    if (result.outcome.match && !job.newPassword.isEmpty())
        result.newStored = PasswordHash::Make(job.newPassword);
    return result;
}

DemoService::Preparation DemoService::Prepare(std::string_view operation, const QString &aLoginE,
                                              const QString &aPasswordE, const QString &aPasswordE_New)
{
    const bool signIn = operation == "ZOKA_WS_CzSessionBegin";
    if (!signIn && operation != "ZOKA_WS_SessionRenew" && operation != "ZOKA_WS_ChangePassword")
        return {};
    const QString login = DecodeCredential(aLoginE);
    const QString password = DecodeCredential(aPasswordE);
    if (!possibleCredentials(login, password))
        return {};
    const double now = Now();
    Preparation preparation;
    preparation.waitSeconds = m_throttle.WaitSeconds(login, m_client, now);
    if (preparation.waitSeconds > kMaxHoldSeconds) {
        preparation.refusal = LoginLocked;
        return preparation;
    }
    if (signIn) {
        const std::optional<double> turn = m_throttle.TakeSignIn(m_client, now, kMaxHoldSeconds);
        if (!turn) {
            preparation.refusal = LoginLocked;
            return preparation;
        }
        preparation.waitSeconds = std::max(preparation.waitSeconds, *turn);
    }
    const std::optional<TenantAccount> account = m_db.FindTenant(login);
    const QString newPassword = DecodeCredential(aPasswordE_New);
    preparation.job
        = PasswordJob{login, m_client, password, account ? account->passwordStored : PasswordHash::DummyStored(),
                      IsStrongPassword(newPassword) ? newPassword : QString()};
    return preparation;
}

double DemoService::WaitBeforeDigest(const PasswordJob &job) const
{
    return m_throttle.WaitSeconds(job.login, job.client, Now());
}

void DemoService::Remember(const PasswordJob &job, const PasswordJobResult &result)
{
    if (m_checked.size() >= kMaxRemembered)
        m_checked.clear();
    if (m_stored.size() >= kMaxRemembered)
        m_stored.clear();
    m_checked.insert(jobKey('c', job.password, job.stored), result.outcome);
    if (!result.newStored.isEmpty())
        m_stored.insert(jobKey('n', job.newPassword, {}), result.newStored);
}

std::optional<PasswordHash::Outcome> DemoService::check(const QString &password, const QString &stored)
{
    const QByteArray key = jobKey('c', password, stored);
    const auto it = m_checked.find(key);
    if (it == m_checked.end()) {
        if (!m_settings.inlineDigests)
            return std::nullopt;
        return PasswordHash::Check(password, stored);
    }
    const PasswordHash::Outcome outcome = it.value();
    m_checked.erase(it);
    return outcome;
}

std::optional<QString> DemoService::store(const QString &password)
{
    const QString done = m_stored.take(jobKey('n', password, {}));
    if (!done.isEmpty())
        return done;
    if (!m_settings.inlineDigests)
        return std::nullopt;
    return PasswordHash::Make(password);
}

std::optional<DemoService::PasswordJob> DemoService::Refreshed(const PasswordJob &job) const
{
    const std::optional<TenantAccount> account = m_db.FindTenant(job.login);
    const QString &stored = account ? account->passwordStored : PasswordHash::DummyStored();
    if (stored == job.stored)
        return std::nullopt;
    PasswordJob fresh = job;
    fresh.stored = stored;
    return fresh;
}

qint32 DemoService::verifyPassword(const QString &login, const QString &password, std::optional<TenantAccount> &account)
{
    if (!possibleCredentials(login, password))
        return WrongCredentials;
    if (const std::optional<qint32> refusal = std::exchange(m_refusal, std::nullopt))
        return *refusal;
    const double now = Now();
    if (m_throttle.WaitSeconds(login, m_client, now) > 0)
        return LoginLocked;
    account = m_db.FindTenant(login);
    // An unknown login costs the same digest as a known one.
    const std::optional<PasswordHash::Outcome> checked
        = check(password, account ? account->passwordStored : PasswordHash::DummyStored());
    if (!checked)
        return Busy;
    const PasswordHash::Outcome &outcome = *checked;
    if (!account || !outcome.match) {
        m_throttle.RecordFailure(login, m_client, now);
        return WrongCredentials;
    }
    m_throttle.RecordSuccess(login, m_client, now);
    if (!outcome.upgraded.isEmpty() && m_db.SetPassword(account->tenant.id, outcome.upgraded)) {
        // The same password, stored with today's iteration count: the
        // tenant's sessions stay open.
        m_sessions.Restamp(account->tenant.id, account->passwordStored, outcome.upgraded);
        account->passwordStored = outcome.upgraded;
    }
    return Ok;
}

bool DemoService::sessionCredentials(SessionRegistry::Session &session, const QString &aLoginE,
                                     const QString &aPasswordE, const QString &aSessionToken)
{
    if (DecodeCredential(aLoginE) == session.login && m_sessions.PasswordMatches(session, DecodeCredential(aPasswordE)))
        return true;
    // Guesses with a token count like failed sign-ins, and end the session
    // after a few.
    m_throttle.RecordFailure(session.login, m_client, Now());
    if (++session.wrongPasswords >= kWrongPasswordsPerSession)
        m_sessions.End(aSessionToken);
    return false;
}

DemoService::Access DemoService::authorize(const QString &aLoginE, const QString &aPasswordE,
                                           const QString &aSessionToken)
{
    SessionRegistry::Session *session = m_sessions.Find(aSessionToken);
    if (!session)
        return {NoSession, nullptr};
    if (!sessionCredentials(*session, aLoginE, aPasswordE, aSessionToken))
        return {WrongCredentials, nullptr};
    // A password the operator set since ends the session.
    if (m_db.PasswordStoredOf(session->tenantId) != session->stamp) {
        m_sessions.End(aSessionToken);
        return {NoSession, nullptr};
    }
    if (m_sessions.IsExpired(*session, Now()))
        return {SessionExpired, nullptr};
    return {Ok, session};
}

ServiceResult<TRemInitialCheck> DemoService::ZOKA_WS_InitialCheck(const QString &aVersion)
{
    static const QRegularExpression form(u"^\\d{1,9}(\\.\\d{1,9}){0,3}$"_s);
    if (!form.match(aVersion).hasMatch())
        return refused<TRemInitialCheck>(VersionUnreadable);
    const QVersionNumber version = QVersionNumber::fromString(aVersion);
    if (QVersionNumber::compare(version.normalized(), m_settings.minimumVersion.normalized()) < 0) {
        TRemInitialCheck r = refused<TRemInitialCheck>(VersionTooOld);
        r.RetCodeAsString += u" Wymagana wersja: %1."_s.arg(m_settings.minimumVersion.toString());
        return r;
    }
    return refused<TRemInitialCheck>(VersionOk);
}

ServiceResult<TRemSessionBeginData> DemoService::ZOKA_WS_CzSessionBegin(const QString &aLoginE,
                                                                        const QString &aPasswordE)
{
    return guarded([&]() -> ServiceResult<TRemSessionBeginData> {
        const QString login = DecodeCredential(aLoginE);
        const QString password = DecodeCredential(aPasswordE);
        std::optional<TenantAccount> account;
        if (const qint32 code = verifyPassword(login, password, account); code != Ok)
            return refused<TRemSessionBeginData>(code);

        const TenantAccount &a = *account;
        const double now = Now();
        const double active = ActivePeriod(a);
        TRemSessionBeginData r;
        r.RetCode = Ok;
        r.RetCodeAsString = u"Sesja została rozpoczęta."_s;
        r.SessionToken = m_sessions.Begin(a.tenant.id, login, password, a.passwordStored, now);
        r.CZMain_Service_F = a.dwelling.offered[0];
        r.CZOds_Service_F = a.dwelling.offered[1];
        r.WOMain_Service_F = a.dwelling.offered[2];
        r.WOOds_Service_F = a.dwelling.offered[3];
        r.Odpady_Service_F = a.dwelling.offered[4];
        r.SaldaOtherKnt_InfoHandlingKind = a.cooperative.infoHandlingKind;
        r.SysCZPeriodEwidActive = wholeDateText(active);
        r.SysCZPeriodStart = wholeDateText(a.cooperative.periodStart);
        if (r.WOMain_Service_F) {
            r.SysWOPeriodEwidActive = wholeDateText(active);
            r.SysWOPeriodStart
                = wholeDateText(a.dwelling.waterStart != 0 ? a.dwelling.waterStart : a.cooperative.periodStart);
        } else {
            r.SysWOPeriodEwidActive = u"0"_s;
            r.SysWOPeriodStart = u"0"_s;
        }
        r.UserDateEksploatFrom = wholeDateText(a.tenant.occupiedFrom);
        r.UserDateEksploatTo = wholeDateText(a.tenant.occupiedTo);
        r.F_Nazwa = a.cooperative.name;
        r.F_Miejscowosc = a.cooperative.town;
        r.F_UlicaNr = a.cooperative.street;
        r.F_Kind = a.cooperative.kind;
        r.U_Imie1 = a.tenant.firstName1;
        r.U_Nazwisko1 = a.tenant.lastName1;
        r.U_Imie2 = a.tenant.firstName2;
        r.U_Nazwisko2 = a.tenant.lastName2;
        r.Z_Miejscowosc = a.dwelling.town;
        r.Z_UlicaNr = a.dwelling.street;
        YearTurnover(m_db.YearSumsOf(a.tenant.id, DateYear(active))).FillRecord(r);
        r.SaldaWNOtherKnt_ShowF = a.tenant.otherUnpaid;
        return r;
    });
}

ServiceResult<QString> DemoService::ZOKA_WS_SessionRenew(const QString &aLoginE, const QString &aPasswordE,
                                                         const QString &aSessionToken)
{
    return guarded([&]() -> ServiceResult<QString> {
        const SessionRegistry::Session *session = m_sessions.Find(aSessionToken);
        const QString login = DecodeCredential(aLoginE);
        if (!session || session->login != login)
            return QString();
        // Renewal re-authenticates against the stored digest: an expired
        // session's token alone is not enough.
        std::optional<TenantAccount> account;
        if (verifyPassword(login, DecodeCredential(aPasswordE), account) != Ok
            || account->tenant.id != session->tenantId)
            return QString();
        SessionRegistry::Session *renewed = m_sessions.Find(aSessionToken);
        if (!renewed)
            return QString();
        renewed->stamp = account->passwordStored;
        m_sessions.SetPassword(*renewed, DecodeCredential(aPasswordE));
        return m_sessions.Restart(aSessionToken, Now());
    });
}

ServiceResult<bool> DemoService::ZOKA_WS_Logout(const QString &aLoginE, const QString &aPasswordE,
                                                const QString &aSessionToken)
{
    SessionRegistry::Session *session = m_sessions.Find(aSessionToken);
    if (!session || !sessionCredentials(*session, aLoginE, aPasswordE, aSessionToken))
        return false;
    return m_sessions.End(aSessionToken);
}

ServiceResult<TRemChangePasswordData> DemoService::ZOKA_WS_ChangePassword(const QString &aLoginE,
                                                                          const QString &aPasswordE,
                                                                          const QString &aSessionToken,
                                                                          const QString &aPasswordE_New)
{
    return guarded([&]() -> ServiceResult<TRemChangePasswordData> {
        SessionRegistry::Session *session = m_sessions.Find(aSessionToken);
        if (!session)
            return refused<TRemChangePasswordData>(NoSession);
        const QString login = DecodeCredential(aLoginE);
        if (login != session->login)
            return refused<TRemChangePasswordData>(WrongCredentials);
        if (m_sessions.IsExpired(*session, Now()))
            return refused<TRemChangePasswordData>(SessionExpired);
        std::optional<TenantAccount> account;
        if (const qint32 code = verifyPassword(login, DecodeCredential(aPasswordE), account); code != Ok)
            return refused<TRemChangePasswordData>(code);
        if (account->tenant.id != session->tenantId)
            return refused<TRemChangePasswordData>(WrongCredentials);
        const QString newPassword = DecodeCredential(aPasswordE_New);
        if (!IsStrongPassword(newPassword))
            return refused<TRemChangePasswordData>(WeakPassword);

        const std::optional<QString> made = store(newPassword);
        if (!made)
            return refused<TRemChangePasswordData>(Busy);
        const QString stored = *made;
        if (!m_db.SetPassword(session->tenantId, stored))
            return refused<TRemChangePasswordData>(NoSession);
        session = m_sessions.Find(aSessionToken);
        if (!session)
            return refused<TRemChangePasswordData>(NoSession);
        m_sessions.SetPassword(*session, newPassword);
        session->stamp = stored;
        const QString token = m_sessions.Restart(aSessionToken, Now());
        // Sessions opened with the old password end with it.
        m_sessions.EndOthers(account->tenant.id, token);
        TRemChangePasswordData r;
        r.RetCode = Ok;
        r.RetCodeAsString = u"Hasło zostało zmienione."_s;
        r.SessionToken = token;
        return r;
    });
}

ServiceResult<TRemYearRozrachGetData> DemoService::ZOKA_WS_YearRozrachGet(const QString &aLoginE,
                                                                          const QString &aPasswordE,
                                                                          const QString &aSessionToken,
                                                                          qint32 aYearEwid)
{
    return guarded([&]() -> ServiceResult<TRemYearRozrachGetData> {
        const Access access = authorize(aLoginE, aPasswordE, aSessionToken);
        if (access.code != Ok)
            return refused<TRemYearRozrachGetData>(access.code);
        const std::optional<TenantAccount> account = m_db.TenantById(access.session->tenantId);
        if (!account)
            return refused<TRemYearRozrachGetData>(NoSession);
        if (!yearInRange(*account, aYearEwid))
            return refused<TRemYearRozrachGetData>(BadParameters);
        TRemYearRozrachGetData r;
        r.RetCode = Ok;
        r.RetCodeAsString = RetCodeText(Ok);
        r.SaldaOtherKnt_InfoHandlingKind = account->cooperative.infoHandlingKind;
        YearTurnover(m_db.YearSumsOf(account->tenant.id, aYearEwid)).FillRecord(r);
        r.SaldaWNOtherKnt_ShowF = account->tenant.otherUnpaid;
        return r;
    });
}

ServiceResult<TRemKartotekaMcaGetData>
DemoService::ZOKA_WS_KartotekaMcaGet(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
                                     qint32 aKontoKsg, qint32 aYear, qint32 aMonth)
{
    return guarded([&]() -> ServiceResult<TRemKartotekaMcaGetData> {
        const Access access = authorize(aLoginE, aPasswordE, aSessionToken);
        if (access.code != Ok)
            return refused<TRemKartotekaMcaGetData>(access.code);
        const std::optional<TenantAccount> account = m_db.TenantById(access.session->tenantId);
        if (!account)
            return refused<TRemKartotekaMcaGetData>(NoSession);
        if (!validAccount(aKontoKsg) || !account->dwelling.offered[aKontoKsg] || aMonth < 1 || aMonth > 12
            || !yearInRange(*account, aYear))
            return refused<TRemKartotekaMcaGetData>(BadParameters);

        const QList<LedgerLine> lines = m_db.MonthLedger(account->tenant.id, aKontoKsg, aYear, aMonth);
        TRemKartotekaMcaGetData r;
        r.RetCode = Ok;
        r.RetCodeAsString = RetCodeText(Ok);
        r.KontoKsg = aKontoKsg;
        r.Year = aYear;
        r.Month = aMonth;
        r.KsgNumber = static_cast<qint32>(lines.size());
        for (const LedgerLine &line : lines) {
            r.KsgStrona.append(line.side);
            r.KsgTypDok.append(line.kind);
            r.KsgID_Dok_Master.append(static_cast<qint32>(line.documentId));
            r.KsgDataOperacji.append(line.dateOper);
            r.KsgDataOperRozrach.append(line.dateTerm);
            r.KsgValue.append(YearTurnover::ToZloty(line.amount));
            r.KsgTrescOper.append(line.text);
            r.KsgNrDokMaster.append(line.number);
        }
        return r;
    });
}

ServiceResult<TRemDokDetailsGetData>
DemoService::ZOKA_WS_DokDetailsGet(const QString &aLoginE, const QString &aPasswordE, const QString &aSessionToken,
                                   qint32 aID_Dok_Master, qint32 aKontoKsg, qint32 aYear)
{
    return guarded([&]() -> ServiceResult<TRemDokDetailsGetData> {
        const Access access = authorize(aLoginE, aPasswordE, aSessionToken);
        if (access.code != Ok)
            return refused<TRemDokDetailsGetData>(access.code);
        if (!validAccount(aKontoKsg))
            return refused<TRemDokDetailsGetData>(BadParameters);
        const std::optional<DocumentDetails> details
            = m_db.ChargeDetails(access.session->tenantId, aID_Dok_Master, aKontoKsg, aYear);
        if (!details || details->document.kind != 1)
            return refused<TRemDokDetailsGetData>(NoDocument);

        const DocumentRecord &d = details->document;
        TRemDokDetailsGetData r;
        r.RetCode = Ok;
        r.RetCodeAsString = RetCodeText(Ok);
        r.DataOperacji = d.dateOper;
        r.DataOperRozrach = d.dateTerm;
        r.DataNalFrom = d.periodFrom;
        r.DataNalTo = d.periodTo;
        r.TrescOper = d.text;
        r.DokKind = d.kind;
        r.ZasobKind = details->unitKind;
        r.KontoKsg = aKontoKsg;
        r.SklNumber = static_cast<qint32>(details->components.size());
        for (const ComponentRecord &c : details->components) {
            r.NazwaSkl.append(c.name);
            r.IloscAsStr.append(c.quantityText);
            r.Cena.append(c.price);
            r.WspolczAsStr.append(c.coefficientText);
            r.UwzglCzescMca.append(c.partialMonth);
            r.ValueNetto.append(YearTurnover::ToZloty(c.net));
            r.ValueVAT.append(YearTurnover::ToZloty(c.vat));
            r.StVAT.append(c.vatRate);
        }
        return r;
    });
}

ServiceResult<TRemWymiarOplatGetData> DemoService::ZOKA_WS_WymiarOplatGet(const QString &aLoginE,
                                                                          const QString &aPasswordE,
                                                                          const QString &aSessionToken, qint32, qint32,
                                                                          qint32)
{
    const Access access = authorize(aLoginE, aPasswordE, aSessionToken);
    return refused<TRemWymiarOplatGetData>(access.code != Ok ? access.code : NotAvailable);
}

#include "server/ServerDatabase.h"

#include "common/Errors.h"

#include <QAtomicInteger>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace {

constexpr int kSchemaVersion = 1;

// A null QString binds as SQL NULL; the text columns want '' instead.
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QString(QLatin1StringView(""))) : QVariant(value);
}

QString nextConnectionName()
{
    static QAtomicInteger<int> counter;
    return u"domvel-demo-server-%1"_s.arg(counter.fetchAndAddRelaxed(1));
}

const QStringList &schema()
{
    static const QStringList statements{
        uR"(CREATE TABLE IF NOT EXISTS meta (key TEXT PRIMARY KEY, value TEXT NOT NULL))"_s,
        uR"(CREATE TABLE IF NOT EXISTS cooperative (
              id INTEGER PRIMARY KEY,
              name TEXT NOT NULL, town TEXT NOT NULL, street TEXT NOT NULL,
              kind INTEGER NOT NULL,
              info_handling_kind INTEGER NOT NULL,
              period_start REAL NOT NULL,
              period_active REAL NOT NULL DEFAULT 0))"_s,
        uR"(CREATE TABLE IF NOT EXISTS dwelling (
              id INTEGER PRIMARY KEY,
              cooperative_id INTEGER NOT NULL REFERENCES cooperative(id),
              town TEXT NOT NULL, street TEXT NOT NULL,
              unit_kind INTEGER NOT NULL,
              offers_rent INTEGER NOT NULL, offers_rent_interest INTEGER NOT NULL,
              offers_water INTEGER NOT NULL, offers_water_interest INTEGER NOT NULL,
              offers_waste INTEGER NOT NULL,
              water_start REAL NOT NULL DEFAULT 0))"_s,
        uR"(CREATE TABLE IF NOT EXISTS tenant (
              id INTEGER PRIMARY KEY,
              dwelling_id INTEGER NOT NULL REFERENCES dwelling(id),
              login TEXT NOT NULL UNIQUE,
              password TEXT NOT NULL,
              first_name1 TEXT NOT NULL, last_name1 TEXT NOT NULL,
              first_name2 TEXT NOT NULL DEFAULT '', last_name2 TEXT NOT NULL DEFAULT '',
              occupied_from REAL NOT NULL DEFAULT 0, occupied_to REAL NOT NULL DEFAULT 0,
              other_unpaid INTEGER NOT NULL DEFAULT 0))"_s,
        uR"(CREATE TABLE IF NOT EXISTS document (
              id INTEGER PRIMARY KEY,
              tenant_id INTEGER NOT NULL REFERENCES tenant(id),
              kind INTEGER NOT NULL,
              number TEXT NOT NULL, text TEXT NOT NULL,
              date_oper REAL NOT NULL, date_term REAL NOT NULL,
              period_from REAL NOT NULL DEFAULT 0, period_to REAL NOT NULL DEFAULT 0,
              year INTEGER NOT NULL, month INTEGER NOT NULL CHECK (month BETWEEN 1 AND 12)))"_s,
        uR"(CREATE INDEX IF NOT EXISTS document_by_period ON document (tenant_id, year, month))"_s,
        // Tenant and booking period repeat the document's, so that the yearly
        // sums come from one covering index without a join.
        uR"(CREATE TABLE IF NOT EXISTS ledger_entry (
              document_id INTEGER NOT NULL REFERENCES document(id),
              account INTEGER NOT NULL CHECK (account BETWEEN 0 AND 4),
              side INTEGER NOT NULL CHECK (side IN (0, 1)),
              amount INTEGER NOT NULL CHECK (amount >= 0),
              tenant_id INTEGER NOT NULL,
              year INTEGER NOT NULL,
              month INTEGER NOT NULL,
              PRIMARY KEY (document_id, account)))"_s,
        uR"(CREATE INDEX IF NOT EXISTS ledger_by_period
              ON ledger_entry (tenant_id, year, account, month, side, amount))"_s,
        // Each account's balance (credits minus debits) per tenant and year,
        // kept by AddDocument in the same transaction as the entries: the
        // opening state of a year then sums a few rows, however long the
        // history.
        uR"(CREATE TABLE IF NOT EXISTS year_balance (
              tenant_id INTEGER NOT NULL,
              year INTEGER NOT NULL,
              account INTEGER NOT NULL,
              balance INTEGER NOT NULL,
              PRIMARY KEY (tenant_id, year, account)))"_s,
        uR"(CREATE TABLE IF NOT EXISTS component (
              id INTEGER PRIMARY KEY,
              document_id INTEGER NOT NULL REFERENCES document(id),
              account INTEGER NOT NULL CHECK (account BETWEEN 0 AND 4),
              name TEXT NOT NULL, quantity TEXT NOT NULL, price REAL NOT NULL,
              coefficient TEXT NOT NULL, partial_month INTEGER NOT NULL,
              net INTEGER NOT NULL, vat INTEGER NOT NULL, vat_rate TEXT NOT NULL))"_s,
        uR"(CREATE INDEX IF NOT EXISTS component_by_document ON component (document_id, account))"_s,
    };
    return statements;
}

} // namespace

ServerDatabase::ServerDatabase(const QString &path) : m_path(path), m_connection(nextConnectionName())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connection);
    db.setDatabaseName(path);
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT=5000"_s);
    if (!db.open())
        throw AppError(u"Nie można otworzyć bazy danych %1: %2"_s.arg(path, db.lastError().text()));
    execute(u"PRAGMA foreign_keys = ON"_s);
    if (path != u":memory:"_s) {
        // WAL lets the operator's commands read while the server writes; with
        // it, NORMAL syncing cannot corrupt the file, only lose the last commit
        // on a power cut.
        execute(u"PRAGMA journal_mode = WAL"_s);
        execute(u"PRAGMA synchronous = NORMAL"_s);
    }
    createSchema();
}

ServerDatabase::~ServerDatabase()
{
    m_statements.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

ServerDatabase::Query ServerDatabase::prepare(const QString &sql)
{
    // Statements are prepared once per connection and kept: preparing costs
    // more than running most of them.
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        QSqlQuery query(QSqlDatabase::database(m_connection, false));
        if (!query.prepare(sql))
            throw AppError(u"Błąd bazy danych: %1"_s.arg(query.lastError().text()));
        it = m_statements.insert(sql, query);
    }
    return Query(*it);
}

void ServerDatabase::exec(QSqlQuery &query)
{
    if (!query.exec())
        throw AppError(u"Błąd bazy danych: %1"_s.arg(query.lastError().text()));
}

void ServerDatabase::execute(const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(sql))
        throw AppError(u"Błąd bazy danych: %1"_s.arg(query.lastError().text()));
}

void ServerDatabase::createSchema()
{
    Transaction transaction(*this);
    for (const QString &statement : schema())
        execute(statement);
    Query version = prepare(u"SELECT value FROM meta WHERE key = 'schema_version'"_s);
    exec(*version);
    if (!version->next()) {
        Query insert = prepare(u"INSERT INTO meta (key, value) VALUES ('schema_version', ?)"_s);
        insert->addBindValue(QString::number(kSchemaVersion));
        exec(*insert);
    } else if (version->value(0).toInt() != kSchemaVersion) {
        throw AppError(u"Baza danych %1 ma nieznaną wersję schematu %2."_s.arg(m_path, version->value(0).toString()));
    }
    transaction.Commit();
}

void ServerDatabase::Checkpoint()
{
    if (m_path != u":memory:"_s)
        execute(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
}

bool ServerDatabase::IsEmpty()
{
    Query query = prepare(u"SELECT COUNT(*) FROM cooperative"_s);
    exec(*query);
    return query->next() && query->value(0).toLongLong() == 0;
}

void ServerDatabase::Clear()
{
    Transaction transaction(*this);
    for (const char16_t *table :
         {u"component", u"year_balance", u"ledger_entry", u"document", u"tenant", u"dwelling", u"cooperative"})
        execute(u"DELETE FROM "_s + QString::fromUtf16(table));
    transaction.Commit();
}

ServerDatabase::Transaction::Transaction(ServerDatabase &db) : m_db(db)
{
    m_db.execute(u"BEGIN IMMEDIATE"_s);
}

ServerDatabase::Transaction::~Transaction()
{
    if (!m_done) {
        QSqlQuery query(QSqlDatabase::database(m_db.m_connection, false));
        query.exec(u"ROLLBACK"_s); // nothing to do if it fails: the connection drops the transaction
    }
}

void ServerDatabase::Transaction::Commit()
{
    m_db.execute(u"COMMIT"_s);
    m_done = true;
}

qint64 ServerDatabase::AddCooperative(const CooperativeRecord &c)
{
    Query q = prepare(u"INSERT INTO cooperative (name, town, street, kind, info_handling_kind, period_start, "
                      u"period_active) VALUES (?, ?, ?, ?, ?, ?, ?)"_s);
    for (const QVariant &v : {text(c.name), text(c.town), text(c.street), QVariant(c.kind),
                              QVariant(c.infoHandlingKind), QVariant(c.periodStart), QVariant(c.periodActive)})
        q->addBindValue(v);
    exec(*q);
    return q->lastInsertId().toLongLong();
}

qint64 ServerDatabase::AddDwelling(const DwellingRecord &d)
{
    Query q = prepare(u"INSERT INTO dwelling (cooperative_id, town, street, unit_kind, offers_rent, "
                      u"offers_rent_interest, offers_water, offers_water_interest, offers_waste, water_start) "
                      u"VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    q->addBindValue(d.cooperativeId);
    q->addBindValue(text(d.town));
    q->addBindValue(text(d.street));
    q->addBindValue(d.unitKind);
    for (bool offered : d.offered)
        q->addBindValue(offered ? 1 : 0);
    q->addBindValue(d.waterStart);
    exec(*q);
    return q->lastInsertId().toLongLong();
}

qint64 ServerDatabase::AddTenant(const TenantRecord &t, const QString &passwordStored)
{
    Query q = prepare(u"INSERT INTO tenant (dwelling_id, login, password, first_name1, last_name1, first_name2, "
                      u"last_name2, occupied_from, occupied_to, other_unpaid) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    for (const QVariant &v : {QVariant(t.dwellingId), text(t.login), QVariant(passwordStored), text(t.firstName1),
                              text(t.lastName1), text(t.firstName2), text(t.lastName2), QVariant(t.occupiedFrom),
                              QVariant(t.occupiedTo), QVariant(t.otherUnpaid ? 1 : 0)})
        q->addBindValue(v);
    exec(*q);
    return q->lastInsertId().toLongLong();
}

qint64 ServerDatabase::AddDocument(const DocumentRecord &d, const QList<EntryRecord> &entries)
{
    Query q = prepare(u"INSERT INTO document (tenant_id, kind, number, text, date_oper, date_term, period_from, "
                      u"period_to, year, month) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    for (const QVariant &v :
         {QVariant(d.tenantId), QVariant(d.kind), text(d.number), text(d.text), QVariant(d.dateOper),
          QVariant(d.dateTerm), QVariant(d.periodFrom), QVariant(d.periodTo), QVariant(d.year), QVariant(d.month)})
        q->addBindValue(v);
    exec(*q);
    const qint64 id = q->lastInsertId().toLongLong();

    Query e = prepare(u"INSERT INTO ledger_entry (document_id, account, side, amount, tenant_id, year, month) "
                      u"VALUES (?, ?, ?, ?, ?, ?, ?)"_s);
    for (const EntryRecord &entry : entries) {
        e->addBindValue(id);
        e->addBindValue(entry.account);
        e->addBindValue(entry.side);
        e->addBindValue(entry.amount);
        e->addBindValue(d.tenantId);
        e->addBindValue(d.year);
        e->addBindValue(d.month);
        exec(*e);
        Query balance
            = prepare(u"INSERT INTO year_balance (tenant_id, year, account, balance) VALUES (?, ?, ?, ?) "
                      u"ON CONFLICT (tenant_id, year, account) DO UPDATE SET balance = balance + excluded.balance"_s);
        balance->addBindValue(d.tenantId);
        balance->addBindValue(d.year);
        balance->addBindValue(entry.account);
        balance->addBindValue(entry.side == 0 ? -entry.amount : entry.amount);
        exec(*balance);
    }
    return id;
}

qint64 ServerDatabase::AddCharge(const DocumentRecord &d, const QList<ComponentRecord> &components)
{
    std::array<qint64, kAccountCount> sums{};
    std::array<bool, kAccountCount> used{};
    for (const ComponentRecord &c : components) {
        if (c.account < 0 || c.account >= kAccountCount)
            throw AppError(u"Nieprawidłowe konto składnika: %1"_s.arg(c.account));
        sums[c.account] += c.net + c.vat;
        used[c.account] = true;
    }
    QList<EntryRecord> entries;
    for (int account = 0; account < kAccountCount; ++account) {
        if (used[account])
            entries.append(EntryRecord{account, 0, sums[account]});
    }
    const qint64 id = AddDocument(d, entries);

    Query q = prepare(u"INSERT INTO component (document_id, account, name, quantity, price, coefficient, "
                      u"partial_month, net, vat, vat_rate) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    for (const ComponentRecord &c : components) {
        for (const QVariant &v : {QVariant(id), QVariant(c.account), text(c.name), text(c.quantityText),
                                  QVariant(c.price), text(c.coefficientText), QVariant(c.partialMonth ? 1 : 0),
                                  QVariant(c.net), QVariant(c.vat), text(c.vatRate)})
            q->addBindValue(v);
        exec(*q);
    }
    return id;
}

std::optional<TenantAccount> ServerDatabase::tenantWhere(const QString &condition, const QVariant &value)
{
    Query q = prepare(
        u"SELECT t.id, t.dwelling_id, t.login, t.password, t.first_name1, t.last_name1, t.first_name2, "
        u"t.last_name2, t.occupied_from, t.occupied_to, t.other_unpaid, "
        u"d.cooperative_id, d.town, d.street, d.unit_kind, d.offers_rent, d.offers_rent_interest, "
        u"d.offers_water, d.offers_water_interest, d.offers_waste, d.water_start, "
        u"c.name, c.town, c.street, c.kind, c.info_handling_kind, c.period_start, c.period_active "
        u"FROM tenant t JOIN dwelling d ON d.id = t.dwelling_id JOIN cooperative c ON c.id = d.cooperative_id "
        u"WHERE "_s
        + condition);
    q->addBindValue(value);
    exec(*q);
    if (!q->next())
        return std::nullopt;
    TenantAccount a;
    int i = 0;
    a.tenant.id = q->value(i++).toLongLong();
    a.tenant.dwellingId = q->value(i++).toLongLong();
    a.tenant.login = q->value(i++).toString();
    a.passwordStored = q->value(i++).toString();
    a.tenant.firstName1 = q->value(i++).toString();
    a.tenant.lastName1 = q->value(i++).toString();
    a.tenant.firstName2 = q->value(i++).toString();
    a.tenant.lastName2 = q->value(i++).toString();
    a.tenant.occupiedFrom = q->value(i++).toDouble();
    a.tenant.occupiedTo = q->value(i++).toDouble();
    a.tenant.otherUnpaid = q->value(i++).toInt() != 0;
    a.dwelling.id = a.tenant.dwellingId;
    a.dwelling.cooperativeId = q->value(i++).toLongLong();
    a.dwelling.town = q->value(i++).toString();
    a.dwelling.street = q->value(i++).toString();
    a.dwelling.unitKind = q->value(i++).toInt();
    for (bool &offered : a.dwelling.offered)
        offered = q->value(i++).toInt() != 0;
    a.dwelling.waterStart = q->value(i++).toDouble();
    a.cooperative.id = a.dwelling.cooperativeId;
    a.cooperative.name = q->value(i++).toString();
    a.cooperative.town = q->value(i++).toString();
    a.cooperative.street = q->value(i++).toString();
    a.cooperative.kind = q->value(i++).toInt();
    a.cooperative.infoHandlingKind = q->value(i++).toInt();
    a.cooperative.periodStart = q->value(i++).toDouble();
    a.cooperative.periodActive = q->value(i++).toDouble();
    return a;
}

std::optional<TenantAccount> ServerDatabase::FindTenant(const QString &login)
{
    return tenantWhere(u"t.login = ?"_s, login);
}

std::optional<TenantAccount> ServerDatabase::TenantById(qint64 id)
{
    return tenantWhere(u"t.id = ?"_s, id);
}

QList<TenantSummary> ServerDatabase::ListTenants()
{
    Query q = prepare(u"SELECT t.id, t.login, t.first_name1 || ' ' || t.last_name1, d.street || ', ' || d.town, "
                      u"c.name FROM tenant t JOIN dwelling d ON d.id = t.dwelling_id "
                      u"JOIN cooperative c ON c.id = d.cooperative_id ORDER BY t.login"_s);
    exec(*q);
    QList<TenantSummary> list;
    while (q->next()) {
        list.append(TenantSummary{q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString(),
                                  q->value(3).toString(), q->value(4).toString()});
    }
    return list;
}

QList<qint64> ServerDatabase::DwellingIds()
{
    Query q = prepare(u"SELECT id FROM dwelling ORDER BY id"_s);
    exec(*q);
    QList<qint64> ids;
    while (q->next())
        ids.append(q->value(0).toLongLong());
    return ids;
}

bool ServerDatabase::SetPassword(qint64 tenantId, const QString &passwordStored)
{
    Query q = prepare(u"UPDATE tenant SET password = ? WHERE id = ?"_s);
    q->addBindValue(passwordStored);
    q->addBindValue(tenantId);
    exec(*q);
    return q->numRowsAffected() == 1;
}

std::optional<QString> ServerDatabase::PasswordStoredOf(qint64 tenantId)
{
    Query q = prepare(u"SELECT password FROM tenant WHERE id = ?"_s);
    q->addBindValue(tenantId);
    exec(*q);
    if (!q->next())
        return std::nullopt;
    return q->value(0).toString();
}

YearSums ServerDatabase::YearSumsOf(qint64 tenantId, int year)
{
    YearSums sums;
    Query before = prepare(
        u"SELECT account, SUM(balance) FROM year_balance WHERE tenant_id = ? AND year < ? GROUP BY account"_s);
    before->addBindValue(tenantId);
    before->addBindValue(year);
    exec(*before);
    while (before->next())
        sums.balanceBefore.at(before->value(0).toInt()) = before->value(1).toLongLong();

    Query months = prepare(u"SELECT account, month, side, SUM(amount) "
                           u"FROM ledger_entry WHERE tenant_id = ? AND year = ? GROUP BY account, month, side"_s);
    months->addBindValue(tenantId);
    months->addBindValue(year);
    exec(*months);
    while (months->next()) {
        const int account = months->value(0).toInt();
        const int month = months->value(1).toInt();
        auto &slots = months->value(2).toInt() == 0 ? sums.debit.at(account) : sums.credit.at(account);
        slots.at(month) += months->value(3).toLongLong();
    }
    return sums;
}

QList<LedgerLine> ServerDatabase::MonthLedger(qint64 tenantId, int account, int year, int month)
{
    Query q = prepare(u"SELECT d.id, e.side, d.kind, d.date_oper, d.date_term, e.amount, d.text, d.number "
                      u"FROM ledger_entry e JOIN document d ON d.id = e.document_id "
                      u"WHERE e.tenant_id = ? AND e.account = ? AND e.year = ? AND e.month = ? "
                      u"ORDER BY d.date_oper, d.id"_s);
    q->addBindValue(tenantId);
    q->addBindValue(account);
    q->addBindValue(year);
    q->addBindValue(month);
    exec(*q);
    QList<LedgerLine> lines;
    while (q->next()) {
        lines.append(LedgerLine{q->value(0).toLongLong(), q->value(1).toInt(), q->value(2).toInt(),
                                q->value(3).toDouble(), q->value(4).toDouble(), q->value(5).toLongLong(),
                                q->value(6).toString(), q->value(7).toString()});
    }
    return lines;
}

std::optional<DocumentDetails> ServerDatabase::ChargeDetails(qint64 tenantId, qint64 documentId, int account, int year)
{
    Query q = prepare(
        u"SELECT d.kind, d.number, d.text, d.date_oper, d.date_term, d.period_from, d.period_to, d.year, d.month, "
        u"w.unit_kind FROM document d JOIN ledger_entry e ON e.document_id = d.id "
        u"JOIN tenant t ON t.id = d.tenant_id JOIN dwelling w ON w.id = t.dwelling_id "
        u"WHERE d.id = ? AND d.tenant_id = ? AND e.account = ? AND d.year = ?"_s);
    q->addBindValue(documentId);
    q->addBindValue(tenantId);
    q->addBindValue(account);
    q->addBindValue(year);
    exec(*q);
    if (!q->next())
        return std::nullopt;
    DocumentDetails details;
    DocumentRecord &d = details.document;
    d.id = documentId;
    d.tenantId = tenantId;
    d.kind = q->value(0).toInt();
    d.number = q->value(1).toString();
    d.text = q->value(2).toString();
    d.dateOper = q->value(3).toDouble();
    d.dateTerm = q->value(4).toDouble();
    d.periodFrom = q->value(5).toDouble();
    d.periodTo = q->value(6).toDouble();
    d.year = q->value(7).toInt();
    d.month = q->value(8).toInt();
    details.account = account;
    details.unitKind = q->value(9).toInt();

    Query c = prepare(u"SELECT name, quantity, price, coefficient, partial_month, net, vat, vat_rate "
                      u"FROM component WHERE document_id = ? AND account = ? ORDER BY id"_s);
    c->addBindValue(documentId);
    c->addBindValue(account);
    exec(*c);
    while (c->next()) {
        details.components.append(ComponentRecord{
            account, c->value(0).toString(), c->value(1).toString(), c->value(2).toDouble(), c->value(3).toString(),
            c->value(4).toInt() != 0, c->value(5).toLongLong(), c->value(6).toLongLong(), c->value(7).toString()});
    }
    return details;
}

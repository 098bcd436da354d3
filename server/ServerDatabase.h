#pragma once

#include "server/LedgerRecords.h"

#include <QHash>
#include <QSqlQuery>
#include <QString>

#include <optional>

// The demo server's SQLite database (Qt SQL, QSQLITE): cooperatives,
// dwellings, tenants with salted password digests, master documents with
// their ledger entries and charge components. Every failure of the database
// throws AppError; the request boundary turns it into a fault.
//
// A charge's ledger entries are always derived from its components here, in
// AddCharge, so a month ledger and a charge's details cannot disagree.
class ServerDatabase
{
public:
    // Opens (and creates when missing) the database file; ":memory:" works too.
    explicit ServerDatabase(const QString &path);
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase &) = delete;
    ServerDatabase &operator=(const ServerDatabase &) = delete;

    const QString &Path() const { return m_path; }

    // True when no cooperative exists yet (a fresh file).
    bool IsEmpty();
    // Drops every row; the schema stays.
    void Clear();
    // Moves the write-ahead log into the database file (after a bulk load).
    void Checkpoint();

    // Groups writes; Commit is needed, destruction without it rolls back.
    class Transaction
    {
    public:
        explicit Transaction(ServerDatabase &db);
        ~Transaction();
        void Commit();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;

    private:
        ServerDatabase &m_db;
        bool m_done = false;
    };

    qint64 AddCooperative(const CooperativeRecord &cooperative);
    qint64 AddDwelling(const DwellingRecord &dwelling);
    qint64 AddTenant(const TenantRecord &tenant, const QString &passwordStored);
    // A payment or re-posting with its entries (amounts in grosze).
    qint64 AddDocument(const DocumentRecord &document, const QList<EntryRecord> &entries);
    // A charge: one debit entry per account, the sum of its components' net and VAT.
    qint64 AddCharge(const DocumentRecord &document, const QList<ComponentRecord> &components);

    std::optional<TenantAccount> FindTenant(const QString &login);
    std::optional<TenantAccount> TenantById(qint64 id);
    QList<TenantSummary> ListTenants();
    QList<qint64> DwellingIds();
    // False when no tenant has that id.
    bool SetPassword(qint64 tenantId, const QString &passwordStored);
    // The tenant's stored password value; nothing when there is no such tenant.
    std::optional<QString> PasswordStoredOf(qint64 tenantId);

    YearSums YearSumsOf(qint64 tenantId, int year);
    QList<LedgerLine> MonthLedger(qint64 tenantId, int account, int year, int month);
    // The document with its components on the account; empty when the tenant
    // has no such document on that account in that booking year.
    std::optional<DocumentDetails> ChargeDetails(qint64 tenantId, qint64 documentId, int account, int year);

private:
    // A kept prepared statement in use; finishing it on scope exit ends its
    // read, so later reads see what other processes (the operator's
    // commands) wrote meanwhile.
    class Query
    {
    public:
        explicit Query(QSqlQuery &query) : m_query(query) { }
        ~Query() { m_query.finish(); }
        Query(const Query &) = delete;
        Query &operator=(const Query &) = delete;
        QSqlQuery *operator->() { return &m_query; }
        QSqlQuery &operator*() { return m_query; }

    private:
        QSqlQuery &m_query;
    };

    Query prepare(const QString &sql);
    void exec(QSqlQuery &query);
    void execute(const QString &sql);
    void createSchema();
    std::optional<TenantAccount> tenantWhere(const QString &condition, const QVariant &value);

    QString m_path;
    QString m_connection;
    QHash<QString, QSqlQuery> m_statements;
};

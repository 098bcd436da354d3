#pragma once

#include <QList>
#include <QString>

#include <array>
#include <optional>

// Plain values the demo database stores and returns. Amounts are whole grosze
// (qint64) inside the server, so that sums are exact and the yearly figures, the
// month ledgers and the charge components agree to the grosz; they become
// złoty doubles only in the answers. Dates are date values (days since
// 1899-12-30).

// Number of charge categories (ledger accounts 0 to 4) and of yearly slots.
inline constexpr int kAccountCount = 5;
inline constexpr int kYearSlots = 13;

struct CooperativeRecord
{
    qint64 id = 0;
    QString name;
    QString town;
    QString street;
    qint32 kind = 1; // 1 housing cooperative, 2 housing community
    qint32 infoHandlingKind = 2; // how the client tells about other accounts
    double periodStart = 0; // first booking period kept
    double periodActive = 0; // open booking period; 0 = the current month
};

struct DwellingRecord
{
    qint64 id = 0;
    qint64 cooperativeId = 0;
    QString town;
    QString street;
    qint32 unitKind = 1; // kind of housing unit, passed on in charge details
    std::array<bool, kAccountCount> offered{true, true, true, true, true};
    double waterStart = 0; // first water period kept; 0 = from the cooperative's start
};

struct TenantRecord
{
    qint64 id = 0;
    qint64 dwellingId = 0;
    QString login;
    QString firstName1;
    QString lastName1;
    QString firstName2;
    QString lastName2;
    double occupiedFrom = 0; // 0 = not set
    double occupiedTo = 0;
    bool otherUnpaid = false; // unpaid obligations on accounts the service does not show
};

// A tenant with everything a session-begin answer needs.
struct TenantAccount
{
    TenantRecord tenant;
    QString passwordStored;
    DwellingRecord dwelling;
    CooperativeRecord cooperative;
};

// One row of the operator's tenant list.
struct TenantSummary
{
    qint64 id = 0;
    QString login;
    QString name;
    QString address;
    QString cooperative;
};

// A master document: a charge, a payment or a re-posting.
struct DocumentRecord
{
    qint64 id = 0;
    qint64 tenantId = 0;
    qint32 kind = 1; // 1 charge, 3 bank, 4 cash, 5 welfare payment, other re-posting
    QString number;
    QString text;
    double dateOper = 0;
    double dateTerm = 0; // payment term
    double periodFrom = 0; // period a charge covers
    double periodTo = 0;
    qint32 year = 0; // booking period
    qint32 month = 0;
};

// The part of a document that lands on one account.
struct EntryRecord
{
    qint32 account = 0;
    qint32 side = 0; // 0 debit, 1 credit
    qint64 amount = 0; // grosze, not negative
};

// One item from which a charge was computed.
struct ComponentRecord
{
    qint32 account = 0;
    QString name;
    QString quantityText;
    double price = 0; // złoty per unit
    QString coefficientText;
    bool partialMonth = false;
    qint64 net = 0; // grosze
    qint64 vat = 0; // grosze
    QString vatRate;
};

// One line of a month's ledger card.
struct LedgerLine
{
    qint64 documentId = 0;
    qint32 side = 0;
    qint32 kind = 0;
    double dateOper = 0;
    double dateTerm = 0;
    qint64 amount = 0;
    QString text;
    QString number;
};

// A charge document with its components on one account.
struct DocumentDetails
{
    DocumentRecord document;
    qint32 account = 0;
    qint32 unitKind = 0;
    QList<ComponentRecord> components;
};

// Raw sums of one tenant's year, in grosze: the balance (credits minus debits)
// of everything booked before the year, and each month's debits and credits.
struct YearSums
{
    std::array<qint64, kAccountCount> balanceBefore{};
    std::array<std::array<qint64, kYearSlots>, kAccountCount> debit{};
    std::array<std::array<qint64, kYearSlots>, kAccountCount> credit{};
};

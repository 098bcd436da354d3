#include "server/DemoData.h"

#include "common/DateHelpers.h"
#include "server/PasswordHash.h"
#include "server/ServerDatabase.h"

#include <QDate>
#include <QHash>
#include <QRandomGenerator>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int kFirstYear = 2011;
constexpr int kRent = 0;
constexpr int kRentInterest = 1;
constexpr int kWater = 2;
constexpr int kWaterInterest = 3;
constexpr int kWaste = 4;
// Waste left the rent and became its own charge in July 2013.
constexpr int kWasteFromMonth = 2013 * 12 + 7;

const QStringList &monthNames()
{
    static const QStringList names{u"styczeń"_s,  u"luty"_s,        u"marzec"_s,   u"kwiecień"_s,
                                   u"maj"_s,      u"czerwiec"_s,    u"lipiec"_s,   u"sierpień"_s,
                                   u"wrzesień"_s, u"październik"_s, u"listopad"_s, u"grudzień"_s};
    return names;
}

double dateValue(int year, int month, int day)
{
    return DateToValue(QDate(year, month, day));
}

QString polishNumber(double value, int decimals)
{
    return QString::number(value, 'f', decimals).replace(u'.', u',');
}

qint64 toGrosze(double zloty)
{
    return std::llround(zloty * 100.0);
}

// How a rent component is measured.
enum class Basis { Area, Persons, Unit };

struct RentItem
{
    const char16_t *name;
    Basis basis;
    double price2011; // złoty per unit in 2011; rises 3 % a year
    int fromMonth; // year * 12 + month of the first charge, 0 = always
    int toMonth; // last one, 0 = still charged
};

// The rent components of a dwelling with the full set of services.
const QList<RentItem> &rentItems()
{
    static const QList<RentItem> items{
        {u"Eksploatacja i utrzymanie nieruchomości", Basis::Area, 1.95, 0, 0},
        {u"Fundusz remontowy", Basis::Area, 1.60, 0, 0},
        {u"Centralne ogrzewanie – zaliczka", Basis::Area, 2.85, 0, 0},
        {u"Podgrzanie wody – zaliczka", Basis::Persons, 28.00, 0, 0},
        {u"Odpis na fundusz zasobowy", Basis::Area, 0.12, 0, 0},
        {u"Podatek od nieruchomości", Basis::Area, 0.06, 0, 0},
        {u"Opłata za użytkowanie wieczyste gruntu", Basis::Area, 0.09, 0, 0},
        {u"Utrzymanie dźwigów osobowych", Basis::Persons, 4.50, 0, 0},
        {u"Domofon", Basis::Unit, 3.00, 0, 0},
        {u"Antena zbiorcza", Basis::Unit, 6.50, 0, 0},
        {u"Ubezpieczenie budynku", Basis::Area, 0.04, 0, 0},
        {u"Energia elektryczna w częściach wspólnych", Basis::Persons, 2.10, 0, 0},
        {u"Sprzątanie klatek schodowych", Basis::Area, 0.22, 0, 0},
        {u"Utrzymanie zieleni i terenów wspólnych", Basis::Area, 0.08, 0, 0},
        {u"Koszty zarządu nieruchomością", Basis::Area, 0.55, 0, 0},
        {u"Wywóz nieczystości stałych", Basis::Persons, 9.80, 0, kWasteFromMonth - 1},
        {u"Fundusz termomodernizacji", Basis::Area, 0.35, 2016 * 12 + 1, 0},
        {u"Monitoring osiedla", Basis::Unit, 4.00, 2019 * 12 + 1, 0},
    };
    return items;
}

// Złoty per person and month for municipal waste.
double wasteRate(int year)
{
    if (year <= 2015)
        return 10.00;
    if (year <= 2019)
        return 12.00;
    if (year == 2020)
        return 23.00;
    if (year == 2021)
        return 27.00;
    return 33.00;
}

double grownPrice(double price2011, int year, double rate)
{
    return std::round(price2011 * std::pow(1.0 + rate, year - kFirstYear) * 100.0) / 100.0;
}

struct CooperativePlan
{
    CooperativeRecord record;
    QString town;
    QString bankSeries; // prefix of its document numbers
};

struct TenantPlan
{
    int cooperative = 0;
    QString login;
    QString password;
    QString shows;
    TenantRecord tenant;
    DwellingRecord dwelling;
    double area = 50.0;
    int persons = 2;
    // Which rent components the dwelling has (by index into rentItems); empty = all.
    QList<int> rentSubset;
    QHash<int, double> coefficients; // rent component index -> coefficient
    QDate occupiedFrom; // invalid = since before the ledger starts
    QDate waterFrom; // invalid = since the ledger starts
    qint64 openingBalance = 0; // grosze, credit minus debit at the end of 2010
    int lateChance = 10; // percent of months paid after the term
    int welfare = 0; // grosze a month from the welfare office, 0 = none
    int monthWithoutDocuments = 0; // year * 12 + month, 0 = none
    int correctionMonth = 0; // year * 12 + month of a credit correction, 0 = none
};

QList<CooperativePlan> cooperativePlans()
{
    CooperativePlan coop;
    coop.record.name = u"Spółdzielnia Mieszkaniowa „Zielone Wzgórze”"_s;
    coop.record.town = u"Łódź"_s;
    coop.record.street = u"Żeromskiego 115"_s;
    coop.record.kind = 1;
    coop.record.infoHandlingKind = 1;
    coop.record.periodStart = dateValue(kFirstYear, 1, 1);
    coop.record.periodActive = 0;
    coop.town = u"Łódź"_s;

    CooperativePlan community;
    community.record.name = u"Wspólnota Mieszkaniowa „Ogrodowa 7”"_s;
    community.record.town = u"Gdańsk"_s;
    community.record.street = u"Ogrodowa 7"_s;
    community.record.kind = 2;
    community.record.infoHandlingKind = 3;
    community.record.periodStart = dateValue(kFirstYear, 1, 1);
    // The community's books in the service end with 2014, so its tenants see
    // the years before waste became a charge of its own.
    community.record.periodActive = dateValue(2014, 12, 1);
    community.town = u"Gdańsk"_s;
    return {coop, community};
}

QList<TenantPlan> tenantPlans(int currentYear)
{
    QList<TenantPlan> plans;

    TenantPlan kowalski;
    kowalski.cooperative = 0;
    kowalski.login = u"kowalski"_s;
    kowalski.password = u"Kowalski1"_s;
    kowalski.shows = u"spółdzielnia, wszystkie pięć kategorii, drugi współwłaściciel, ponad 15 składników "
                     u"naliczenia, wpłaty bankowe i kasowe, przeksięgowania, miesiąc bez dokumentów "
                     u"(sierpień zeszłego roku), ostrzeżenie o innych zaległościach"_s;
    kowalski.tenant = {0, 0, u"kowalski"_s, u"Jan"_s, u"Kowalski"_s, u"Anna"_s, u"Kowalska"_s, 0, 0, true};
    kowalski.dwelling.town = u"Łódź"_s;
    kowalski.dwelling.street = u"Źródłowa 12 m. 34"_s;
    kowalski.area = 52.40;
    kowalski.persons = 3;
    kowalski.openingBalance = -15237;
    kowalski.lateChance = 15;
    kowalski.monthWithoutDocuments = (currentYear - 1) * 12 + 8;
    kowalski.correctionMonth = 2017 * 12 + 5;
    plans.append(kowalski);

    TenantPlan wisniewska;
    wisniewska.cooperative = 0;
    wisniewska.login = u"wisniewska"_s;
    wisniewska.password = u"Wisnia2016"_s;
    wisniewska.shows = u"spółdzielnia, woda rozliczana dopiero od 2016 r., bez drugiego współwłaściciela, "
                       u"wpłaty z MOPS, współczynnik 0,50 dla dźwigów"_s;
    wisniewska.tenant = {0, 0, u"wisniewska"_s, u"Zofia"_s, u"Wiśniewska"_s, {}, {}, 0, 0, false};
    wisniewska.dwelling.town = u"Łódź"_s;
    wisniewska.dwelling.street = u"Świętokrzyska 5 m. 2"_s;
    wisniewska.area = 38.15;
    wisniewska.persons = 1;
    wisniewska.rentSubset = {0, 1, 2, 3, 4, 7, 8, 14, 15};
    wisniewska.coefficients = {{7, 0.50}};
    wisniewska.waterFrom = QDate(2016, 1, 1);
    wisniewska.openingBalance = 4810;
    wisniewska.lateChance = 25;
    wisniewska.welfare = 18000;
    plans.append(wisniewska);

    TenantPlan nowak;
    nowak.cooperative = 0;
    nowak.login = u"nowak"_s;
    nowak.password = u"NowakP2015"_s;
    nowak.shows = u"spółdzielnia, bez odsetek od wody, zamieszkanie od 17.03.2015 (naliczenie za część "
                  u"miesiąca), drugi współwłaściciel"_s;
    nowak.tenant = {0, 0, u"nowak"_s, u"Piotr"_s, u"Nowak"_s, u"Ewa"_s, u"Nowak-Żak"_s, 0, 0, false};
    nowak.dwelling.town = u"Łódź"_s;
    nowak.dwelling.street = u"Piłsudskiego 140 m. 7"_s;
    nowak.dwelling.offered = {true, true, true, false, true};
    nowak.area = 61.70;
    nowak.persons = 2;
    nowak.occupiedFrom = QDate(2015, 3, 17);
    nowak.lateChance = 5;
    plans.append(nowak);

    TenantPlan zielinski;
    zielinski.cooperative = 1;
    zielinski.login = u"zielinski"_s;
    zielinski.password = u"Ogrod7Gda"_s;
    zielinski.shows = u"wspólnota mieszkaniowa, księgi do grudnia 2014 r. (w latach 2011–2012 odpady "
                      u"rozliczane z czynszem), bez odsetek od wody, bez drugiego współwłaściciela"_s;
    zielinski.tenant = {0, 0, u"zielinski"_s, u"Krzysztof"_s, u"Zieliński"_s, {}, {}, 0, 0, false};
    zielinski.dwelling.town = u"Gdańsk"_s;
    zielinski.dwelling.street = u"Ogrodowa 7 m. 3"_s;
    zielinski.dwelling.offered = {true, true, true, false, true};
    zielinski.area = 44.80;
    zielinski.persons = 2;
    zielinski.rentSubset = {0, 1, 2, 3, 5, 6, 10, 12, 14, 15};
    zielinski.openingBalance = -2260;
    zielinski.lateChance = 20;
    plans.append(zielinski);

    for (TenantPlan &plan : plans) {
        plan.tenant.login = plan.login;
        if (plan.occupiedFrom.isValid())
            plan.tenant.occupiedFrom = DateToValue(plan.occupiedFrom);
        if (plan.waterFrom.isValid())
            plan.dwelling.waterStart = DateToValue(plan.waterFrom);
    }
    return plans;
}

// Hands out document numbers per series and year, shared by all tenants of a
// database like a cooperative's own numbering.
class DocumentNumbers
{
public:
    QString Next(const QString &series, int year, int month = 0)
    {
        const int n = ++m_counters[series + QString::number(year)];
        if (month > 0)
            return u"%1/%2/%3/%4"_s.arg(series)
                .arg(year)
                .arg(month, 2, 10, QLatin1Char('0'))
                .arg(n, 4, 10, QLatin1Char('0'));
        return u"%1/%2/%3"_s.arg(series).arg(year).arg(n, 4, 10, QLatin1Char('0'));
    }

private:
    QHash<QString, int> m_counters;
};

// Writes one tenant's ledger month by month, keeping each account's balance
// (credits minus debits, grosze) to decide what the tenant pays.
class LedgerWriter
{
public:
    LedgerWriter(ServerDatabase &db, DocumentNumbers &numbers, const TenantPlan &plan, qint64 tenantId, quint32 seed,
                 double today)
        : m_db(db), m_numbers(numbers), m_plan(plan), m_tenantId(tenantId), m_rng(seed), m_today(today)
    {
    }

    void Write(int lastYear, int lastMonth)
    {
        if (m_plan.openingBalance != 0 && !m_plan.occupiedFrom.isValid())
            writeOpening();
        const QDate first = m_plan.occupiedFrom.isValid() ? m_plan.occupiedFrom : QDate(kFirstYear, 1, 1);
        for (int index = first.year() * 12 + first.month(); index <= lastYear * 12 + lastMonth; ++index) {
            const int year = (index - 1) / 12;
            const int month = (index - 1) % 12 + 1;
            writeMonth(year, month, first);
        }
    }

private:
    bool offered(int account) const { return m_plan.dwelling.offered[account]; }

    bool waterIn(int year, int month) const
    {
        return offered(kWater) && (!m_plan.waterFrom.isValid() || QDate(year, month, 1) >= m_plan.waterFrom);
    }

    void add(const DocumentRecord &document, const QList<EntryRecord> &entries)
    {
        if (document.dateOper > m_today)
            return;
        m_db.AddDocument(document, entries);
        book(entries);
    }

    void addCharge(const DocumentRecord &document, const QList<ComponentRecord> &components)
    {
        if (document.dateOper > m_today || components.isEmpty())
            return;
        m_db.AddCharge(document, components);
        QList<EntryRecord> entries;
        for (const ComponentRecord &c : components)
            entries.append(EntryRecord{c.account, 0, c.net + c.vat});
        book(entries);
    }

    void book(const QList<EntryRecord> &entries)
    {
        for (const EntryRecord &e : entries)
            m_balance[e.account] += e.side == 0 ? -e.amount : e.amount;
    }

    DocumentRecord document(int kind, const QString &number, const QString &text, double dateOper, double dateTerm,
                            int year, int month) const
    {
        DocumentRecord d;
        d.tenantId = m_tenantId;
        d.kind = kind;
        d.number = number;
        d.text = text;
        d.dateOper = dateOper;
        d.dateTerm = dateTerm;
        d.year = year;
        d.month = month;
        return d;
    }

    void writeOpening()
    {
        const qint64 amount = std::abs(m_plan.openingBalance);
        DocumentRecord d
            = document(6, m_numbers.Next(u"BO"_s, kFirstYear - 1), u"Bilans otwarcia – saldo na dzień 31.12.2010"_s,
                       dateValue(kFirstYear - 1, 12, 31), dateValue(kFirstYear - 1, 12, 31), kFirstYear - 1, 12);
        add(d, {EntryRecord{kRent, m_plan.openingBalance < 0 ? 0 : 1, amount}});
    }

    QList<ComponentRecord> chargeComponents(int year, int month, double fraction) const
    {
        const bool partial = fraction < 1.0;
        QList<ComponentRecord> components;
        const int index = year * 12 + month;
        const QList<RentItem> &items = rentItems();
        for (int i = 0; i < items.size(); ++i) {
            const RentItem &item = items[i];
            if (!m_plan.rentSubset.isEmpty() && !m_plan.rentSubset.contains(i))
                continue;
            if ((item.fromMonth && index < item.fromMonth) || (item.toMonth && index > item.toMonth))
                continue;
            ComponentRecord c;
            c.account = kRent;
            c.name = QString::fromUtf16(item.name);
            c.price = grownPrice(item.price2011, year, 0.03);
            double quantity = 1;
            switch (item.basis) {
            case Basis::Area:
                quantity = m_plan.area;
                c.quantityText = polishNumber(quantity, 2) + u" m2"_s;
                break;
            case Basis::Persons:
                quantity = m_plan.persons;
                c.quantityText = QString::number(m_plan.persons) + u" os."_s;
                break;
            case Basis::Unit: c.quantityText = u"1 szt."_s; break;
            }
            const double coefficient = m_plan.coefficients.value(i, 1.0);
            c.coefficientText = polishNumber(coefficient, 2);
            // Fixed fees per unit are charged whole even for part of a month.
            c.partialMonth = partial && item.basis != Basis::Unit;
            c.net = toGrosze(quantity * c.price * coefficient * (c.partialMonth ? fraction : 1.0));
            c.vatRate = u"zw."_s;
            components.append(c);
        }
        if (waterIn(year, month)) {
            const double cubicMetres = (200 + m_rng.bounded(350)) / 100.0 * m_plan.persons / 2.0;
            const double share = partial ? fraction : 1.0;
            const struct
            {
                const char16_t *name;
                double price2011;
                bool metered;
            } water[] = {
                {u"Zimna woda", 4.10, true},
                {u"Odprowadzenie ścieków", 5.30, true},
                {u"Opłata abonamentowa za wodomierz", 2.40, false},
            };
            for (const auto &w : water) {
                ComponentRecord c;
                c.account = kWater;
                c.name = QString::fromUtf16(w.name);
                c.price = grownPrice(w.price2011, year, 0.04);
                const double quantity = w.metered ? std::round(cubicMetres * share * 1000.0) / 1000.0 : 1.0;
                c.quantityText = w.metered ? polishNumber(quantity, 3) + u" m3"_s : u"1 szt."_s;
                c.coefficientText = polishNumber(1.0, 2);
                c.partialMonth = false; // metered: the reading covers the days lived
                c.net = toGrosze(quantity * c.price);
                c.vat = std::llround(c.net * 0.08);
                c.vatRate = u"8%"_s;
                components.append(c);
            }
        }
        if (offered(kWaste) && index >= kWasteFromMonth) {
            ComponentRecord c;
            c.account = kWaste;
            c.name = u"Gospodarowanie odpadami komunalnymi"_s;
            c.price = wasteRate(year);
            c.quantityText = QString::number(m_plan.persons) + u" os."_s;
            c.coefficientText = polishNumber(1.0, 2);
            c.partialMonth = partial;
            c.net = toGrosze(m_plan.persons * c.price * (partial ? fraction : 1.0));
            c.vatRate = u"np."_s;
            components.append(c);
        }
        return components;
    }

    void writeCharge(int year, int month, int bookYear, int bookMonth, double dateOper, QDate from)
    {
        const int days = MonthDayCount(year, month);
        const double fraction = from.day() > 1 ? double(days - from.day() + 1) / days : 1.0;
        QString text = u"Naliczenie opłat za %1 %2"_s.arg(monthNames()[month - 1]).arg(year);
        if (fraction < 1.0)
            text += u" (od %1)"_s.arg(from.toString(u"dd.MM.yyyy"_s));
        DocumentRecord d = document(1, m_numbers.Next(u"NZ"_s, bookYear, bookMonth), text, dateOper,
                                    dateValue(year, month, 15), bookYear, bookMonth);
        d.periodFrom = DateToValue(from);
        d.periodTo = dateValue(year, month, days);
        addCharge(d, chargeComponents(year, month, fraction));
    }

    // The interest for the last payment made after its term, booked on the
    // 28th with a term two weeks later, in the next month.
    void writeInterest(int year, int month)
    {
        if (m_lateDays <= 0)
            return;
        const QDate previous = QDate(year, month, 1).addMonths(-1);
        QList<ComponentRecord> components;
        const struct
        {
            int account;
            qint64 base;
            const char16_t *name;
        } parts[] = {
            {kRentInterest, m_lateRentBase, u"Odsetki od nieterminowej wpłaty czynszu"},
            {kWaterInterest, m_lateWaterBase, u"Odsetki od nieterminowej wpłaty za wodę"},
        };
        for (const auto &part : parts) {
            if (!offered(part.account) || part.base <= 0)
                continue;
            const qint64 interest = std::llround(part.base * 0.1125 * m_lateDays / 365.0);
            if (interest <= 0)
                continue;
            ComponentRecord c;
            c.account = part.account;
            c.name = QString::fromUtf16(part.name);
            c.quantityText = u"%1 dni"_s.arg(m_lateDays);
            c.price = interest / 100.0;
            c.coefficientText = polishNumber(1.0, 2);
            c.net = interest;
            c.vatRate = u"np."_s;
            components.append(c);
        }
        const double booked = dateValue(year, month, 28);
        DocumentRecord d
            = document(1, m_numbers.Next(u"NO"_s, year),
                       u"Nota odsetkowa za zwłokę w zapłacie za %1 %2"_s.arg(monthNames()[previous.month() - 1])
                           .arg(previous.year()),
                       booked, booked + 14, year, month);
        d.periodFrom = DateToValue(previous);
        d.periodTo = DateToValue(previous.addMonths(1).addDays(-1));
        addCharge(d, components);
        m_lateDays = 0;
    }

    // In January an overpayment of the rents goes to the water account.
    void writeRePosting(int year)
    {
        if (m_balance[kRent] <= 0 || !waterIn(year, 1))
            return;
        const qint64 amount = m_balance[kRent];
        const double date = dateValue(year, 1, 2);
        DocumentRecord d = document(6, m_numbers.Next(u"PK"_s, year),
                                    u"Przeksięgowanie nadpłaty czynszu na poczet opłat za wodę"_s, date, date, year, 1);
        add(d, {EntryRecord{kRent, 0, amount}, EntryRecord{kWater, 1, amount}});
    }

    void writeCorrection(int year, int month)
    {
        const double date = dateValue(year, month, 12);
        DocumentRecord d
            = document(2, m_numbers.Next(u"KN"_s, year), u"Korekta naliczenia – zmiana liczby osób zamieszkałych"_s,
                       date, date, year, month);
        add(d, {EntryRecord{kRent, 1, 3850}});
    }

    void writePayments(int year, int month)
    {
        if (m_plan.welfare > 0) {
            const double date = dateValue(year, month, 10);
            DocumentRecord d
                = document(5, m_numbers.Next(u"MOPS"_s, year),
                           u"Dodatek mieszkaniowy – Miejski Ośrodek Pomocy Społecznej"_s, date, date, year, month);
            add(d, {EntryRecord{kRent, 1, m_plan.welfare}});
        }

        // What is owed on each account now; the tenant pays the interest,
        // water and waste in full and the rest on the rent, now and then a
        // little less or rounded up to whole złoty.
        QList<EntryRecord> entries;
        for (int account : {kRentInterest, kWater, kWaterInterest, kWaste}) {
            if (m_balance[account] < 0)
                entries.append(EntryRecord{account, 1, -m_balance[account]});
        }
        qint64 rent = std::max<qint64>(0, -m_balance[kRent]);
        const int mood = m_rng.bounded(100);
        if (mood < 8)
            rent = rent * 85 / 100;
        else if (mood < 30)
            rent = (rent / 100 + 1) * 100;
        if (rent > 0)
            entries.prepend(EntryRecord{kRent, 1, rent});
        if (entries.isEmpty())
            return;

        const bool late = static_cast<int>(m_rng.bounded(100)) < m_plan.lateChance;
        const int day = late ? 17 + m_rng.bounded(11) : 3 + m_rng.bounded(12);
        const bool cash = m_rng.bounded(100) < 10;
        const double date = dateValue(year, month, day);
        DocumentRecord d = cash
            ? document(4, m_numbers.Next(u"KP"_s, year), u"Wpłata w kasie"_s, date, date, year, month)
            : document(3, m_numbers.Next(u"WB"_s, year), u"Wpłata – przelew bankowy"_s, date, date, year, month);
        if (late) {
            m_lateDays = day - 15;
            m_lateRentBase = rent;
            m_lateWaterBase = m_balance[kWater] < 0 ? -m_balance[kWater] : 0;
        }
        add(d, entries);
    }

    void writeMonth(int year, int month, QDate first)
    {
        const int index = year * 12 + month;
        if (index == m_plan.monthWithoutDocuments)
            return; // its charge went out with the month before
        if (month == 1 && index > first.year() * 12 + first.month())
            writeRePosting(year);
        const QDate from = (first.year() == year && first.month() == month) ? first : QDate(year, month, 1);
        writeCharge(year, month, year, month, dateValue(year, month, 1), from);
        if (index + 1 == m_plan.monthWithoutDocuments) {
            // Next month's charge booked now, on the 25th, due after this month ends.
            const QDate next = QDate(year, month, 1).addMonths(1);
            writeCharge(next.year(), next.month(), year, month, dateValue(year, month, 25), next);
        }
        writeInterest(year, month);
        if (index == m_plan.correctionMonth)
            writeCorrection(year, month);
        writePayments(year, month);
    }

    ServerDatabase &m_db;
    DocumentNumbers &m_numbers;
    const TenantPlan &m_plan;
    qint64 m_tenantId;
    mutable QRandomGenerator m_rng;
    double m_today;
    std::array<qint64, kAccountCount> m_balance{};
    int m_lateDays = 0;
    qint64 m_lateRentBase = 0;
    qint64 m_lateWaterBase = 0;
};

} // namespace

QList<DemoData::Login> DemoData::Logins()
{
    QList<Login> logins;
    for (const TenantPlan &plan : tenantPlans(QDate::currentDate().year()))
        logins.append(Login{plan.login, plan.password, plan.shows});
    return logins;
}

void DemoData::Populate(ServerDatabase &db, double today, quint32 seed)
{
    const QDate now = ValueToDate(today);
    ServerDatabase::Transaction transaction(db);
    QList<qint64> cooperativeIds;
    QList<CooperativePlan> cooperatives = cooperativePlans();
    for (const CooperativePlan &c : cooperatives)
        cooperativeIds.append(db.AddCooperative(c.record));

    DocumentNumbers numbers;
    const QList<TenantPlan> plans = tenantPlans(now.year());
    for (int i = 0; i < plans.size(); ++i) {
        const TenantPlan &plan = plans[i];
        DwellingRecord dwelling = plan.dwelling;
        dwelling.cooperativeId = cooperativeIds[plan.cooperative];
        TenantRecord tenant = plan.tenant;
        tenant.dwellingId = db.AddDwelling(dwelling);
        const qint64 tenantId = db.AddTenant(tenant, PasswordHash::Make(plan.password));

        const CooperativeRecord &cooperative = cooperatives[plan.cooperative].record;
        const QDate last = cooperative.periodActive != 0 ? ValueToDate(cooperative.periodActive) : now;
        LedgerWriter writer(db, numbers, plan, tenantId, seed + static_cast<quint32>(i), today);
        writer.Write(last.year(), last.month());
    }
    transaction.Commit();
}

#pragma once

#include <QList>
#include <QString>

#include <optional>

class TU_WEBServiceData;

// The state of the whole account at a glance: each offered category's running
// balance at its open booking period and their sum. It is taken from the
// current year's figures only (a session-begin answer, or a query for the
// current year), so a past year on the tables does not change it.
struct BalanceSummary
{
    enum class Kind { Owing, Overpaid, Settled };

    struct Category
    {
        int Index = 0; // 0 to 4 in the fixed category order
        int Month = 0; // the open booking period's month whose balance this is (0: the opening state)
        double Balance = 0; // credits minus debits, slots 0 to Month
    };

    int Year = 0; // the current year
    double Date = 0; // the date value the state refers to
    QList<Category> Categories;
    double Total = 0;

    // The summary of the store's figures, or nothing while the store shows
    // another year than the current one (or holds no year). `serviceDate` is
    // the date of the data (the session's ServiceDate); 0 takes the open rent
    // period instead. Categories not offered, and those whose table shows the
    // "not yet settled" notice for the year, are left out.
    static std::optional<BalanceSummary> FromStore(const TU_WEBServiceData &store, double serviceDate);

    // Owing below -0.00001, overpaid above +0.00001, otherwise settled.
    Kind TotalKind() const;
    // "Do zapłaty: 230,66 zł", "Nadpłata: 12,00 zł" or "Rozliczone".
    QString TotalText() const;
    // "Stan na 12.03.2025".
    QString DateText() const;
    // "czynsze: -120,00 zł" for the category entry.
    static QString CategoryText(const Category &category);
};

// Whether the category 0 to 4 is settled in the system in `year`: rents from
// the first rent year, water from the first water year, waste on its own from
// 2013 (before it, waste was settled with the rents).
bool CategorySettledInYear(int category, int year, int czYearStart, int woYearStart);

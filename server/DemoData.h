#pragma once

#include <QList>
#include <QString>

class ServerDatabase;

// The demo database: a housing cooperative and a housing community, four
// tenants and their ledgers from 2011 on, generated from a fixed seed so that
// every fresh start gives the same figures (up to the current day: documents
// dated later are left out).
class DemoData
{
public:
    static constexpr quint32 kSeed = 20110101;

    struct Login
    {
        QString login;
        QString password;
        QString shows; // what the account demonstrates, for the README
    };

    // The demo logins and their passwords (all satisfy the password rule).
    static QList<Login> Logins();

    // Fills an empty database. `today` (a date value) ends the generated
    // ledgers of the cooperative that runs in the current period.
    static void Populate(ServerDatabase &db, double today, quint32 seed = kSeed);
};

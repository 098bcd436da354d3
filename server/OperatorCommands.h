#pragma once

#include <QTextStream>

class ServerOptions;

// The operator's commands on the demo database: list the tenants, create a
// tenant (with a new dwelling and an empty ledger), set a tenant's password.
// Passwords are checked against the password rule and stored only as digests.
class OperatorCommands
{
public:
    // Runs options.command; answers the process exit code.
    static int Run(const ServerOptions &options, QTextStream &in, QTextStream &out, QTextStream &err);

    // Logins are 3 to 32 characters from A-Z, a-z, 0-9 and "._@-".
    static bool IsValidLogin(const QString &login);
};

#include "server/OperatorCommands.h"

#include "common/Errors.h"
#include "protocol/PasswordRule.h"
#include "server/DataFolder.h"
#include "server/PasswordHash.h"
#include "server/ServerDatabase.h"
#include "server/ServerOptions.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

QString passwordFrom(const ServerOptions &options, QTextStream &in)
{
    if (options.password)
        return *options.password;
    return in.readLine().trimmed();
}

} // namespace

bool OperatorCommands::IsValidLogin(const QString &login)
{
    static const QRegularExpression form(u"^[A-Za-z0-9._@-]{3,32}$"_s);
    return form.match(login).hasMatch();
}

int OperatorCommands::Run(const ServerOptions &options, QTextStream &in, QTextStream &out, QTextStream &err)
{
    try {
        QString note;
        const auto db = DataFolder::OpenDatabase(options, &note);
        if (!note.isEmpty())
            err << note << Qt::endl;

        switch (options.command) {
        case ServerOptions::Command::ListTenants: {
            for (const TenantSummary &t : db->ListTenants())
                out << t.id << '\t' << t.login << '\t' << t.name << '\t' << t.address << '\t' << t.cooperative
                    << Qt::endl;
            return 0;
        }
        case ServerOptions::Command::CreateTenant: {
            if (!IsValidLogin(options.login)) {
                err << u"Nieprawidłowy login: dozwolone 3-32 znaki A-Z, a-z, 0-9 i ._@-"_s << Qt::endl;
                return 2;
            }
            if (db->FindTenant(options.login)) {
                err << u"Lokator %1 już istnieje."_s.arg(options.login) << Qt::endl;
                return 2;
            }
            const QString password = passwordFrom(options, in);
            if (!IsStrongPassword(password)) {
                err << WeakPasswordMessage() << Qt::endl;
                return 2;
            }
            ServerDatabase::Transaction transaction(*db);
            DwellingRecord dwelling;
            dwelling.cooperativeId = options.cooperativeId;
            dwelling.town = options.town;
            dwelling.street = options.street;
            TenantRecord tenant;
            tenant.login = options.login;
            tenant.firstName1 = options.firstName;
            tenant.lastName1 = options.lastName;
            tenant.firstName2 = options.secondFirstName;
            tenant.lastName2 = options.secondLastName;
            tenant.dwellingId = db->AddDwelling(dwelling);
            const qint64 id = db->AddTenant(tenant, PasswordHash::Make(password));
            transaction.Commit();
            out << u"Utworzono lokatora %1 (id %2)."_s.arg(options.login).arg(id) << Qt::endl;
            return 0;
        }
        case ServerOptions::Command::SetPassword: {
            const auto account = db->FindTenant(options.login);
            if (!account) {
                err << u"Nie ma lokatora %1."_s.arg(options.login) << Qt::endl;
                return 2;
            }
            const QString password = passwordFrom(options, in);
            if (!IsStrongPassword(password)) {
                err << WeakPasswordMessage() << Qt::endl;
                return 2;
            }
            db->SetPassword(account->tenant.id, PasswordHash::Make(password));
            out << u"Hasło lokatora %1 zostało zmienione."_s.arg(options.login) << Qt::endl;
            return 0;
        }
        case ServerOptions::Command::Serve:
        case ServerOptions::Command::Help: break;
        }
        return 0;
    } catch (const AppError &error) {
        err << error.message() << Qt::endl;
        return 1;
    }
}

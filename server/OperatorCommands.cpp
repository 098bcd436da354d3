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

QString passwordFrom(const ServerOptions &options, QTextStream &in, QTextStream &err)
{
    if (options.password)
        return *options.password;
    const QString line = in.readLine();
    const QString password = line.trimmed();
    if (password != line)
        err << u"Uwaga: pominięto odstępy na początku lub końcu hasła."_s << Qt::endl;
    return password;
}

// A text from the database as one field of a line on a terminal: control
// characters (a line break would forge a line, an escape sequence would
// reach the terminal) and the backslash written as escapes.
QString printable(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            out += u"\\\\"_s;
        else if (u < 0x20 || (u >= 0x7f && u < 0xa0) || c.category() == QChar::Other_Format || u == 0x2028
                 || u == 0x2029)
            out += u"\\u%1"_s.arg(uint(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
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
                out << t.id << '\t' << printable(t.login) << '\t' << printable(t.name) << '\t' << printable(t.address)
                    << '\t' << printable(t.cooperative) << Qt::endl;
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
            const QString password = passwordFrom(options, in, err);
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
                err << u"Nie ma lokatora %1."_s.arg(printable(options.login)) << Qt::endl;
                return 2;
            }
            const QString password = passwordFrom(options, in, err);
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

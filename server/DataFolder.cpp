#include "server/DataFolder.h"

#include "common/Clock.h"
#include "common/Errors.h"
#include "server/DemoData.h"
#include "server/ServerDatabase.h"
#include "server/ServerOptions.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

std::unique_ptr<ServerDatabase> DataFolder::OpenDatabase(const ServerOptions &options, QString *note)
{
    if (!QDir().mkpath(options.dataDir))
        throw AppError(u"Nie można utworzyć katalogu danych %1."_s.arg(options.dataDir));
    // Private to the server's user whatever the umask, also for a folder
    // and files made by an older version.
    QFile::setPermissions(options.dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto makePrivate = [&] {
        for (const QString &suffix : {u""_s, u"-wal"_s, u"-shm"_s, u"-journal"_s}) {
            if (QFile::exists(options.DatabasePath() + suffix))
                QFile::setPermissions(options.DatabasePath() + suffix, QFile::ReadOwner | QFile::WriteOwner);
        }
    };
    makePrivate();
    auto db = std::make_unique<ServerDatabase>(options.DatabasePath());
    makePrivate();
    const bool reset = options.resetDemo && !db->IsEmpty();
    if (reset)
        db->Clear();
    if (db->IsEmpty()) {
        DemoData::Populate(*db, Now());
        db->Checkpoint();
        if (note)
            *note = reset ? u"Baza demonstracyjna utworzona od nowa: %1"_s.arg(options.DatabasePath())
                          : u"Utworzono bazę demonstracyjną: %1"_s.arg(options.DatabasePath());
    }
    makePrivate();
    return db;
}

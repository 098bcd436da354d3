#include "server/DataFolder.h"

#include "common/Clock.h"
#include "common/Errors.h"
#include "server/DemoData.h"
#include "server/ServerDatabase.h"
#include "server/ServerOptions.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

std::unique_ptr<ServerDatabase> DataFolder::OpenDatabase(const ServerOptions &options, QString *note)
{
    struct stat folder = {};
    if (::stat(QFile::encodeName(options.dataDir).constData(), &folder) != 0) {
        if (!QDir().mkpath(options.dataDir))
            throw AppError(u"Nie można utworzyć katalogu danych %1."_s.arg(options.dataDir));
        // A new folder is private to the server's user whatever the umask.
        QFile::setPermissions(options.dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else if (!S_ISDIR(folder.st_mode)) {
        throw AppError(u"%1 nie jest katalogiem."_s.arg(options.dataDir));
    } else if ((folder.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        // An existing folder keeps its mode (it may be shared on purpose),
        // but one that others can write lets them swap the database.
        throw AppError(u"Katalog danych %1 mogą zmieniać inni użytkownicy (prawa %2); serwer go nie użyje."_s.arg(
            options.dataDir, QString::number(folder.st_mode & 07777, 8)));
    }
    // The files stay private, also those made by an older version.
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

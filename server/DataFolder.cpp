#include "server/DataFolder.h"

#include "common/Clock.h"
#include "common/Errors.h"
#include "server/DemoData.h"
#include "server/ServerDatabase.h"
#include "server/ServerOptions.h"

#include <QDir>

using namespace Qt::StringLiterals;

std::unique_ptr<ServerDatabase> DataFolder::OpenDatabase(const ServerOptions &options, QString *note)
{
    if (!QDir().mkpath(options.dataDir))
        throw AppError(u"Nie można utworzyć katalogu danych %1."_s.arg(options.dataDir));
    auto db = std::make_unique<ServerDatabase>(options.DatabasePath());
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
    return db;
}

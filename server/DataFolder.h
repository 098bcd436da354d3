#pragma once

#include <QString>

#include <memory>

class ServerDatabase;
class ServerOptions;

// The server's data folder: the database, and the certificate pair unless
// other files were given. A new (or reset) database gets the demo data.
class DataFolder
{
public:
    // Creates the folder when missing and opens the database; `note` tells
    // whether the demo data was (re)created. Throws AppError on failure.
    static std::unique_ptr<ServerDatabase> OpenDatabase(const ServerOptions &options, QString *note = nullptr);
};

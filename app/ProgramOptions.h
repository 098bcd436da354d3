#pragma once

#include <QString>
#include <QStringList>

// What the command line says: argument 1 is the server address; --ca-cert
// trusts one more certificate. --help and --version are answered by Parse.
struct ProgramOptions
{
    QString serverAddress;  // empty: the built-in default
    QString caCertFile;
    bool exitRequested = false;  // --help or --version answered, or a usage error
    int exitCode = 0;
};

ProgramOptions ParseProgramOptions(const QStringList &arguments);

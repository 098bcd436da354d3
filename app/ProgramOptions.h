#pragma once

#include <QString>
#include <QStringList>

// What the command line says: argument 1 is the server address; --ca-cert
// trusts one more certificate. --help and --version are answered by Parse.
struct ProgramOptions
{
    QString serverAddress; // empty: the built-in default
    QString caCertFile;
    bool exitRequested = false; // --help or --version answered, or a usage error
    int exitCode = 0;
};

// Parses; --help, --version and a usage error are answered on standard
// output or error (the help text and the version need an application object).
ProgramOptions ParseProgramOptions(const QStringList &arguments);

// True when the command line is one that ParseProgramOptions answers and
// ends (--help, --version, a usage error). Needs no application object.
bool CommandLineAnswersItself(const QStringList &arguments);

#include "app/ProgramOptions.h"

#include "common/VersionInfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

// The program's options and arguments, for parsing and for the help text.
struct OptionParser
{
    QCommandLineParser parser;
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Wyświetla tę pomoc i kończy działanie.")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Wyświetla wersję programu i kończy działanie.")};
    const QCommandLineOption caCert{QStringLiteral("ca-cert"),
                                    QStringLiteral("Dodatkowy zaufany certyfikat (PEM) serwera lub urzędu."),
                                    QStringLiteral("plik")};

    OptionParser()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Internetowy serwis użytkownika: rozrachunki lokalu w spółdzielni lub wspólnocie mieszkaniowej."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(caCert);
        parser.addPositionalArgument(QStringLiteral("adres"),
                                     QStringLiteral("Adres serwera (host lub host:port); domyślnie %1.")
                                         .arg(QStringLiteral(DOMVEL_DEFAULT_SERVER)),
                                     QStringLiteral("[adres]"));
    }
};

} // namespace

bool CommandLineAnswersItself(const QStringList &arguments)
{
    OptionParser options;
    return !options.parser.parse(arguments) || options.parser.isSet(options.help)
        || options.parser.isSet(options.version);
}

ProgramOptions ParseProgramOptions(const QStringList &arguments)
{
    ProgramOptions options;
    OptionParser command;
    QCommandLineParser &parser = command.parser;

    auto finish = [&](const QString &text, FILE *stream, int code) {
        std::fputs(text.toLocal8Bit().constData(), stream);
        std::fflush(stream);
        options.exitRequested = true;
        options.exitCode = code;
        return options;
    };
    if (!parser.parse(arguments))
        return finish(parser.errorText() + QStringLiteral("\n") + parser.helpText(), stderr, 2);
    if (parser.isSet(command.help))
        return finish(parser.helpText(), stdout, 0);
    if (parser.isSet(command.version)) {
        const QStringList info = ReadVersionInfo(QCoreApplication::applicationFilePath());
        return finish(QStringLiteral("%1 %2 (wersja produktu %3)\n")
                          .arg(QCoreApplication::applicationName(), info.value(0), info.value(6)),
                      stdout, 0);
    }
    options.serverAddress = parser.positionalArguments().value(0);
    options.caCertFile = parser.value(command.caCert);
    return options;
}

// domvel-tour: the scripted tour of the client against a running server, for
// a machine without a display (run it under xvfb-run, or with the offscreen
// platform). Exit status 0 when every step succeeded, 1 when one failed, 2 on
// a usage error.

#include "common/Messages.h"
#include "forms/TApplication.h"
#include "tour/ClientDriver.h"
#include "tour/ClientTour.h"

#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    app.setApplicationName(u"domvel-tour"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Pokaz programu Domvel-E-Vadiv bez ekranu: logowanie, rok, kartoteka "
                                     u"miesiąca, szczegóły obciążenia, podgląd, eksport PDF i plik wydruku."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"adres"_s, u"Adres serwera (host:port)."_s);
    const QCommandLineOption caCert(u"ca-cert"_s, u"Zaufany certyfikat serwera (PEM)."_s, u"plik"_s);
    const QCommandLineOption out(u"out"_s, u"Folder na zrzuty ekranu i pliki (tworzony)."_s, u"folder"_s);
    const QCommandLineOption login(u"login"_s, u"Identyfikator użytkownika (domyślnie kowalski)."_s, u"login"_s,
                                   u"kowalski"_s);
    const QCommandLineOption password(u"password"_s, u"Hasło (domyślnie Kowalski1)."_s, u"hasło"_s, u"Kowalski1"_s);
    parser.addOptions({caCert, out, login, password});
    parser.process(app);
    if (parser.positionalArguments().size() != 1 || !parser.isSet(out)) {
        std::fprintf(stderr, "Użycie: domvel-tour ADRES --out FOLDER [--ca-cert PLIK]\n");
        return 2;
    }

    ClientTour::Options options;
    options.serverAddress = parser.positionalArguments().first();
    options.caCertificate = parser.value(caCert);
    options.login = parser.value(login);
    options.password = parser.value(password);
    options.output = QDir(parser.value(out));
    if (!options.output.mkpath(u"."_s)) {
        std::fprintf(stderr, "Nie można utworzyć folderu %s\n", qPrintable(options.output.path()));
        return 2;
    }

    bool passed = false;
    {
        ClientDriver driver;
        ClientTour tour(driver, options);
        passed = tour.Run();
        for (const MessageRequest &m : driver.Messages().messages)
            std::fprintf(stdout, "Komunikat programu: %s\n", qPrintable(m.text.simplified()));
    }
    std::fprintf(stdout, "Zrzuty ekranu i pliki: %s\n", qPrintable(QDir(options.output).absolutePath()));
    return passed ? 0 : 1;
}

#include "server/ServerOptions.h"

#include "common/Errors.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

const char16_t *const kCommandHelp
    = u"\nPolecenia operatora (zamiast uruchomienia serwera):\n"
      u"  list-tenants                 lista lokatorów\n"
      u"  create-tenant LOGIN          nowy lokator (--first-name, --last-name, --street, --town,\n"
      u"                               opcjonalnie --second-first-name, --second-last-name,\n"
      u"                               --cooperative, --password)\n"
      u"  set-password LOGIN           nowe hasło lokatora (--password lub jedna linia na wejściu)\n"
      u"Hasło musi mieć 6-16 znaków, co najmniej jedną dużą literę, jedną małą i jedną cyfrę.\n";

std::optional<double> number(const QString &text)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

QString ServerOptions::DatabasePath() const
{
    return QDir(dataDir).filePath(u"demo.sqlite"_s);
}

QString ServerOptions::CertificatePath() const
{
    return certificateFile.isEmpty() ? QDir(dataDir).filePath(u"server-cert.pem"_s) : certificateFile;
}

QString ServerOptions::KeyPath() const
{
    return keyFile.isEmpty() ? QDir(dataDir).filePath(u"server-key.pem"_s) : keyFile;
}

ServerOptions ServerOptions::Parse(const QStringList &arguments)
{
    const auto failure = [](const QString &text) -> ServerOptions { throw AppError(text); };
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Demonstracyjny serwer usługi e-kartoteki lokatora (SOAP 1.1 przez HTTPS)."_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Pokazuje tę pomoc."_s);
    const QCommandLineOption port(u"port"_s,
                                  u"Port HTTPS (domyślnie 8443; 0 = wolny port, wypisany jako \"port: N\")."_s, u"N"_s);
    const QCommandLineOption listen(u"listen"_s, u"Adres nasłuchu (domyślnie 127.0.0.1)."_s, u"ADRES"_s);
    const QCommandLineOption data(u"data"_s, u"Katalog danych: baza i certyfikat."_s, u"KATALOG"_s);
    const QCommandLineOption cert(u"cert"_s, u"Plik certyfikatu PEM (domyślnie generowany w katalogu danych)."_s,
                                  u"PLIK"_s);
    const QCommandLineOption key(u"key"_s, u"Plik klucza prywatnego PEM."_s, u"PLIK"_s);
    const QCommandLineOption minVersion(u"min-version"_s,
                                        u"Najniższa przyjmowana wersja klienta (domyślnie 1.3.0.0)."_s, u"WERSJA"_s);
    const QCommandLineOption sessionMinutes(u"session-minutes"_s, u"Czas życia sesji w minutach (domyślnie 15)."_s,
                                            u"MINUTY"_s);
    const QCommandLineOption clockOffset(u"clock-offset"_s, u"Przesunięcie zegara serwera w minutach (testy)."_s,
                                         u"MINUTY"_s);
    const QCommandLineOption multiRef(u"multiref"_s, u"Rekordy odpowiedzi w formie multi-reference (href/id)."_s);
    const QCommandLineOption maxBody(u"max-body"_s, u"Największe przyjmowane żądanie w bajtach (domyślnie 1048576)."_s,
                                     u"BAJTY"_s);
    const QCommandLineOption resetDemo(u"reset-demo"_s, u"Tworzy bazę demonstracyjną od nowa."_s);
    const QCommandLineOption fault(u"fault"_s,
                                   u"Celowy błąd odpowiedzi: slow, close-halfway, http500, malformed; "
                                   u"opcjonalnie :OPERACJA."_s,
                                   u"RODZAJ"_s);
    const QCommandLineOption faultDelay(u"fault-delay-ms"_s, u"Opóźnienie dla --fault=slow (domyślnie 5000)."_s,
                                        u"MS"_s);
    const QCommandLineOption requestTimeout(u"request-timeout"_s,
                                            u"Czas na nadejście całego żądania w sekundach, "
                                            u"od jego pierwszego bajtu (domyślnie 30)."_s,
                                            u"SEKUNDY"_s);
    const QCommandLineOption idleTimeout(u"idle-timeout"_s,
                                         u"Czas bezczynności połączenia w sekundach (domyślnie 60)."_s, u"SEKUNDY"_s);
    const QCommandLineOption maxConnections(u"max-connections"_s,
                                            u"Najwięcej otwartych połączeń (domyślnie 3/4 "
                                            u"limitu deskryptorów, najwyżej 4096)."_s,
                                            u"N"_s);
    const QCommandLineOption maxPerAddress(u"max-connections-per-address"_s,
                                           u"Najwięcej połączeń z jednego adresu "
                                           u"(domyślnie 1/4 powyższego, od 8 do 256)."_s,
                                           u"N"_s);
    const QCommandLineOption maxUnsent(u"max-unsent"_s,
                                       u"Niewysłane odpowiedzi jednego połączenia w bajtach, powyżej "
                                       u"których nie czyta ono dalszych żądań (domyślnie 262144)."_s,
                                       u"BAJTY"_s);
    const QCommandLineOption maxUnsentTotal(u"max-unsent-total"_s,
                                            u"Niewysłane odpowiedzi wszystkich połączeń w bajtach; "
                                            u"powyżej zamykane są największe zaległości (domyślnie 67108864)."_s,
                                            u"BAJTY"_s);
    const QCommandLineOption drainTimeout(u"drain-timeout"_s,
                                          u"Czas na odebranie odpowiedzi przez klienta w sekundach; "
                                          u"połączenie z niewysłanymi dłużej danymi jest zamykane (domyślnie 30)."_s,
                                          u"SEKUNDY"_s);
    const QCommandLineOption maxDigests(u"max-queued-digests"_s,
                                        u"Najwięcej logowań czekających na sprawdzenie hasła; ponad to odpowiedź "
                                        u"\"serwer zajęty\" (domyślnie 32)."_s,
                                        u"N"_s);
    const QCommandLineOption maxDigestsPerAddress(u"max-queued-digests-per-address"_s,
                                                  u"To samo dla jednego adresu, razem ze sprawdzanymi "
                                                  u"(domyślnie 2)."_s,
                                                  u"N"_s);
    const QCommandLineOption password(u"password"_s, u"Hasło dla create-tenant / set-password."_s, u"HASŁO"_s);
    const QCommandLineOption firstName(u"first-name"_s, u"Imię lokatora."_s, u"IMIĘ"_s);
    const QCommandLineOption lastName(u"last-name"_s, u"Nazwisko lokatora."_s, u"NAZWISKO"_s);
    const QCommandLineOption secondFirstName(u"second-first-name"_s, u"Imię drugiego współwłaściciela."_s, u"IMIĘ"_s);
    const QCommandLineOption secondLastName(u"second-last-name"_s, u"Nazwisko drugiego współwłaściciela."_s,
                                            u"NAZWISKO"_s);
    const QCommandLineOption street(u"street"_s, u"Ulica i numer lokalu."_s, u"ULICA"_s);
    const QCommandLineOption town(u"town"_s, u"Miejscowość lokalu."_s, u"MIEJSCOWOŚĆ"_s);
    const QCommandLineOption cooperative(u"cooperative"_s, u"Numer spółdzielni/wspólnoty (domyślnie 1)."_s, u"ID"_s);
    parser.addOptions({help,
                       port,
                       listen,
                       data,
                       cert,
                       key,
                       minVersion,
                       sessionMinutes,
                       clockOffset,
                       multiRef,
                       maxBody,
                       resetDemo,
                       fault,
                       faultDelay,
                       requestTimeout,
                       idleTimeout,
                       maxConnections,
                       maxPerAddress,
                       maxUnsent,
                       maxUnsentTotal,
                       drainTimeout,
                       maxDigests,
                       maxDigestsPerAddress,
                       password,
                       firstName,
                       lastName,
                       secondFirstName,
                       secondLastName,
                       street,
                       town,
                       cooperative});
    parser.addPositionalArgument(u"polecenie"_s, u"Polecenie operatora (patrz niżej); bez niego serwer startuje."_s,
                                 u"[polecenie [LOGIN]]"_s);

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (parser.isSet(help)) {
        ServerOptions helpOnly;
        helpOnly.command = Command::Help;
        helpOnly.helpText = parser.helpText() + QString::fromUtf16(kCommandHelp);
        return helpOnly;
    }

    ServerOptions o;
    o.dataDir = parser.isSet(data)
        ? parser.value(data)
        : QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(u"domvel-demo-server"_s);
    o.certificateFile = parser.value(cert);
    o.keyFile = parser.value(key);
    if (o.certificateFile.isEmpty() != o.keyFile.isEmpty())
        return failure(u"Opcje --cert i --key podaje się razem."_s);
    if (parser.isSet(port)) {
        bool ok = false;
        const uint value = parser.value(port).toUInt(&ok);
        if (!ok || value > 65535)
            return failure(u"Nieprawidłowy port: %1"_s.arg(parser.value(port)));
        o.port = static_cast<quint16>(value);
    }
    if (parser.isSet(listen) && !o.listenAddress.setAddress(parser.value(listen)))
        return failure(u"Nieprawidłowy adres: %1"_s.arg(parser.value(listen)));
    if (parser.isSet(minVersion)) {
        qsizetype suffix = 0;
        o.minimumVersion = QVersionNumber::fromString(parser.value(minVersion), &suffix);
        if (o.minimumVersion.isNull() || suffix != parser.value(minVersion).size())
            return failure(u"Nieprawidłowa wersja: %1"_s.arg(parser.value(minVersion)));
    }
    if (parser.isSet(sessionMinutes)) {
        const auto value = number(parser.value(sessionMinutes));
        if (!value || *value <= 0)
            return failure(u"Nieprawidłowy czas sesji: %1"_s.arg(parser.value(sessionMinutes)));
        o.sessionMinutes = *value;
    }
    if (parser.isSet(clockOffset)) {
        const auto value = number(parser.value(clockOffset));
        if (!value)
            return failure(u"Nieprawidłowe przesunięcie zegara: %1"_s.arg(parser.value(clockOffset)));
        o.clockOffsetMinutes = *value;
    }
    o.multiRef = parser.isSet(multiRef);
    if (parser.isSet(maxBody)) {
        bool ok = false;
        o.maxBodyBytes = parser.value(maxBody).toLongLong(&ok);
        if (!ok || o.maxBodyBytes < 1024)
            return failure(u"Nieprawidłowy limit żądania: %1"_s.arg(parser.value(maxBody)));
    }
    o.resetDemo = parser.isSet(resetDemo);
    if (parser.isSet(fault)) {
        const QString value = parser.value(fault);
        const QString kind = value.section(u':', 0, 0);
        o.faultOperation = value.section(u':', 1);
        if (kind == u"slow")
            o.fault = Fault::Slow;
        else if (kind == u"close-halfway")
            o.fault = Fault::CloseHalfway;
        else if (kind == u"http500")
            o.fault = Fault::Http500;
        else if (kind == u"malformed")
            o.fault = Fault::Malformed;
        else
            return failure(u"Nieznany rodzaj błędu: %1"_s.arg(kind));
    }
    if (parser.isSet(faultDelay)) {
        bool ok = false;
        o.faultDelayMs = parser.value(faultDelay).toInt(&ok);
        if (!ok || o.faultDelayMs < 0)
            return failure(u"Nieprawidłowe opóźnienie: %1"_s.arg(parser.value(faultDelay)));
    }
    const auto positive = [&](const QCommandLineOption &option, int &target) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        target = parser.value(option).toInt(&ok);
        return ok && target > 0;
    };
    if (!positive(requestTimeout, o.requestTimeoutSeconds))
        return failure(u"Nieprawidłowy czas żądania: %1"_s.arg(parser.value(requestTimeout)));
    if (!positive(idleTimeout, o.idleTimeoutSeconds))
        return failure(u"Nieprawidłowy czas bezczynności: %1"_s.arg(parser.value(idleTimeout)));
    if (!positive(maxConnections, o.maxConnections) || !positive(maxPerAddress, o.maxConnectionsPerAddress))
        return failure(u"Nieprawidłowy limit połączeń."_s);
    if (!positive(drainTimeout, o.drainTimeoutSeconds))
        return failure(u"Nieprawidłowy czas odbioru odpowiedzi: %1"_s.arg(parser.value(drainTimeout)));
    if (!positive(maxDigests, o.maxQueuedDigests) || !positive(maxDigestsPerAddress, o.maxQueuedDigestsPerAddress))
        return failure(u"Nieprawidłowy limit kolejki sprawdzania haseł."_s);
    const auto bytes = [&](const QCommandLineOption &option, qint64 &target) {
        if (!parser.isSet(option))
            return true;
        bool ok = false;
        target = parser.value(option).toLongLong(&ok);
        return ok && target >= 1024;
    };
    if (!bytes(maxUnsent, o.maxUnsentBytes) || !bytes(maxUnsentTotal, o.maxUnsentTotalBytes))
        return failure(u"Nieprawidłowy limit niewysłanych danych (najmniej 1024 bajty)."_s);

    if (parser.isSet(password))
        o.password = parser.value(password);
    o.firstName = parser.value(firstName);
    o.lastName = parser.value(lastName);
    o.secondFirstName = parser.value(secondFirstName);
    o.secondLastName = parser.value(secondLastName);
    o.street = parser.value(street);
    o.town = parser.value(town);
    if (parser.isSet(cooperative)) {
        bool ok = false;
        o.cooperativeId = parser.value(cooperative).toLongLong(&ok);
        if (!ok)
            return failure(u"Nieprawidłowy numer spółdzielni: %1"_s.arg(parser.value(cooperative)));
    }

    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty()) {
        const QString command = positional.first();
        const qsizetype expected = command == u"list-tenants" ? 1 : 2;
        if (command == u"list-tenants")
            o.command = Command::ListTenants;
        else if (command == u"create-tenant")
            o.command = Command::CreateTenant;
        else if (command == u"set-password")
            o.command = Command::SetPassword;
        else
            return failure(u"Nieznane polecenie: %1"_s.arg(command));
        if (positional.size() != expected) {
            return failure(expected == 1 ? u"Polecenie %1 nie przyjmuje argumentów."_s.arg(command)
                                         : u"Polecenie %1 wymaga jednego argumentu: LOGIN."_s.arg(command));
        }
        if (expected == 2)
            o.login = positional[1];
    }
    if (o.command == Command::CreateTenant
        && (o.firstName.isEmpty() || o.lastName.isEmpty() || o.street.isEmpty() || o.town.isEmpty()))
        return failure(u"create-tenant wymaga --first-name, --last-name, --street i --town."_s);
    return o;
}

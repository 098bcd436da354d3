// domvel-demo-server: the e-account service over HTTPS for demonstrations and
// the end-to-end tests, or an operator command on its database.

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "server/CertificateGenerator.h"
#include "server/DataFolder.h"
#include "server/DemoService.h"
#include "server/OperatorCommands.h"
#include "server/PasswordHash.h"
#include "server/ServerDatabase.h"
#include "server/ServerOptions.h"
#include "server/SoapEndpoint.h"
#include "server/SoapHttpServer.h"
#include "server/TerminationSignals.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

#include <cstdio>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// Raises the soft descriptor limit to the hard one and answers it: the
// connection caps are taken from it.
qint64 openFilesLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur == RLIM_INFINITY ? 1 << 20 : qint64(limit.rlim_cur);
}

int serve(const ServerOptions &options, QTextStream &out, QTextStream &err)
{
    QString note;
    const auto db = DataFolder::OpenDatabase(options, &note);
    if (!note.isEmpty())
        err << note << Qt::endl;

    if (options.certificateFile.isEmpty())
        CertificateGenerator::EnsureExists(options.CertificatePath(), options.KeyPath());
    const QSslConfiguration tls = SoapHttpServer::LoadTls(options.CertificatePath(), options.KeyPath());

    // Requests are served on this thread; their digests run on workers.
    DemoService service(*db, DemoService::Settings{options.minimumVersion, options.sessionMinutes, false});
    // Made now, not at the first unknown login.
    PasswordHash::DummyStored();
    SoapEndpoint endpoint(service,
                          options.multiRef ? SoapWriter::RecordForm::MultiReference : SoapWriter::RecordForm::Inline,
                          options.maxBodyBytes);
    SoapHttpServer::Settings settings{options.maxBodyBytes, options.fault, options.faultOperation,
                                      options.faultDelayMs};
    settings.requestTimeoutMs = options.requestTimeoutSeconds * 1000;
    settings.idleTimeoutMs = options.idleTimeoutSeconds * 1000;
    settings.maxUnsentBytes = options.maxUnsentBytes;
    settings.maxUnsentTotalBytes = options.maxUnsentTotalBytes;
    settings.drainTimeoutMs = options.drainTimeoutSeconds * 1000;
    settings.digests.maxQueued = options.maxQueuedDigests;
    settings.digests.maxPerClient = options.maxQueuedDigestsPerAddress;
    settings.limits = TlsListener::LimitsFor(openFilesLimit());
    if (options.maxConnections > 0)
        settings.limits.maxConnections = options.maxConnections;
    if (options.maxConnectionsPerAddress > 0)
        settings.limits.maxPerAddress = options.maxConnectionsPerAddress;
    else if (options.maxConnections > 0)
        settings.limits.maxPerAddress = TlsListener::LimitsFor(options.maxConnections * 4 / 3).maxPerAddress;
    SoapHttpServer server(endpoint, service, settings);
    const quint16 port = server.Listen(options.listenAddress, options.port, tls);
    const TerminationSignals stopOnSignal;
    out << "port: " << port << Qt::endl;
    out << "certificate: " << options.CertificatePath() << Qt::endl;
    out << "url: https://localhost:" << port << QLatin1StringView(kServicePath.data(), qsizetype(kServicePath.size()))
        << Qt::endl;
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // The data folder holds every tenant's data and password digests: nothing
    // the server or the operator's commands create is for other users.
    umask(077);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"domvel-demo-server"_s);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);

    std::optional<ServerOptions> options;
    try {
        options = ServerOptions::Parse(QCoreApplication::arguments());
    } catch (const AppError &error) {
        err << error.message() << Qt::endl;
        return 2;
    }
    if (options->command == ServerOptions::Command::Help) {
        out << options->helpText << Qt::endl;
        return 0;
    }
    if (options->clockOffsetMinutes != 0) {
        const double offsetDays = options->clockOffsetMinutes / (24.0 * 60.0);
        SetClock([offsetDays] { return DateTimeToValue(QDateTime::currentDateTime()) + offsetDays; });
    }
    try {
        if (options->command != ServerOptions::Command::Serve)
            return OperatorCommands::Run(*options, in, out, err);
        return serve(*options, out, err);
    } catch (const AppError &error) {
        err << error.message() << Qt::endl;
        return 1;
    }
}

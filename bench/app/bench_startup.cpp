// Process start of the client to its login dialog painted (offscreen, against
// the demo server: the version check and its TLS handshake included), next to
// a bare Qt program painting one empty dialog. Runs interleave, so both see
// the same machine. Usage: bench_startup [runs=20]
#include "bench/common/BenchFigure.h"
#include "testing/ServerProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

// Milliseconds from start to exit; nothing when the program failed or (for
// the client) ended before its login dialog was painted.
std::optional<double> runOnce(const QString &program, const QStringList &arguments, const QProcessEnvironment &env,
                              bool expectLogin)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer t;
    t.start();
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        std::fprintf(stderr, "%s failed:\n%s\n", qPrintable(program), p.readAllStandardError().constData());
        return std::nullopt;
    }
    const double ms = t.nsecsElapsed() / 1e6;
    if (expectLogin && !p.readAllStandardOutput().contains("login dialog painted")) {
        std::fprintf(stderr, "the client ended before its login dialog:\n%s\n", p.readAllStandardError().constData());
        return std::nullopt;
    }
    return ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;

    QTemporaryDir serverData;
    ServerProcess server;
    QString error;
    if (!server.Start(serverData.path(), {}, &error)) {
        std::fprintf(stderr, "demo server did not start: %s\n", qPrintable(error));
        return 1;
    }
    const QStringList clientArgs{QStringLiteral("localhost:%1").arg(server.port()), QStringLiteral("--ca-cert"),
                                 serverData.filePath(QStringLiteral("server-cert.pem"))};

    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("DOMVEL_NONINTERACTIVE"), QStringLiteral("1"));
    env.insert(QStringLiteral("DOMVEL_QUIT_AFTER_SHOW"), QStringLiteral("login"));

    const QString clientExe = QStringLiteral(DOMVEL_CLIENT_EXECUTABLE);
    const QString bareExe = QStringLiteral(DOMVEL_BARE_EXECUTABLE);
    // Warm the file cache.
    if (!runOnce(clientExe, clientArgs, env, true) || !runOnce(bareExe, {}, env, false))
        return 1;
    std::vector<double> client, bare;
    for (int i = 0; i < runs; ++i) {
        const auto c = runOnce(clientExe, clientArgs, env, true);
        const auto b = runOnce(bareExe, {}, env, false);
        if (!c || !b)
            return 1;
        client.push_back(*c);
        bare.push_back(*b);
    }
    const double c = median(client), b = median(bare);
    std::printf("start-up to the login dialog painted, median of %d runs (offscreen, demo server on loopback)\n", runs);
    std::printf("  client:      %7.1f ms  (version check over a new TLS connection included)\n", c);
    std::printf("  bare dialog: %7.1f ms\n  ratio:       %7.2f\n", b, c / b);
    PrintFigure("Start-up to the login dialog on screen: client / bare Qt dialog (ratio)",
                "%.0f ms / %.0f ms (%.2f)", c, b, c / b);
    return 0;
}

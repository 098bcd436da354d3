// Process start of the client to its login dialog painted (offscreen, against
// the demo server: the version check and its TLS handshake included), next to
// the floor: a plain Qt program that makes the same HTTPS POST and paints a
// two-field dialog. Wall time to the line each prints once its dialog is
// painted (what the user waits for) and to its exit; CPU time and peak RSS
// of the whole run. Runs interleave, so both see the same machine.
// Usage: bench_startup [runs=20]
#include "bench/common/BenchFigure.h"
#include "testing/ServerProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// One run of a program: wall time to its "painted" line and to its end; CPU
// time (user + system) and peak resident memory of the whole run, from the
// kernel's own accounting of the child.
struct RunCost
{
    double paintedMs = 0;
    double wallMs = 0;
    double cpuMs = 0;
    double peakRssMiB = 0;
};

std::optional<RunCost> runOnce(const QString &program, const QStringList &arguments, const QByteArray &paintedLine)
{
    std::vector<QByteArray> args{QFile::encodeName(program)};
    for (const QString &a : arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (pipe(out) != 0)
        return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return std::nullopt;
    }
    QByteArray output;
    RunCost cost;
    char buffer[4096];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
        output.append(buffer, n);
        if (cost.paintedMs == 0 && output.contains(paintedLine))
            cost.paintedMs = t.nsecsElapsed() / 1e6;
    }
    close(out[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return std::nullopt;
    cost.wallMs = t.nsecsElapsed() / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", qPrintable(program), status);
        return std::nullopt;
    }
    if (cost.paintedMs == 0) {
        std::fprintf(stderr, "%s ended before its dialog was painted\n", qPrintable(program));
        return std::nullopt;
    }
    auto ms = [](const timeval &v) { return v.tv_sec * 1e3 + v.tv_usec / 1e3; };
    cost.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    cost.peakRssMiB = usage.ru_maxrss / 1024.0;
    return cost;
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

    // The children inherit this environment.
    QTemporaryDir runtime;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("DOMVEL_NONINTERACTIVE", "1");
    qputenv("DOMVEL_QUIT_AFTER_SHOW", "login");

    const QString clientExe = QStringLiteral(DOMVEL_CLIENT_EXECUTABLE);
    const QString floorExe = QStringLiteral(DOMVEL_FLOOR_EXECUTABLE);
    const QStringList floorArgs{QStringLiteral("localhost:%1").arg(server.port()),
                                serverData.filePath(QStringLiteral("server-cert.pem"))};
    const QByteArray clientPainted = QByteArrayLiteral("login dialog painted\n");
    const QByteArray floorPainted = QByteArrayLiteral("dialog painted\n");
    // Warm the file cache.
    if (!runOnce(clientExe, clientArgs, clientPainted) || !runOnce(floorExe, floorArgs, floorPainted))
        return 1;
    std::vector<double> painted[2], wall[2], cpu[2], rss[2];
    for (int i = 0; i < runs; ++i) {
        const auto c = runOnce(clientExe, clientArgs, clientPainted);
        const auto f = runOnce(floorExe, floorArgs, floorPainted);
        if (!c || !f)
            return 1;
        for (const auto &[k, run] : {std::pair{0, *c}, std::pair{1, *f}}) {
            painted[k].push_back(run.paintedMs);
            wall[k].push_back(run.wallMs);
            cpu[k].push_back(run.cpuMs);
            rss[k].push_back(run.peakRssMiB);
        }
    }
    const double cp = median(painted[0]), fp = median(painted[1]);
    const double cw = median(wall[0]), fw = median(wall[1]);
    const double cc = median(cpu[0]), fc = median(cpu[1]);
    const double cr = median(rss[0]), fr = median(rss[1]);
    PrintLine("start-up to the login dialog painted, median of %d runs (offscreen, demo server on loopback)\n", runs);
    PrintLine("  floor: one HTTPS POST (trusting one CA file), then a two-field dialog painted\n");
    PrintLine("                    client     floor   ratio\n");
    PrintLine("  wall to painted %7.1f ms %6.1f ms %6.2f\n", cp, fp, cp / fp);
    PrintLine("  wall to exit    %7.1f ms %6.1f ms %6.2f\n", cw, fw, cw / fw);
    PrintLine("  CPU, whole run  %7.1f ms %6.1f ms %6.2f\n", cc, fc, cc / fc);
    PrintLine("  peak RSS       %6.1f MiB %5.1f MiB %5.2f\n", cr, fr, cr / fr);
    PrintFigure("Start-up to the login dialog painted: client / floor, wall (ratio)", "%.0f ms / %.0f ms (%.2f)", cp,
                fp, cp / fp);
    PrintFigure("Start-up to the program's exit: client / floor, wall (ratio)", "%.0f ms / %.0f ms (%.2f)", cw, fw,
                cw / fw);
    PrintFigure("Start-up CPU time, whole run: client / floor (ratio)", "%.0f ms / %.0f ms (%.2f)", cc, fc, cc / fc);
    PrintFigure("Start-up peak RSS: client / floor (ratio)", "%.1f MiB / %.1f MiB (%.2f)", cr, fr, cr / fr);
    return 0;
}

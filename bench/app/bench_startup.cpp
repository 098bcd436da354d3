// Process start of the client to its main window shown (offscreen), next to a
// bare Qt program showing one empty window. Usage: bench_startup [runs]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double runOnce(const QString &program, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer t;
    t.start();
    p.start(program, {});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
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
    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("DOMVEL_NONINTERACTIVE"), QStringLiteral("1"));
    env.insert(QStringLiteral("DOMVEL_QUIT_AFTER_SHOW"), QStringLiteral("1"));

    std::vector<double> client, bare;
    runOnce(QStringLiteral(DOMVEL_CLIENT_EXECUTABLE), env);  // warm the file cache
    runOnce(QStringLiteral(DOMVEL_BARE_EXECUTABLE), env);
    for (int i = 0; i < runs; ++i) {  // interleaved, so both see the same machine
        client.push_back(runOnce(QStringLiteral(DOMVEL_CLIENT_EXECUTABLE), env));
        bare.push_back(runOnce(QStringLiteral(DOMVEL_BARE_EXECUTABLE), env));
    }
    if (std::count(client.begin(), client.end(), -1.0) || std::count(bare.begin(), bare.end(), -1.0))
        return 1;
    const double c = median(client), b = median(bare);
    std::printf("start-up to main window shown, median of %d runs (offscreen)\n", runs);
    std::printf("  client:      %7.1f ms\n  bare window: %7.1f ms\n  ratio:       %7.2f\n", c, b, c / b);
    return 0;
}

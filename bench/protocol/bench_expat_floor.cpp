// The floor program: times expat's raw tokenization (namespaces on, nothing
// decoded) of each given file, median of the rounds.
//   bench_expat_floor [--rounds N] FILE...

#include "ExpatFloor.h"
#include "bench/common/BenchFigure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList files = app.arguments().mid(1);
    int rounds = 20;
    if (files.size() >= 2 && files.front() == u"--rounds") {
        rounds = std::max(1, files.at(1).toInt());
        files = files.mid(2);
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "usage: bench_expat_floor [--rounds N] FILE...\n");
        return 2;
    }
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(name));
            return 2;
        }
        const QByteArray bytes = file.readAll();
        std::vector<double> times;
        long long elements = 0;
        for (int i = 0; i < rounds; ++i) {
            QElapsedTimer clock;
            clock.start();
            elements = ExpatTokenize(bytes);
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        PrintLine("%s: %.2f MB, %lld elements, %.2f ms (%.0f MB/s)\n", qPrintable(name), bytes.size() / 1e6, elements,
                  median, bytes.size() / median / 1e3);
    }
    return 0;
}

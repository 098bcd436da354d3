#include "testing/ServerProcess.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// Starts the real client the way a user does and watches it from outside: the
// single-instance guard, and the ends of the program that need no input. A
// client that reached the demo server waits in its login dialog, so it keeps
// running until it is killed.
class tst_StartUp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void secondStartIsRefused();
    void startAfterKill();
    void otherUserRunsOwnCopy();
    void raceOfTwenty();
    void commandLine_data();
    void commandLine();
    void endsWithoutAService_data();
    void endsWithoutAService();

private:
    // Without `args`, the client is pointed at the demo server. Without a
    // display: no QT_QPA_PLATFORM, DISPLAY or WAYLAND_DISPLAY, as over ssh.
    std::unique_ptr<QProcess> start(const QString &runtimeDir, const QStringList &args = {}, bool display = true);
    bool keepsRunning(QProcess &p);

    QTemporaryDir m_serverData;
    ServerProcess m_server;

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

void tst_StartUp::initTestCase()
{
    QVERIFY(m_serverData.isValid());
    QString error;
    QVERIFY2(m_server.Start(m_serverData.path(), {}, &error), qPrintable(error));
}

std::unique_ptr<QProcess> tst_StartUp::start(const QString &runtimeDir, const QStringList &givenArgs, bool display)
{
    const QStringList args = !givenArgs.isEmpty()
        ? givenArgs
        : QStringList{QStringLiteral("localhost:%1").arg(m_server.port()), QStringLiteral("--ca-cert"),
                      m_serverData.filePath(QStringLiteral("server-cert.pem"))};
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("DOMVEL_NONINTERACTIVE"), QStringLiteral("1"));
    if (!display) {
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            env.remove(QString::fromLatin1(name));
    }
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(DOMVEL_CLIENT_EXECUTABLE), args);
    return p;
}

// The client is up and stays up (it has nothing to end it without input).
bool tst_StartUp::keepsRunning(QProcess &p)
{
    if (!p.waitForStarted(10000))
        return false;
    return !p.waitForFinished(1500) && p.state() == QProcess::Running;
}

void tst_StartUp::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
}

void tst_StartUp::cleanup()
{
    for (auto &p : m_processes) {
        p->kill();
        p->waitForFinished(5000);
    }
    m_processes.clear();
}

void tst_StartUp::secondStartIsRefused()
{
    m_processes.push_back(start(m_runtime->path()));
    QProcess &first = *m_processes.back();
    QVERIFY2(keepsRunning(first), first.readAllStandardError().constData());

    // Another server address plays no part in the guard.
    auto second = start(m_runtime->path(), {QStringLiteral("example.org:9443")});
    QVERIFY(second->waitForFinished(15000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(second->readAllStandardError().contains("Program może być uruchomiony tylko jeden raz!"),
             "the second start shows the already-running notice");
    QCOMPARE(first.state(), QProcess::Running);
}

void tst_StartUp::startAfterKill()
{
    m_processes.push_back(start(m_runtime->path()));
    QVERIFY(keepsRunning(*m_processes.back()));
    m_processes.back()->kill(); // SIGKILL: no chance to clean up
    QVERIFY(m_processes.back()->waitForFinished(5000));

    m_processes.push_back(start(m_runtime->path()));
    QVERIFY2(keepsRunning(*m_processes.back()), "a start after a killed copy must succeed");
}

void tst_StartUp::otherUserRunsOwnCopy()
{
    // Each user has a runtime directory of his own.
    QTemporaryDir otherUser;
    m_processes.push_back(start(m_runtime->path()));
    QVERIFY(keepsRunning(*m_processes.back()));
    m_processes.push_back(start(otherUser.path()));
    QVERIFY(keepsRunning(*m_processes.back()));
}

void tst_StartUp::raceOfTwenty()
{
    for (int i = 0; i < 20; ++i)
        m_processes.push_back(start(m_runtime->path()));
    // All but one end on their own; wait for them without blocking on the survivor.
    const auto finished = [this] {
        int n = 0;
        for (auto &p : m_processes)
            n += p->state() == QProcess::NotRunning ? 1 : 0;
        return n;
    };
    QTRY_VERIFY_WITH_TIMEOUT(finished() >= 19, 30000);
    QTest::qWait(500);
    int refused = 0;
    for (auto &p : m_processes) {
        if (p->state() != QProcess::NotRunning)
            continue;
        QCOMPARE(p->exitCode(), 0);
        QVERIFY(p->readAllStandardError().contains("Program może być uruchomiony tylko jeden raz!"));
        ++refused;
    }
    QCOMPARE(refused, 19);
    int running = 0;
    for (auto &p : m_processes)
        running += p->state() == QProcess::Running ? 1 : 0;
    QCOMPARE(running, 1);
}

void tst_StartUp::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("display");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("stdoutPart");
    QTest::addColumn<QByteArray>("stderrPart");
    const QStringList help{QStringLiteral("--help")};
    const QStringList version{QStringLiteral("--version")};
    const QStringList nonsense{QStringLiteral("--nonsense")};
    const QByteArray usage("Nieznana opcja");
    for (bool display : {true, false}) {
        const char *where = display ? "" : ", no display";
        QTest::addRow("--help%s", where) << help << display << 0 << QByteArray("--ca-cert") << QByteArray();
        QTest::addRow("--version%s", where) << version << display << 0 << QByteArray("1.3.0.19") << QByteArray();
        QTest::addRow("unknown option%s", where) << nonsense << display << 2 << QByteArray() << usage;
    }
    // A start that cannot show a window says why and fails, not aborts.
    QTest::newRow("a start, no display") << QStringList{QStringLiteral("localhost:1")} << false << 1 << QByteArray()
                                         << QByteArray("Brak ekranu");
}

void tst_StartUp::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(bool, display);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, stdoutPart);
    QFETCH(QByteArray, stderrPart);
    auto p = start(m_runtime->path(), args, display);
    QVERIFY(p->waitForFinished(15000));
    const QByteArray errors = p->readAllStandardError();
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QVERIFY2(p->exitCode() == exitCode, errors.constData());
    QVERIFY(p->readAllStandardOutput().contains(stdoutPart));
    QVERIFY2(errors.contains(stderrPart), errors.constData());
}

// Each of these ends the program after its message: the application is asked to
// terminate, and the process really ends, with exit code 0.
void tst_StartUp::endsWithoutAService_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArrayList>("messages");
    const QByteArray unavailable("Serwis, niestety, nie jest dostępny.");
    const QString certificate = m_serverData.filePath(QStringLiteral("server-cert.pem"));
    QTest::newRow("nothing listens") << QStringList{QStringLiteral("localhost:1")} << QByteArrayList{unavailable};
    QTest::newRow("certificate not trusted")
        << QStringList{QStringLiteral("localhost:%1").arg(m_server.port())} << QByteArrayList{unavailable};
    QTest::newRow("certificate file missing")
        << QStringList{QStringLiteral("localhost:%1").arg(m_server.port()), QStringLiteral("--ca-cert"),
                       certificate + QStringLiteral(".missing")}
        << QByteArrayList{QByteArray("Nie można odczytać pliku certyfikatu"), unavailable};
}

void tst_StartUp::endsWithoutAService()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArrayList, messages);
    auto p = start(m_runtime->path(), args);
    QVERIFY(p->waitForFinished(30000));
    QCOMPARE(p->exitStatus(), QProcess::NormalExit);
    QCOMPARE(p->exitCode(), 0);
    const QByteArray errors = p->readAllStandardError();
    qsizetype from = 0;
    for (const QByteArray &message : messages) {
        from = errors.indexOf(message, from);
        QVERIFY2(from >= 0, errors.constData());
    }
}

QTEST_GUILESS_MAIN(tst_StartUp)
#include "tst_startup.moc"

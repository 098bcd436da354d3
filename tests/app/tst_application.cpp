#include "testing/MessageRecorder.h"

#include "common/Errors.h"
#include "forms/TApplication.h"

#include <QTest>
#include <QTimer>

namespace {

// Throws from its event handler, as a refused input does.
class Thrower : public QObject
{
public:
    int kind = 0;
    bool customEventSeen = false;

protected:
    void customEvent(QEvent *) override
    {
        customEventSeen = true;
        if (kind == 0)
            throw AppError(QStringLiteral("Pole jest wymagane."));
        throw SilentAbort();
    }
};

} // namespace

class tst_Application : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void errorsStopAtTheEventBoundary_data();
    void errorsStopAtTheEventBoundary();
};

void tst_Application::errorsStopAtTheEventBoundary_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("error shown") << 0 << QStringList{QStringLiteral("Pole jest wymagane.")};
    QTest::newRow("silent abort shows nothing") << 1 << QStringList{};
}

void tst_Application::errorsStopAtTheEventBoundary()
{
    QFETCH(int, kind);
    QFETCH(QStringList, shown);
    MessageRecorder recorder;
    Thrower thrower;
    thrower.kind = kind;
    QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
    bool loopGoesOn = false;
    QTimer::singleShot(0, [&] { loopGoesOn = true; });
    QTRY_VERIFY(loopGoesOn && thrower.customEventSeen);
    QCOMPARE(recorder.texts(), shown);
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    tst_Application test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_application.moc"

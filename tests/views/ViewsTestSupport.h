#pragma once

// Shared by the view tests: the program's application object on an offscreen
// screen of a known size, an active session with a fake service behind the
// call wrappers, and a driver for modal windows.

#include "app/TApplication.h"
#include "service/CredentialEncoding.h"
#include "service/ServiceAccess.h"
#include "service/TU_WEBServiceData.h"
#include "service/TU_WEBServiceDokData.h"
#include "service/TU_WEBServiceKsgData.h"
#include "service/TU_WEBServiceSession.h"
#include "tests/session/FakeService.h"
#include "tests/session/SessionTestSupport.h"
#include "tests/support/MessageRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// The offscreen screen of the tests (see the fixture the main installs).
inline constexpr int kTestScreenWidth = 1600;
inline constexpr int kTestScreenHeight = 1000;

// An active session whose calls go to a fake service; messages are recorded.
// Everything is undone when it goes.
class ServiceFixture
{
public:
    ServiceFixture()
        : clock(43983.5)
    {
        gU_WEBServiceSession.BeginSession(SampleSessionBegin(), EncodeCredential(QStringLiteral("jan.nowak")),
                                          EncodeCredential(QStringLiteral("Tajne123")));
        gU_WEBServiceKsgData.Clear();
        gU_WEBServiceDokData.Clear();
        SetServiceProxy(&service);
    }
    ~ServiceFixture()
    {
        SetServiceProxy(nullptr);
        gU_WEBServiceSession.Clear();
        gU_WEBServiceKsgData.Clear();
        gU_WEBServiceDokData.Clear();
    }
    ServiceFixture(const ServiceFixture &) = delete;
    ServiceFixture &operator=(const ServiceFixture &) = delete;

    // The calls of one operation, in order.
    QList<FakeService::Call> callsOf(const QString &operation) const
    {
        QList<FakeService::Call> out;
        for (const FakeService::Call &call : service.calls) {
            if (call.operation == operation)
                out << call;
        }
        return out;
    }

    ManualClock clock;
    FakeService service;
    MessageRecorder messages;
};

// Runs `action` on each modal window as it is shown, outermost first, while
// `start` runs (and blocks in exec). Each action gets the window and its depth
// (0 the first modal). Windows an action leaves open are closed after a few
// seconds, so a failing test ends instead of hanging; polling is bounded.
// Returns the object names of the modal windows seen, in order.
inline QStringList DriveModals(const std::function<void()> &start,
                               const std::function<void(QWidget *modal, int depth)> &action)
{
    QStringList seen;
    QObject context;
    QList<QPointer<QWidget>> handled;
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, &context, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (elapsed.elapsed() > 8000) {
            // Something hangs: close whatever is open, innermost first.
            if (modal)
                modal->close();
            return;
        }
        if (!modal || !modal->isVisible())
            return;
        for (const QPointer<QWidget> &h : handled) {
            if (h == modal)
                return;
        }
        handled << QPointer<QWidget>(modal);
        seen << modal->objectName();
        const int depth = int(handled.size()) - 1;
        // The action may open a nested modal window; run it outside this slot.
        QTimer::singleShot(0, &context, [modal = QPointer<QWidget>(modal), depth, &action] {
            if (modal)
                action(modal, depth);
        });
    });
    poll.start();
    start();
    poll.stop();
    return seen;
}

// A message request seen by the recorder, as "caption|text".
inline QString MessageLine(const MessageRequest &m)
{
    return m.caption + u'|' + m.text;
}

#define DOMVEL_VIEWS_TEST_MAIN(TestObject)                                                                   \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        if (qgetenv("QT_QPA_PLATFORM") == "offscreen")                                                      \
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" DOMVEL_FIXTURES "/views/offscreen_screen.json"); \
        TApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }

#pragma once

// Shared by the view tests: the program's application object on an offscreen
// screen of a known size, an active session with a fake service behind the
// call wrappers, and a driver for modal windows.

#include "account/Account.h"
#include "forms/TApplication.h"
#include "protocol/CredentialEncoding.h"
#include "service/AccountService.h"
#include "testing/FakeService.h"
#include "testing/MessageRecorder.h"
#include "testing/ModalDialogs.h"
#include "testing/SessionTestSupport.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// The offscreen screen of the tests (see the fixture the main installs).
inline constexpr int kTestScreenWidth = 1600;
inline constexpr int kTestScreenHeight = 1000;

// An account with an active session whose calls go to a fake service;
// messages are recorded. Everything goes with it.
class ServiceFixture
{
public:
    ServiceFixture() : clock(43983.5)
    {
        account.Session.BeginSession(SampleSessionBegin(), EncodeCredential(QStringLiteral("jan.nowak")),
                                     EncodeCredential(QStringLiteral("Tajne123")));
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
    Account account;
    AccountService access{account, &service};
    MessageRecorder messages;
};

// The pixels a grid shows where its lines may be: between rows `row` and
// `row + 1` (in the middle of `column`), and right of `column` (in the middle
// of `row`).
struct GridLinePixels
{
    QColor betweenRows;
    QColor rightOfColumn;
};

inline GridLinePixels GridLinePixelsAt(QTableView *grid, int row, int column)
{
    const QImage image = grid->viewport()->grab().toImage();
    const int x = grid->columnViewportPosition(column) + grid->columnWidth(column) / 2;
    const int y = grid->rowViewportPosition(row) + grid->rowHeight(row) / 2;
    return {image.pixelColor(x, grid->rowViewportPosition(row + 1) - 1),
            image.pixelColor(grid->columnViewportPosition(column + 1) - 1, y)};
}

// A message request seen by the recorder, as "caption|text".
inline QString MessageLine(const MessageRequest &m)
{
    return m.caption + u'|' + m.text;
}

#define DOMVEL_VIEWS_TEST_MAIN(TestObject)                                                                             \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        if (qgetenv("QT_QPA_PLATFORM") == "offscreen")                                                                 \
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" DOMVEL_FIXTURES "/views/offscreen_screen.json");        \
        TApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&tc, argc, argv);                                                                          \
    }

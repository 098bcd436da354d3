#include "account/Account.h"
#include "app/ProgramAccount.h"
#include "testing/AppTestSupport.h"
#include "testing/FakeService.h"
#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceSession.h"
#include "app/SingleInstanceGuard.h"
#include "app/StartUp.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/U_modules.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "common/Errors.h"
#include "controls/TEditNew.h"
#include "controls/TWBitBtn.h"
#include "forms/TApplication.h"
#include "reports/TPrn_InfoRozrZasob.h"
#include "reports/TPrn_Preview.h"
#include "service/ServiceAccess.h"
#include "testing/MessageRecorder.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <memory>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

// The program's start-up run in this process, as main runs it, over a fake
// service: what ends it, and what it leaves behind.
class tst_RunProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void lockHeldUntilTheProcessEnds();
    void closeButtonEndsTheProgram();
    void previewBuiltOnFirstUse();
    void errorEscapingWindowCreation_data();
    void errorEscapingWindowCreation();

private:
    // Runs the program; `hook` sees the main window before the message loop.
    int run(const std::function<void(TForm_ZOKA_WSClient_Main *)> &hook);

    std::unique_ptr<QTemporaryDir> m_runtime;
    std::unique_ptr<FakeService> m_service;
    std::unique_ptr<MessageRecorder> m_messages;
};

void tst_RunProgram::initTestCase()
{
    // Messages go to the recorder, never to real boxes.
    qputenv("DOMVEL_NONINTERACTIVE", "1");
}

void tst_RunProgram::init()
{
    // The lock outlives a run: each run gets a user of its own.
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    m_service = std::make_unique<FakeService>();
    m_service->sessionBegin = SampleSessionBegin();
    m_messages = std::make_unique<MessageRecorder>();
}

void tst_RunProgram::cleanup()
{
    SetWindowsCreatedHook({});
    m_messages.reset();
    m_service.reset();
    // The program runs over its one account, as main runs it.
    ProgramAccount() = Account{};
}

int tst_RunProgram::run(const std::function<void(TForm_ZOKA_WSClient_Main *)> &hook)
{
    SetWindowsCreatedHook([this, hook](QWidget *mainWindow) {
        // The fake service replaces the connection before the first activation uses it.
        auto *window = qobject_cast<TForm_ZOKA_WSClient_Main *>(mainWindow);
        window->Service().SetService(m_service.get());
        hook(window);
    });
    return RunProgram(*qApp, {u"domvel-e-vadiv"_s});
}

// A program still closing keeps refusing new starts: the lock is held until
// the process ends, not only until the start-up returns.
void tst_RunProgram::lockHeldUntilTheProcessEnds()
{
    const int exitCode = run([](TForm_ZOKA_WSClient_Main *) { QTimer::singleShot(0, qApp, &QCoreApplication::quit); });
    QCOMPARE(exitCode, 0);
    const SingleInstanceGuard secondStart(ModuleMutexName(MODULE_SM_WEB));
    QVERIFY(!secondStart.LockPath().isEmpty());
    QVERIFY2(secondStart.AlreadyRunning(), "a start after the start-up returned, before the process ended");
}

// The window system's close button on the main window: the settlements
// reports are destroyed with the close, and the program ends with 0.
void tst_RunProgram::closeButtonEndsTheProgram()
{
    int reportsBefore = 0;
    int polls = 0;
    bool reportsDestroyed = false;
    bool loggedIn = false;
    QObject driver; // ends the polling with the test
    const int exitCode = run([&](TForm_ZOKA_WSClient_Main *window) {
        const auto reportsHeld = [window] {
            int held = 0;
            for (int i = 0; i < TFrame_InfoRozrZasob::kTabCount; ++i)
                held += window->Frame_InfoRozrZasob1()->Table(i)->Prn_InfoRozrZasob() != nullptr;
            return held;
        };
        reportsBefore = reportsHeld();
        WhenModal<TForm_LoginWEB>(&driver, [&](TForm_LoginWEB *dialog) {
            TypeInto(dialog->Ed_Login(), u"jan"_s);
            TypeInto(dialog->Ed_Haslo(), u"Haslo123"_s);
            ClickButton(dialog->BtnOK());
        });
        // Once signed in, the user closes the window.
        auto *poll = new QTimer(&driver);
        QObject::connect(poll, &QTimer::timeout, window, [&, window, poll, reportsHeld] {
            // Signed in once the session is active and the header shows it
            // (the header follows the dialog's close); bounded at about 10 s.
            const bool headerShown
                = window->findChild<QLabel *>(u"Lab_Firma"_s)->text() == u"Spółdzielnia Mieszkaniowa:"_s;
            if ((QApplication::activeModalWidget() || window->AccountData().Session.State != ssActive || !headerShown)
                && ++polls < 500)
                return;
            poll->stop();
            loggedIn = window->findChild<QLabel *>(u"Lab_Firma"_s)->text() == u"Spółdzielnia Mieszkaniowa:"_s;
            window->windowHandle()->close();
            reportsDestroyed = reportsHeld() == 0;
        });
        poll->start(20);
    });

    QCOMPARE(exitCode, 0);
    QVERIFY(loggedIn);
    QCOMPARE(reportsBefore, 5);
    QVERIFY2(reportsDestroyed, "the close destroys the five reports");
    QCOMPARE(m_messages->texts(), QStringList{u"Pomyślnie zalogowano się do serwisu."_s});
    // Closing does not log out.
    QCOMPARE(m_service->calls.last().operation, u"ZOKA_WS_CzSessionBegin"_s);
}

// The preview window is not built at start-up, but on the first preview;
// it is one window for the run and is gone with the run.
void tst_RunProgram::previewBuiltOnFirstUse()
{
    const auto previewWindows = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.cbegin(), windows.cend(),
                             [](QWidget *w) { return qobject_cast<TPrn_Preview *>(w) != nullptr; });
    };
    qsizetype atStart = -1;
    qsizetype afterUse = -1;
    bool sameWindow = false;
    const int exitCode = run([&](TForm_ZOKA_WSClient_Main *) {
        atStart = previewWindows();
        TPrn_Preview *first = Prn_Preview();
        sameWindow = first && Prn_Preview() == first;
        afterUse = previewWindows();
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    QCOMPARE(exitCode, 0);
    QCOMPARE(atStart, 0);
    QVERIFY(sameWindow);
    QCOMPARE(afterUse, 1);
    QCOMPARE(Prn_Preview(), nullptr);
    QCOMPARE(previewWindows(), 0);
}

void tst_RunProgram::errorEscapingWindowCreation_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("shown");
    QTest::newRow("the program's error") << 0 << u"Nie można utworzyć okna głównego."_s;
    QTest::newRow("any other thrown object") << 1 << QString();
    QTest::newRow("shown by the outer display") << 2 << u"Nie można utworzyć okna głównego."_s;
}

namespace {
// An event handler that fails, as a window's may while it is first shown.
class FailingHandler : public QObject
{
protected:
    void customEvent(QEvent *) override { throw AppError(u"Nie można utworzyć okna głównego."_s); }
};
} // namespace

// An error escaping the creation of the windows, or one that the outer error
// display shows before the message loop runs, is shown, and the program ends
// with the start-up's failure status.
void tst_RunProgram::errorEscapingWindowCreation()
{
    QFETCH(int, kind);
    QFETCH(QString, shown);
    const int exitCode = run([kind](TForm_ZOKA_WSClient_Main *) {
        if (kind == 0)
            throw AppError(u"Nie można utworzyć okna głównego."_s);
        if (kind == 2) {
            FailingHandler handler;
            QEvent event(QEvent::User);
            QCoreApplication::sendEvent(&handler, &event);
            return;
        }
        throw 42;
    });
    QCOMPARE(exitCode, kExitStartUpFailed);
    QCOMPARE(m_messages->texts(), QStringList{shown});
    QCOMPARE(m_messages->messages.first().icon, MessageIcon::Error);
    QCOMPARE(m_messages->messages.first().caption, u"Domvel-E-Vadiv"_s);
    QVERIFY(m_service->calls.isEmpty());
    // Nothing of the run is left on screen.
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    tst_RunProgram test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_runprogram.moc"

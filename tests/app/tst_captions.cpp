#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/FakeService.h"

#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "app/StartUp.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "app/dialogs/TForm_YearForShowChange.h"
#include "forms/TApplication.h"
#include "reports/TPrn_Preview.h"
#include "service/ServiceAccess.h"
#include "testing/MessageRecorder.h"
#include "views/TForm_KartMca.h"
#include "views/TForm_NalCzynszDtl.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// The caption the window system shows for `window` (its _NET_WM_NAME), read
// back from the X server; empty when it cannot be read.
QString ShownCaption(QWidget *window)
{
    QProcess xprop;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
    xprop.setProcessEnvironment(env);
    xprop.start(u"xprop"_s, {u"-id"_s, QString::number(window->winId()), u"_NET_WM_NAME"_s});
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0)
        return {};
    // _NET_WM_NAME(UTF8_STRING) = "caption"
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch m = QRegularExpression(uR"re(= "(.*)"$)re"_s).match(out);
    return m.hasMatch() ? m.captured(1).replace(u"\\\""_s, u"\""_s) : QString();
}

} // namespace

// The window captions as the window system shows them, after the program's
// start-up has named the application: exactly the windows' own captions, with
// nothing appended. Runs on a virtual X server (xvfb-run), as only a real
// window system composes the caption it shows.
class tst_Captions : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void initTestCase();
    void captionsAsGiven();

private:
    QTemporaryDir m_runtime;
    FakeService m_service;
    MessageRecorder m_messages;
    QStringList m_mainWindowCaptions;
};

void tst_Captions::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb")
        QSKIP("needs an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
    if (QStandardPaths::findExecutable(u"xprop"_s).isEmpty())
        QSKIP("needs xprop (x11-utils)");
    qputenv("DOMVEL_NONINTERACTIVE", "1");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    // The start-up as the program runs it, ended once its windows are up.
    SetWindowsCreatedHook([this](QWidget *mainWindow) {
        qobject_cast<TForm_ZOKA_WSClient_Main *>(mainWindow)->Service().SetService(&m_service);
        QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
        m_mainWindowCaptions = {mainWindow->windowTitle(), ShownCaption(mainWindow)};
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    QCOMPARE(RunProgram(*qApp, {u"domvel-e-vadiv"_s}), 0);
    SetWindowsCreatedHook({});
}

void tst_Captions::captionsAsGiven()
{
    QCOMPARE(m_mainWindowCaptions,
             (QStringList{u"Internetowy serwis użytkownika Domvel-E-Vadiv"_s,
                          u"Internetowy serwis użytkownika Domvel-E-Vadiv"_s}));

    TU_WEBServiceKsgData ledger;
    ledger.KsgNumber = 1;
    ledger.KsgStrona = {0};
    ledger.KsgTypDok = {1};
    ledger.KsgID_Dok_Master = {7};
    ledger.KsgDataOperacji = {43900.0};
    ledger.KsgDataOperRozrach = {43910.0};
    ledger.KsgValue = {10.0};
    ledger.KsgTrescOper = {u"Czynsz"_s};
    ledger.KsgNrDokMaster = {u"N/1"_s};
    TU_WEBServiceDokData details;
    details.DataNalFrom = 43891.0;
    details.DataNalTo = 43921.0;
    int shownYear = 2020;

    std::vector<std::pair<std::unique_ptr<QWidget>, QString>> windows;
    windows.emplace_back(std::make_unique<TForm_KartMca>(2020, 3, 0, nullptr, m_access, ledger, AccountState{}),
                         u"Kartoteka miesięczna"_s);
    windows.emplace_back(std::make_unique<TForm_NalCzynszDtl>(100, 100, 20, details, m_account.Data, m_account.Session),
                         u"Szczegóły naliczenia obciążenia"_s);
    windows.emplace_back(std::make_unique<TPrn_Preview>(), u"Podgląd wydruku"_s);
    windows.emplace_back(std::make_unique<TForm_LoginWEB>(nullptr, lmRelogin, m_access), u"Odnowienie sesji serwisu"_s);
    windows.emplace_back(std::make_unique<TForm_LoginWEB>(nullptr, lmChangePassword, m_access),
                         u"Zmiana hasła dostępu do serwisu"_s);
    windows.emplace_back(std::make_unique<TForm_LoginWEB>(nullptr, lmLogin, m_access),
                         u"Logowania użytkownika do serwisu Domvel-E-Vadiv"_s);
    windows.emplace_back(
        std::make_unique<TForm_YearForShowChange>(nullptr, m_access, shownYear, 2020, 2010, std::function<void()>{}),
        u"Zmiana roku rozrachunków"_s);
    for (auto &[window, caption] : windows) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(ShownCaption(window.get()), caption);
        window->hide();
    }
}

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    tst_Captions test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_captions.moc"

#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/AppTestSupport.h"
#include "testing/FakeService.h"
#include "testing/SessionTestSupport.h"

#include "account/CsvTable.h"
#include "account/DisplayTexts.h"
#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceSession.h"
#include "app/TForm_ZOKA_WSClient_Main.h"
#include "app/dialogs/TForm_LoginWEB.h"
#include "controls/TWSpeedButton.h"
#include "protocol/CredentialEncoding.h"
#include "service/ServiceAccess.h"
#include "views/SessionStrip.h"
#include "views/SpreadsheetExport.h"
#include "views/TForm_YearChart.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const double kLoginTime = DateToValue(QDate(2020, 6, 15)) + 0.5;

// The amount a label shows, as a number.
double Shown(const QLabel *label)
{
    return ParseCsvAmount(label->text()).value_or(-999999);
}

} // namespace

// The main window's strip (the account at a glance, the session's time left),
// the renewal notice, and the chart and spreadsheet export of the panel.
class tst_MainWindowOverview : public QObject
{
    Q_OBJECT

    // A fresh account per test, and the service calls into it.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    void init();
    void cleanup();

    void stripKeepsTheCurrentYear();
    void countdownAndNotice();
    void noticeRenewsThroughTheRenewalDialog();
    void spreadsheetOfTheShownTable();
    void chartOfTheShownTable();

private:
    void beginSession(const TRemSessionBeginData &answer);
    QLabel *label(const QString &name) const { return m_window->findChild<QLabel *>(name); }

    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<FakeService> m_service;
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<TForm_ZOKA_WSClient_Main> m_window;
};

void tst_MainWindowOverview::init()
{
    m_clock = std::make_unique<ManualClock>(kLoginTime);
    m_service = std::make_unique<FakeService>();
    m_messages = std::make_unique<MessageRecorder>();
    m_account = Account{};
    // Not shown: no opening sequence runs, the test drives the window.
    m_window = std::make_unique<TForm_ZOKA_WSClient_Main>(m_account);
    m_window->SessionTimer()->stop();
    m_window->Service().SetService(m_service.get());
}

void tst_MainWindowOverview::cleanup()
{
    m_window.reset();
    m_access.SetService(nullptr);
    SetSpreadsheetFileChooser({});
    m_messages.reset();
    m_service.reset();
    m_clock.reset();
    m_account = Account{};
}

void tst_MainWindowOverview::beginSession(const TRemSessionBeginData &answer)
{
    m_account.Session.BeginSession(answer, EncodeCredential(u"jan"_s), EncodeCredential(u"Haslo123"_s));
    m_account.Data.LoadFrom(answer);
    m_window->ShowYearData();
    m_window->ShowBalanceSummary();
    m_window->UpdateSessionTime();
}

void tst_MainWindowOverview::stripKeepsTheCurrentYear()
{
    QCOMPARE(label(u"Lab_Suma"_s)->text(), QString());
    beginSession(SampleSessionBegin());
    // Rents: slots 0 to 6 (open in June) at -10 each; water offered, no figures.
    QCOMPARE(label(u"Lab_Suma"_s)->text(), u"Do zapłaty: 70,00 zł"_s);
    QCOMPARE(label(u"Lab_Suma"_s)->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));
    QCOMPARE(label(u"Lab_Stan"_s)->text(), u"Stan na "_s + ShortDateText(DateToValue(QDate(2020, 6, 1))) + u':');
    QVERIFY(label(u"Lab_Kategorie"_s)->text().startsWith(u"czynsze: -70,00 zł"_s));

    // Another year on the tables: the strip still tells the current year.
    TRemYearRozrachGetData past;
    past.RetCode = 0;
    past.ObrotyCZMain_MA = QList<double>(13, 1000.0);
    m_account.Data.LoadYearFrom(2018, past);
    m_window->ShowYearData();
    m_window->ShowBalanceSummary();
    QCOMPARE(label(u"Lab_Suma"_s)->text(), u"Do zapłaty: 70,00 zł"_s);

    // Back to the current year with newer figures: they show.
    TRemYearRozrachGetData current;
    current.RetCode = 0;
    current.ObrotyCZMain_MA = {82.0};
    m_account.Data.LoadYearFrom(2020, current);
    m_window->ShowBalanceSummary();
    QCOMPARE(label(u"Lab_Suma"_s)->text(), u"Nadpłata: 82,00 zł"_s);
    QCOMPARE(label(u"Lab_Suma"_s)->palette().color(QPalette::WindowText), QColor(0x00, 0x80, 0x00));

    // A new login brings its own figures.
    TRemSessionBeginData settled = SampleSessionBegin();
    settled.ObrotyCZMain_MA = settled.ObrotyCZMain_WN;
    beginSession(settled);
    QCOMPARE(label(u"Lab_Suma"_s)->text(), u"Rozliczone"_s);
    QVERIFY(m_service->calls.isEmpty());
}

void tst_MainWindowOverview::countdownAndNotice()
{
    beginSession(SampleSessionBegin());
    SessionNotice *notice = m_window->Notice();
    QCOMPARE(label(u"Lab_Sesja"_s)->text(), u"Sesja wygaśnie za 15 min"_s);
    QVERIFY(!notice->isVisibleTo(m_window.get()));

    m_clock->advanceSeconds(13 * 60 + 59);
    m_window->UpdateSessionTime();
    QCOMPARE(label(u"Lab_Sesja"_s)->text(), u"Sesja wygaśnie za 2 min"_s);
    QVERIFY(!notice->isVisibleTo(m_window.get()));

    m_clock->advanceSeconds(1);
    m_window->UpdateSessionTime();
    QCOMPARE(label(u"Lab_Sesja"_s)->text(), u"Sesja wygaśnie za 60 s"_s);
    QVERIFY2(notice->isVisibleTo(m_window.get()), "the notice at one minute");
    QVERIFY(notice->ButtonRenew()->isVisibleTo(m_window.get()));

    m_clock->advanceSeconds(61);
    m_window->UpdateSessionTime();
    const QString expired = u"Sesja wygasła. Aby ją odnowić, użyj przycisku „Odnowienie sesji” (Alt+O)."_s;
    QCOMPARE(label(u"Lab_Sesja"_s)->text(), expired);
    QCOMPARE(notice->Lab_Info()->text(), expired);

    // "Później" puts the notice away; nothing was sent, no box was shown.
    notice->ButtonLater()->click();
    m_window->UpdateSessionTime();
    QVERIFY(!notice->isVisibleTo(m_window.get()));
    QVERIFY(m_service->calls.isEmpty());
    QVERIFY(m_messages->messages.isEmpty());
}

void tst_MainWindowOverview::noticeRenewsThroughTheRenewalDialog()
{
    beginSession(SampleSessionBegin());
    m_clock->advanceSeconds(16 * 60);
    m_window->UpdateSessionTime();
    QString caption;
    WhenModal<TForm_LoginWEB>(this, [&caption](TForm_LoginWEB *dialog) {
        caption = dialog->windowTitle();
        dialog->reject();
    });
    m_window->RenewFromNotice();
    QVERIFY2(!caption.isEmpty(), "the renewal dialog opened");
    // Cancelled: nothing was sent.
    QVERIFY(m_service->calls.isEmpty());
}

void tst_MainWindowOverview::spreadsheetOfTheShownTable()
{
    beginSession(SampleSessionBegin());
    QTemporaryDir dir;
    const QString file = dir.filePath(u"rozrachunki.csv"_s);
    QString suggested;
    SetSpreadsheetFileChooser([&](QWidget *, const QString &name) {
        suggested = name;
        return file;
    });
    TFrame_InfoRozrZasob *panel = m_window->Frame_InfoRozrZasob1();
    panel->ButtonCsvClick();
    QCOMPARE(suggested, u"rozrachunki-2020-czynsze.csv"_s);

    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const std::optional<CsvTable> table = CsvTable::FromBytes(f.readAll());
    QVERIFY(table);
    const TFrame_InfoRozrTabela *shown = panel->CurrentTable();
    QCOMPARE(table->Rows.size(), shown->MonthCount() + 2);
    for (int m = 1; m <= shown->MonthCount(); ++m) {
        const QString nn = u"%1"_s.arg(m, 2, 10, QLatin1Char('0'));
        const QStringList &row = table->Rows[m];
        QCOMPARE(ParseCsvAmount(row[1]), Shown(shown->findChild<QLabel *>(u"Lab_WN_"_s + nn)));
        QCOMPARE(ParseCsvAmount(row[2]), Shown(shown->findChild<QLabel *>(u"Lab_MA_"_s + nn)));
        QCOMPARE(ParseCsvAmount(row[4]), Shown(shown->findChild<QLabel *>(u"Lab_SaldoNar_"_s + nn)));
    }
    QCOMPARE(ParseCsvAmount(table->Rows.last()[4]), Shown(shown->findChild<QLabel *>(u"Lab_SaldoNar_Razem"_s)));
}

void tst_MainWindowOverview::chartOfTheShownTable()
{
    beginSession(SampleSessionBegin());
    int months = -1;
    WhenModal<TForm_YearChart>(this, [&months](TForm_YearChart *chart) {
        months = int(chart->Data().Months.size());
        chart->reject();
    });
    m_window->findChild<TWSpeedButton *>(u"ButtonChart"_s)->click();
    QTRY_COMPARE_WITH_TIMEOUT(months, m_account.Data.MonthsToShow(), 5000);
}

QTEST_MAIN(tst_MainWindowOverview)
#include "tst_mainwindow_overview.moc"

#include "account/Account.h"
#include "service/AccountService.h"
#include "testing/ViewsTestSupport.h"

#include "common/DateHelpers.h"
#include "common/Errors.h"
#include "controls/TWSpeedButton.h"
#include "forms/ProgramColours.h"
#include "forms/TForm_Gen_Ex.h"
#include "reports/TPrn_Gen.h"
#include "reports/TPrn_InfoRozrZasob.h"
#include "views/TForm_KartMca.h"
#include "views/TFrame_InfoDokTabela.h"
#include "views/TFrame_InfoRozrTabela.h"
#include "views/TFrame_InfoRozrZasob.h"

#include <QLabel>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QLabel *label(const QWidget *frame, const QString &name)
{
    auto *l = frame->findChild<QLabel *>(name);
    if (!l)
        qFatal("no label %s", qPrintable(name));
    return l;
}

QColor textColour(const QWidget *frame, const QString &name)
{
    return label(frame, name)->palette().color(QPalette::WindowText);
}

QWidget *row(const QWidget *frame, int month)
{
    return frame->findChild<QWidget *>(u"Panel_%1"_s.arg(month, 2, 10, QLatin1Char('0')));
}

QColor background(const QWidget *panel)
{
    return panel->palette().color(QPalette::Window);
}

QColor highlightColour(const QWidget *w)
{
    return w->palette().color(QPalette::Active, QPalette::Highlight);
}

QColor windowTextColour(const QWidget *w)
{
    return w->palette().color(QPalette::Active, QPalette::WindowText);
}

// A year in which every category is offered and settled: 13 debit and credit
// slots with the example of the opening state and January, March and May
// underpaid in their month, the other months overpaid.
TSettlementsYear sampleYear(int year = 2020, int monthCount = 12)
{
    TSettlementsYear y;
    y.Year = year;
    y.MonthCount = monthCount;
    y.ServiceF = {true, true, true, true, true};
    y.CZYearStart = 2010;
    y.WOYearStart = 2010;
    for (int c = 0; c < 5; ++c) {
        QList<double> wn{100.0, 50.0}, ma{40.0, 120.0};
        for (int m = 2; m <= 12; ++m) {
            wn << 30.0 + c;
            ma << (m % 2 ? 10.0 : 60.0);
        }
        y.WN[std::size_t(c)] = wn;
        y.MA[std::size_t(c)] = ma;
    }
    return y;
}

// A user's click on `button` that arrives while the program is busy: queued,
// to be delivered the next time events are processed.
void queueUserClick(QWidget *button)
{
    const QPointF pos(button->width() / 2.0, button->height() / 2.0);
    const QPointF global = button->mapToGlobal(pos);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(button,
                                    new QMouseEvent(type, pos, global, Qt::LeftButton,
                                                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                    Qt::NoModifier));
    }
}

TRemKartotekaMcaGetData emptyLedger()
{
    TRemKartotekaMcaGetData l;
    l.KsgNumber = 0;
    return l;
}

} // namespace

class tst_Settlements : public QObject
{
    Q_OBJECT

    // The account the windows show when a test needs no service behind them.
    Account m_account;
    AccountService m_access{m_account};

private Q_SLOTS:
    // The yearly table.
    void balanceExample();
    void hiddenMonths_data();
    void hiddenMonths();
    void finalBalance_data();
    void finalBalance();
    void highlightMovesAndColours();
    void navigationBounds_data();
    void navigationBounds();
    void doubleClickOnMonthWithoutDocuments();
    void doubleClickOutsideMonthRows_data();
    void doubleClickOutsideMonthRows();
    void failedLedgerQueryOpensNothing();
    void monthWithDocumentsOpensCard();
    void damagedLedgerShowsError();

    // The panel.
    void tabs_data();
    void tabs();
    void firstTabActiveAfterLoad();
    void panelNavigation();
    void navigationOnNoticeTab();
    void fromStore();
    void destroyedReports();
    void tablesBuiltOnFirstView();
    void rowsStandOutOnTheButtonFace();
    void doubleClickPrintsOnce_data();
    void doubleClickPrintsOnce();
};

void tst_Settlements::balanceExample()
{
    TFrame_InfoRozrTabela table(m_access);
    table.SetPeriod(2020, 12);
    table.ShowCategory(0, {100, 50}, {40, 120});

    QCOMPARE(label(&table, u"Lab_WN_BO"_s)->text(), u"100,00"_s);
    QCOMPARE(label(&table, u"Lab_MA_BO"_s)->text(), u"40,00"_s);
    QCOMPARE(label(&table, u"Lab_SaldoNar_BO"_s)->text(), u"-60,00"_s);
    QCOMPARE(textColour(&table, u"Lab_SaldoNar_BO"_s), kColourRed);
    QCOMPARE(label(&table, u"Lab_SaldoMca_BO"_s)->text(), u"0,00"_s);
    QCOMPARE(label(&table, u"Lab_SaldoMca_01"_s)->text(), u"70,00"_s);
    QCOMPARE(textColour(&table, u"Lab_SaldoMca_01"_s), kColourGreen);
    QCOMPARE(label(&table, u"Lab_SaldoNar_01"_s)->text(), u"10,00"_s);
    QCOMPARE(textColour(&table, u"Lab_SaldoNar_01"_s), kColourGreen);
    // Missing slots count as 0: December keeps the running balance.
    QCOMPARE(label(&table, u"Lab_SaldoNar_12"_s)->text(), u"10,00"_s);
    QCOMPARE(label(&table, u"Lab_SaldoOpis"_s)->text(), u"(nadpłata)"_s);

    // The report prints what the table shows.
    const TPrn_InfoRozrZasob *report = table.Prn_InfoRozrZasob();
    QVERIFY(report);
    QCOMPARE(report->Year(), 2020);
    QCOMPARE(report->Figures().MonthCount, 12);
    QCOMPARE(report->Figures().RazemWN, 150.0);
    QCOMPARE(report->Figures().RazemMA, 160.0);
    QCOMPARE(report->Figures().SaldoNar[0], -60.0);
    QCOMPARE(report->Figures().SaldoNar[1], 10.0);
    QCOMPARE(report->Figures().ObrotyWN[1], 50.0);
    QCOMPARE(report->Figures().ObrotyMA[1], 120.0);
    QCOMPARE(report->CategoryText(), u"\"czynsze\""_s);
}

void tst_Settlements::hiddenMonths_data()
{
    QTest::addColumn<int>("monthCount");
    QTest::addColumn<QString>("debitTotal");
    QTest::addColumn<QString>("finalBalance");
    // Every slot: debit 10, credit 4; the slots after the count are ignored.
    QTest::newRow("5 months") << 5 << u"60,00"_s << u"-36,00"_s;
    QTest::newRow("12 months") << 12 << u"130,00"_s << u"-78,00"_s;
    QTest::newRow("1 month") << 1 << u"20,00"_s << u"-12,00"_s;
}

void tst_Settlements::hiddenMonths()
{
    QFETCH(int, monthCount);
    QFETCH(QString, debitTotal);
    QFETCH(QString, finalBalance);
    TFrame_InfoRozrTabela table(m_access);
    table.SetPeriod(2019, 12); // a previous year with every month shown
    table.SetPeriod(2020, monthCount);
    table.ShowCategory(2, QList<double>(13, 10.0), QList<double>(13, 4.0));

    for (int k = 1; k <= 12; ++k)
        QVERIFY2(row(&table, k)->isHidden() == (k > monthCount), qPrintable(u"month %1"_s.arg(k)));
    const QWidget *last = row(&table, monthCount);
    const QWidget *totals = table.findChild<QWidget *>(u"Panel_Razem"_s);
    QCOMPARE(totals->y(), last->y() + last->height());
    QCOMPARE(label(&table, u"Lab_WN_Razem"_s)->text(), debitTotal);
    QCOMPARE(label(&table, u"Lab_SaldoNar_Razem"_s)->text(), finalBalance);
    QCOMPARE(table.Prn_InfoRozrZasob()->Figures().MonthCount, monthCount);
}

void tst_Settlements::finalBalance_data()
{
    QTest::addColumn<double>("credit");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("description");
    QTest::newRow("exactly 0") << 100.0 << kColourGreen << QString();
    QTest::newRow("-0,00002") << 100.0 - 0.00002 << kColourRed << u"(niedopłata)"_s;
    QTest::newRow("+0,00002") << 100.0 + 0.00002 << kColourGreen << u"(nadpłata)"_s;
}

void tst_Settlements::finalBalance()
{
    QFETCH(double, credit);
    QFETCH(QColor, colour);
    QFETCH(QString, description);
    TFrame_InfoRozrTabela table(m_access);
    table.SetPeriod(2020, 3);
    table.ShowCategory(0, {100.0}, {credit});
    QCOMPARE(label(&table, u"Lab_SaldoNar_Razem"_s)->text(), u"0,00"_s);
    QCOMPARE(textColour(&table, u"Lab_SaldoNar_Razem"_s), colour);
    QCOMPARE(label(&table, u"Lab_SaldoOpis"_s)->text(), description);
}

void tst_Settlements::highlightMovesAndColours()
{
    TFrame_InfoRozrTabela table(m_access);
    table.resize(700, 420);
    table.SetPeriod(2020, 12);
    // March: month balance -20 (red), running +30 (green); May: +30 and +40.
    table.ShowCategory(0, {100, 50, 20, 40, 10, 20}, {40, 120, 50, 20, 0, 50});
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    // A click on any label of the row counts.
    QTest::mouseClick(label(&table, u"Lab_WN_03"_s), Qt::LeftButton);
    QCOMPARE(table.SelectedMonth(), 3);
    QCOMPARE(background(row(&table, 3)), highlightColour(&table));
    QCOMPARE(textColour(&table, u"Lab_Opis_03"_s), QColor(Qt::white));
    QCOMPARE(textColour(&table, u"Lab_WN_03"_s), QColor(Qt::white));
    QCOMPARE(textColour(&table, u"Lab_SaldoMca_03"_s), kColourRed); // red stays red
    QCOMPARE(textColour(&table, u"Lab_SaldoNar_03"_s), kColourLime); // green turns lime

    QTest::mouseClick(row(&table, 5), Qt::LeftButton, {}, QPoint(630, 10));
    QCOMPARE(table.SelectedMonth(), 5);
    QCOMPARE(background(row(&table, 5)), highlightColour(&table));
    QCOMPARE(textColour(&table, u"Lab_SaldoMca_05"_s), kColourLime);
    QCOMPARE(background(row(&table, 3)), QColor(Qt::white));
    QCOMPARE(textColour(&table, u"Lab_Opis_03"_s), kColourNavy);
    QCOMPARE(textColour(&table, u"Lab_WN_03"_s), windowTextColour(&table));
    QCOMPARE(textColour(&table, u"Lab_SaldoMca_03"_s), kColourRed);
    QCOMPARE(textColour(&table, u"Lab_SaldoNar_03"_s), kColourGreen);
    for (int k = 1; k <= 12; ++k) {
        if (k != 5)
            QCOMPARE(background(row(&table, k)), QColor(Qt::white));
    }

    // A second click does not toggle; a new load removes the highlight.
    QTest::mouseClick(label(&table, u"Lab_Opis_05"_s), Qt::LeftButton);
    QCOMPARE(table.SelectedMonth(), 5);
    table.SetPeriod(2021, 12);
    QCOMPARE(table.SelectedMonth(), 0);
    QCOMPARE(background(row(&table, 5)), QColor(Qt::white));
    QCOMPARE(textColour(&table, u"Lab_SaldoMca_05"_s), kColourGreen);
}

void tst_Settlements::navigationBounds_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("move");
    QTest::addColumn<int>("expected");
    // Five months shown.
    QTest::newRow("next from May stays") << 5 << u"next"_s << 5;
    QTest::newRow("next from April") << 4 << u"next"_s << 5;
    QTest::newRow("previous from January stays") << 1 << u"previous"_s << 1;
    QTest::newRow("previous from March") << 3 << u"previous"_s << 2;
    QTest::newRow("next without highlight") << 0 << u"next"_s << 0;
    QTest::newRow("previous without highlight") << 0 << u"previous"_s << 0;
    QTest::newRow("open without highlight") << 0 << u"open"_s << 0;
}

void tst_Settlements::navigationBounds()
{
    QFETCH(int, selected);
    QFETCH(QString, move);
    QFETCH(int, expected);
    ServiceFixture fixture;
    TFrame_InfoRozrTabela table(fixture.access);
    table.SetPeriod(2020, 5);
    table.ShowCategory(0, {1, 2}, {3, 4});
    if (selected)
        table.SelectMonth(selected);
    if (move == u"next")
        table.SelectNextMonth();
    else if (move == u"previous")
        table.SelectPreviousMonth();
    else
        table.OpenSelectedMonth();
    QCOMPARE(table.SelectedMonth(), expected);
    QVERIFY(fixture.service.calls.isEmpty());
    QVERIFY(fixture.messages.messages.isEmpty());
}

void tst_Settlements::doubleClickOnMonthWithoutDocuments()
{
    ServiceFixture fixture;
    fixture.service.ledger = emptyLedger();
    TFrame_InfoRozrTabela table(fixture.access);
    table.resize(700, 420);
    table.SetPeriod(2020, 12);
    table.ShowCategory(2, {1, 2}, {3, 4});
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    QWidget *target = label(&table, u"Lab_SaldoNar_04"_s);
    QTest::mouseClick(target, Qt::LeftButton);
    QTest::mouseDClick(target, Qt::LeftButton);

    QCOMPARE(table.SelectedMonth(), 4);
    const auto calls = fixture.callsOf(u"ZOKA_WS_KartotekaMcaGet"_s);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].arguments.mid(3), (QStringList{u"2"_s, u"2020"_s, u"4"_s}));
    QCOMPARE(fixture.messages.messages.size(), 1);
    const MessageRequest &m = fixture.messages.messages[0];
    QCOMPARE(MessageLine(m), ApplicationTitle() + u"|Brak dokumentów w miesiącu."_s);
    QCOMPARE(m.icon, MessageIcon::None);
    QCOMPARE(m.buttons, QList<MessageButton>{MessageButton::Ok});
    QVERIFY(!QApplication::activeModalWidget());
}

void tst_Settlements::doubleClickOutsideMonthRows_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("opening row") << u"Lab_Opis_BO"_s;
    QTest::newRow("totals row") << u"Lab_WN_Razem"_s;
    QTest::newRow("column header") << u"Lab_Opis_Saldo"_s;
    QTest::newRow("legend") << u"Lab_Leg_Nadplata"_s;
}

void tst_Settlements::doubleClickOutsideMonthRows()
{
    QFETCH(QString, target);
    ServiceFixture fixture;
    TFrame_InfoRozrTabela table(fixture.access);
    table.resize(700, 420);
    table.SetPeriod(2020, 12);
    table.ShowCategory(0, {1}, {2});
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    QTest::mouseClick(label(&table, target), Qt::LeftButton);
    QTest::mouseDClick(label(&table, target), Qt::LeftButton);
    QCOMPARE(table.SelectedMonth(), 0);
    QVERIFY(fixture.service.calls.isEmpty());
    QVERIFY(fixture.messages.messages.isEmpty());
}

void tst_Settlements::failedLedgerQueryOpensNothing()
{
    ServiceFixture fixture;
    fixture.service.failure = ServiceFailure{ServiceFailure::Kind::Timeout, u"timeout"_s};
    TFrame_InfoRozrTabela table(fixture.access);
    table.SetPeriod(2020, 12);
    table.ShowCategory(0, {1}, {2});
    table.SelectMonth(2);
    table.OpenSelectedMonth();
    QCOMPARE(fixture.callsOf(u"ZOKA_WS_KartotekaMcaGet"_s).size(), 1);
    // Only the wrapper's own message; the table keeps its state.
    QCOMPARE(fixture.messages.messages.size(), 1);
    QVERIFY(!fixture.messages.texts().contains(u"Brak dokumentów w miesiącu."_s));
    QCOMPARE(table.SelectedMonth(), 2);
}

void tst_Settlements::monthWithDocumentsOpensCard()
{
    ServiceFixture fixture;
    TRemKartotekaMcaGetData ledger;
    ledger.KontoKsg = 1;
    ledger.Year = 2020;
    ledger.Month = 3;
    ledger.KsgNumber = 1;
    ledger.KsgStrona = {0};
    ledger.KsgTypDok = {1};
    ledger.KsgID_Dok_Master = {77};
    ledger.KsgDataOperacji = {DateToValue(QDate(2020, 3, 5))};
    ledger.KsgDataOperRozrach = {DateToValue(QDate(2020, 3, 15))};
    ledger.KsgValue = {25.5};
    ledger.KsgTrescOper = {u"Odsetki"_s};
    ledger.KsgNrDokMaster = {u"NO/3"_s};
    fixture.service.ledger = ledger;

    QWidget owner;
    auto *table = new TFrame_InfoRozrTabela(fixture.access, &owner);
    table->SetPeriod(2020, 12);
    // Opening: debit 100, credit 40; January 50/120; February 30/10.
    table->ShowCategory(1, {100, 50, 30}, {40, 120, 10});
    owner.show();

    QStringList opening;
    const QStringList seen = DriveModals(
        [&] { table->OpenMonth(3); },
        [&](QWidget *modal, int) {
            for (const char *name : {"Lab_WN_ObrotyPocz", "Lab_MA_ObrotyPocz", "Lab_SaldoPocz", "Lab_SaldoNar"})
                opening << label(modal, QString::fromLatin1(name))->text();
            modal->close();
        });
    QCOMPARE(seen, QStringList{u"Form_KartMca"_s});
    // Before March: slots 0 to 2; after it the month's charge of 25,50.
    QCOMPARE(opening, (QStringList{u"180,00"_s, u"170,00"_s, u"-10,00"_s, u"-35,50"_s}));
    QCOMPARE(fixture.callsOf(u"ZOKA_WS_KartotekaMcaGet"_s)[0].arguments.mid(3),
             (QStringList{u"1"_s, u"2020"_s, u"3"_s}));
    QVERIFY(fixture.messages.messages.isEmpty());
}

void tst_Settlements::damagedLedgerShowsError()
{
    ServiceFixture fixture;
    TRemKartotekaMcaGetData ledger;
    ledger.KsgNumber = 2; // but only one entry delivered
    ledger.KsgStrona = {0};
    ledger.KsgTypDok = {1};
    ledger.KsgID_Dok_Master = {1};
    ledger.KsgDataOperacji = {43900};
    ledger.KsgDataOperRozrach = {43900};
    ledger.KsgValue = {10};
    ledger.KsgTrescOper = {u"Czynsz"_s};
    ledger.KsgNrDokMaster = {QString()};
    fixture.service.ledger = ledger;
    TFrame_InfoRozrTabela table(fixture.access);
    table.resize(700, 420);
    table.SetPeriod(2020, 12);
    table.ShowCategory(0, {1}, {2});
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    // The error leaves the double click's handler and reaches the outer error display.
    QTest::mouseDClick(label(&table, u"Lab_Opis_06"_s), Qt::LeftButton);
    QCOMPARE(fixture.messages.messages.size(), 1);
    QCOMPARE(fixture.messages.messages[0].icon, MessageIcon::Error);
    QCOMPARE(fixture.messages.messages[0].text, IndexError(1, 1).message());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(table.SelectedMonth(), 6);
}

void tst_Settlements::tabs_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QList<bool>>("offered");
    QTest::addColumn<int>("woYearStart");
    QTest::addColumn<QList<bool>>("showsTable"); // per offered tab, in tab order
    QTest::addColumn<QStringList>("tabRow");

    const QStringList all{u"Czynsze"_s, u"Czynsze - odsetki"_s, u"Woda"_s, u"Woda - odsetki"_s, u"Odpady"_s};
    const QList<bool> allOffered{true, true, true, true, true};
    QTest::newRow("2012: waste settled with rents")
        << 2012 << allOffered << 2010 << QList<bool>{true, true, true, true, false} << all;
    QTest::newRow("2013: waste on its own")
        << 2013 << allOffered << 2010 << QList<bool>{true, true, true, true, true} << all;
    QTest::newRow("water from 2016, year 2015")
        << 2015 << allOffered << 2016 << QList<bool>{true, true, false, false, true} << all;
    QTest::newRow("no interest on water")
        << 2020 << QList<bool>{true, true, true, false, true} << 2010 << QList<bool>{true, true, true, true}
        << QStringList{u"Czynsze"_s, u"Czynsze - odsetki"_s, u"Woda"_s, u"Odpady"_s};
}

void tst_Settlements::tabs()
{
    QFETCH(int, year);
    QFETCH(QList<bool>, offered);
    QFETCH(int, woYearStart);
    QFETCH(QList<bool>, showsTable);
    QFETCH(QStringList, tabRow);

    TFrame_InfoRozrZasob panel(m_access);
    TSettlementsYear y = sampleYear(year);
    for (int i = 0; i < 5; ++i)
        y.ServiceF[std::size_t(i)] = offered[i];
    y.WOYearStart = woYearStart;
    panel.ShowSettlements(y);

    auto *tabs = qobject_cast<QTabWidget *>(panel.PageControl1());
    QVERIFY(tabs);
    QStringList shownTabs;
    QList<bool> tables;
    for (int i = 0; i < tabs->count(); ++i) {
        if (!tabs->isTabVisible(i))
            continue;
        shownTabs << tabs->tabText(i);
        QWidget *page = tabs->widget(i);
        const bool table = !panel.Table(i)->isHidden();
        const QWidget *notice = nullptr;
        for (const QWidget *w : page->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w->objectName().startsWith(u"PanelInfo"_s))
                notice = w;
        }
        QVERIFY(notice);
        QVERIFY2(notice->isHidden() == table, "a tab shows either its table or its notice");
        tables << table;

        // Print and preview act on the table; with a notice they do nothing.
        tabs->setCurrentIndex(i);
        QCOMPARE(panel.CurrentTable(), panel.Table(i));
        QCOMPARE(panel.CurrentShowsTable(), table);
        QCOMPARE(panel.CurrentReport(), table ? panel.Table(i)->Prn_InfoRozrZasob() : nullptr);
    }
    QCOMPARE(shownTabs, tabRow);
    QCOMPARE(tables, showsTable);
    QCOMPARE(label(&panel, u"Lab_TytulRok"_s)->text(), QString::number(year));
    // Every table is filled, whether shown or not.
    for (int i = 0; i < 5; ++i)
        QCOMPARE(panel.Table(i)->Figures().RazemWN, 150.0 + 11 * (30.0 + i));
}

void tst_Settlements::firstTabActiveAfterLoad()
{
    TFrame_InfoRozrZasob panel(m_access);
    auto *tabs = qobject_cast<QTabWidget *>(panel.PageControl1());
    panel.ShowSettlements(sampleYear(2020));
    tabs->setCurrentIndex(2);
    panel.SelectFirstMonth();
    QCOMPARE(panel.CurrentTable(), panel.Table(2));

    panel.ShowSettlements(sampleYear(2019));
    QCOMPARE(tabs->currentIndex(), 0);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), u"Czynsze"_s);
    QCOMPARE(panel.CurrentTable(), panel.Table(0));
    for (int i = 0; i < 5; ++i)
        QCOMPARE(panel.Table(i)->SelectedMonth(), 0);

    // Rents not offered: the first tab still shown becomes active.
    TSettlementsYear noRents = sampleYear(2020);
    noRents.ServiceF = {false, false, true, true, true};
    panel.ShowSettlements(noRents);
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(panel.CurrentTable(), panel.Table(2));
    QVERIFY(panel.CurrentShowsTable());
}

void tst_Settlements::panelNavigation()
{
    TFrame_InfoRozrZasob panel(m_access);
    panel.ShowSettlements(sampleYear(2020, 7));
    TFrame_InfoRozrTabela *table = panel.Table(0);
    panel.SelectLastMonth();
    QCOMPARE(table->SelectedMonth(), 7);
    panel.SelectNextMonth();
    QCOMPARE(table->SelectedMonth(), 7);
    panel.SelectFirstMonth();
    QCOMPARE(table->SelectedMonth(), 1);
    panel.SelectNextMonth();
    QCOMPARE(table->SelectedMonth(), 2);
    panel.SelectPreviousMonth();
    QCOMPARE(table->SelectedMonth(), 1);
    // The other tables are untouched.
    QCOMPARE(panel.Table(1)->SelectedMonth(), 0);
}

void tst_Settlements::navigationOnNoticeTab()
{
    ServiceFixture fixture;
    fixture.service.ledger = emptyLedger();
    TFrame_InfoRozrZasob panel(fixture.access);
    panel.ShowSettlements(sampleYear(2012, 7));
    qobject_cast<QTabWidget *>(panel.PageControl1())->setCurrentIndex(4);
    QVERIFY(!panel.CurrentShowsTable());

    panel.SelectLastMonth();
    panel.OpenSelectedMonth();
    const auto calls = fixture.callsOf(u"ZOKA_WS_KartotekaMcaGet"_s);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].arguments.mid(3), (QStringList{u"4"_s, u"2012"_s, u"7"_s}));
    QCOMPARE(fixture.messages.texts(), QStringList{u"Brak dokumentów w miesiącu."_s});
}

void tst_Settlements::fromStore()
{
    TU_WEBServiceData store;
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.Odpady_Service_F = true;
    answer.ObrotyWOMain_WN = QList<double>(12, 5.0); // December missing
    store.LoadFrom(answer);

    const TSettlementsYear y = TSettlementsYear::FromStore(store);
    QCOMPARE(y.Year, store.ShowYear);
    QCOMPARE(y.MonthCount, store.MonthsToShow());
    QCOMPARE(y.ServiceF, (std::array<bool, 5>{true, false, true, false, true}));
    QCOMPARE(y.CZYearStart, 2010);
    QCOMPARE(y.WOYearStart, 2012);
    QCOMPARE(y.WN[0], answer.ObrotyCZMain_WN);
    QCOMPARE(y.MA[0], answer.ObrotyCZMain_MA);

    TFrame_InfoRozrZasob panel(m_access);
    panel.ShowSettlements(y);
    QCOMPARE(panel.Table(2)->Figures().ObrotyWN[11], 5.0);
    QCOMPARE(panel.Table(2)->Figures().ObrotyWN[12], 0.0);
    QCOMPARE(panel.Table(0)->Figures().ObrotyWN[0], 100.0);
}

void tst_Settlements::destroyedReports()
{
    TFrame_InfoRozrZasob panel(m_access);
    panel.ShowSettlements(sampleYear(2020));
    QVERIFY(panel.CurrentReport());
    panel.DestroyReports();
    for (int i = 0; i < 5; ++i)
        QVERIFY(!panel.Table(i)->Prn_InfoRozrZasob());
    QVERIFY(!panel.CurrentReport());
    panel.ButtonPrintClick();
    panel.ButtonPreviewClick();
    // A later load still fills the tables.
    panel.ShowSettlements(sampleYear(2021));
    QCOMPARE(panel.Table(0)->Year(), 2021);
}

// Only the first category's table is built with the panel; another is built
// when its tab is first shown, and then shows what an eagerly built table
// would: the latest year's figures and months, its notice state, on screen,
// and no report once the reports were destroyed.
void tst_Settlements::tablesBuiltOnFirstView()
{
    TFrame_InfoRozrZasob panel(m_access);
    const auto built = [&panel] { return panel.findChildren<TFrame_InfoRozrTabela *>().size(); };
    QCOMPARE(built(), 1);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto *tabs = qobject_cast<QTabWidget *>(panel.PageControl1());

    panel.ShowSettlements(sampleYear(2020));
    TSettlementsYear later = sampleYear(2015, 7);
    later.WOYearStart = 2016; // water not yet settled in 2015
    later.WN[1][3] = 999.0;
    panel.ShowSettlements(later);
    QCOMPARE(built(), 1);

    tabs->setCurrentIndex(1);
    QCOMPARE(built(), 2);
    const TFrame_InfoRozrTabela *interest = panel.CurrentTable();
    QCOMPARE(interest->objectName(), u"Frame_InfoRozrTabela2"_s);
    QCOMPARE(interest->Year(), 2015);
    QCOMPARE(interest->MonthCount(), 7);
    QCOMPARE(interest->Category(), 1);
    QCOMPARE(interest->Figures().ObrotyWN[3], 999.0);
    QVERIFY(interest->isVisible());
    QVERIFY(!interest->findChild<QWidget *>(u"Panel_08"_s)->isVisible());

    tabs->setCurrentIndex(2);
    QVERIFY(!panel.CurrentShowsTable());
    QVERIFY(panel.CurrentTable()->isHidden());

    panel.DestroyReports();
    tabs->setCurrentIndex(4);
    QCOMPARE(built(), 4);
    QVERIFY(panel.CurrentTable()->isVisible());
    QVERIFY(!panel.CurrentTable()->Prn_InfoRozrZasob());
    QVERIFY(!panel.CurrentReport());
}

// The table's panel keeps the button face; only the rows are white.
void tst_Settlements::rowsStandOutOnTheButtonFace()
{
    // A desktop palette whose window colour is not the button face, as the
    // platform themes give; in a window of the program, as in the main window.
    const QPalette before = QApplication::palette();
    QPalette desktop = before;
    desktop.setColor(QPalette::Window, QColor(0xFB, 0xFB, 0xFB));
    QApplication::setPalette(desktop);
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    TForm_Gen_Ex window(nullptr, Qt::Window);
    auto *layout = new QVBoxLayout(&window);
    auto *panel = new TFrame_InfoRozrZasob(m_access, &window);
    layout->addWidget(panel);
    panel->ShowSettlements(sampleYear(2020));
    window.resize(720, 600);
    QVERIFY(ShowActive(&window));
    TFrame_InfoRozrTabela *table = panel->Table(0);
    const QImage image = table->grab().toImage();
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QWidget *dane = table->findChild<QWidget *>(u"PanelDane"_s);
    // Left of the rows, beside the headers, beside a month row and beside the legend.
    for (int y : {3, row(table, 5)->y() + 5, dane->height() - 10})
        QCOMPARE(image.pixelColor(dane->mapTo(table, QPoint(3, y))), buttonFace);
    const QWidget *may = row(table, 5);
    QCOMPARE(image.pixelColor(may->mapTo(table, QPoint(2, 2))), QColor(Qt::white));
}

void tst_Settlements::doubleClickPrintsOnce_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("otherName");
    QTest::newRow("print, then print") << u"ButtonPrint"_s << u"ButtonPrint"_s;
    QTest::newRow("print, then preview") << u"ButtonPrint"_s << u"ButtonPreview"_s;
    QTest::newRow("print, then the window's button") << u"ButtonPrint"_s << u"SButton_Exit"_s;
}

// The second click of a double click on the print button arrives while the
// first print still runs; it must not print the report again, nor start
// another action of the window.
void tst_Settlements::doubleClickPrintsOnce()
{
    QFETCH(QString, buttonName);
    QFETCH(QString, otherName);
    MessageRecorder messages;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *exit = new TWSpeedButton(u"&Koniec"_s, &window);
    exit->setObjectName(u"SButton_Exit"_s);
    int exitRuns = 0;
    connect(exit, &TWSpeedButton::OnClick, this, [&exitRuns] { ++exitRuns; });
    layout->addWidget(exit);
    auto *panel = new TFrame_InfoRozrZasob(m_access, &window);
    layout->addWidget(panel);
    panel->ShowSettlements(sampleYear(2020));
    QVERIFY(ShowActive(&window));
    auto *button = window.findChild<TWSpeedButton *>(buttonName);
    auto *other = window.findChild<TWSpeedButton *>(otherName);
    QVERIFY(button && other);

    // Printing looks the printer up once per run; without one it shows the
    // no-printer notice. The second click comes while the first run is busy.
    int printRuns = 0;
    TPrn_Gen::SetPrinterLookup([&]() -> std::optional<ReportPrinterSettings> {
        if (++printRuns == 1)
            queueUserClick(other);
        return std::nullopt;
    });
    ClickWidget(button);
    QCoreApplication::processEvents();
    TPrn_Gen::SetPrinterLookup({});

    QCOMPARE(printRuns, 1);
    QCOMPARE(exitRuns, 0);
    QCOMPARE(messages.texts().size(), 1);
    QVERIFY(button->ClickPermitted() && exit->ClickPermitted());

    // Afterwards the buttons work again.
    ClickWidget(exit);
    QCOMPARE(exitRuns, 1);
}

DOMVEL_VIEWS_TEST_MAIN(tst_Settlements)

#include "tst_settlements.moc"

#include "testing/SessionTestSupport.h"

#include "account/TU_WEBServiceData.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "common/Errors.h"

#include <QTest>

namespace {

TRemYearRozrachGetData yearAnswer(double base, qsizetype slots = 13)
{
    TRemYearRozrachGetData a;
    a.SaldaOtherKnt_InfoHandlingKind = 2;
    for (int i = 0; i < slots; ++i) {
        a.ObrotyCZMain_WN << base + i;
        a.ObrotyCZMain_MA << base / 2 + i;
        a.ObrotyOdpady_WN << 1.0;
        a.ObrotyOdpady_MA << 2.0;
    }
    return a;
}

TRemKartotekaMcaGetData ledger(int entries, qint32 month)
{
    TRemKartotekaMcaGetData a;
    a.KontoKsg = 2;
    a.Year = 2020;
    a.Month = month;
    a.KsgNumber = entries;
    for (int i = 0; i < entries; ++i) {
        a.KsgStrona << i % 2;
        a.KsgTypDok << (i % 2 ? 3 : 1);
        a.KsgID_Dok_Master << 1000 * month + i;
        a.KsgDataOperacji << 43983.0 + i;
        a.KsgDataOperRozrach << 43993.0 + i;
        a.KsgValue << 10.5 * (i + 1);
        a.KsgTrescOper << QStringLiteral("Opłata za wodę %1").arg(i);
        a.KsgNrDokMaster << QStringLiteral("N/%1/%2").arg(month).arg(i);
    }
    return a;
}

TRemDokDetailsGetData document(int components, const QString &text)
{
    TRemDokDetailsGetData a;
    a.DataOperacji = 43983;
    a.DataOperRozrach = 43993;
    a.DataNalFrom = 43983;
    a.DataNalTo = 44012;
    a.TrescOper = text;
    a.DokKind = 1;
    a.ZasobKind = 2;
    a.KontoKsg = 0;
    a.SklNumber = components;
    for (int i = 0; i < components; ++i) {
        a.NazwaSkl << QStringLiteral("Składnik %1").arg(i);
        a.IloscAsStr << QStringLiteral("%1,00").arg(i + 1);
        a.Cena << 2.5 * (i + 1);
        a.WspolczAsStr << QStringLiteral("1,000");
        a.UwzglCzescMca << (i == 0);
        a.ValueNetto << 10.0 * (i + 1);
        a.ValueVAT << 0.8 * (i + 1);
        a.StVAT << QStringLiteral("8%");
    }
    return a;
}

void expectIndexError(const std::function<void()> &read)
{
    try {
        read();
    } catch (const IndexError &) {
        return;
    }
    QFAIL("an index outside the array was read");
}

} // namespace

class tst_SessionStores : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void monthsToShow_data();
    void monthsToShow();
    void yearSwitchAndBack();
    void firstYearToShow_data();
    void firstYearToShow();
    void waterPeriodsOnlyWhenOffered();
    void badDateLeavesStoreCleared();
    void dateSeparatorInEveryLocale_data();
    void dateSeparatorInEveryLocale();
    void infoKindAndObligationsFlag();
    void refusedAnswers();
    void sumMonths_data();
    void sumMonths();
    void arraysKeptAsDeliveredAndPrivate();
    void ledgerLoads();
    void ledgerRefusedKeepsPrevious();
    void ledgerSecondLoadReplacesAll();
    void ledgerReadersCheckBounds();
    void documentLoads();
    void documentRefusedKeepsPrevious();
    void documentReadersCheckBounds();
};

void tst_SessionStores::monthsToShow_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("shown");
    QTest::newRow("January") << 1 << 2;
    QTest::newRow("June") << 6 << 7;
    QTest::newRow("November") << 11 << 12;
    QTest::newRow("December") << 12 << 12;
}

void tst_SessionStores::monthsToShow()
{
    QFETCH(int, month);
    QFETCH(int, shown);
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.SysCZPeriodEwidActive = DateText(2020, month, 20);
    TU_WEBServiceData store;
    store.LoadFrom(answer, u',');
    QCOMPARE(store.SysCZYearEwidActive, 2020);
    QCOMPARE(store.ShowYear, 2020);
    QCOMPARE(store.MonthsToShow(), shown);
}

void tst_SessionStores::yearSwitchAndBack()
{
    TU_WEBServiceData store;
    store.LoadFrom(SampleSessionBegin(), u',');
    const double openPeriod = store.SysCZPeriodEwidActive;
    QCOMPARE(store.MonthsToShow(), 7);

    store.LoadYearFrom(2018, yearAnswer(500));
    QCOMPARE(store.ShowYear, 2018);
    QCOMPARE(store.ShowPeriodEwid, DateToValue(QDate(2018, 12, 1)));
    QCOMPARE(store.MonthsToShow(), 12);
    QCOMPARE(store.ObrotyCZMain_WN.value(0), 500.0);
    // Facts of the session stay.
    QCOMPARE(store.SysCZPeriodEwidActive, openPeriod);
    QVERIFY(store.CZMain_Service_F);
    QCOMPARE(store.SysWOPeriodStart, DateToValue(QDate(2012, 1, 1)));

    store.LoadYearFrom(2020, yearAnswer(700));
    QCOMPARE(store.ShowYear, 2020);
    QCOMPARE(store.ShowPeriodEwid, openPeriod);
    QCOMPARE(store.MonthsToShow(), 7);
    QCOMPARE(store.ObrotyCZMain_WN.value(0), 700.0);
}

void tst_SessionStores::firstYearToShow_data()
{
    QTest::addColumn<QString>("occupancyFrom");
    QTest::addColumn<int>("first");
    QTest::newRow("occupancy not set") << "0" << 2010;
    QTest::newRow("occupancy later") << DateText(2015, 3, 1) << 2015;
    QTest::newRow("occupancy earlier") << DateText(2008, 5, 1) << 2010;
}

void tst_SessionStores::firstYearToShow()
{
    QFETCH(QString, occupancyFrom);
    QFETCH(int, first);
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.UserDateEksploatFrom = occupancyFrom;
    TU_WEBServiceData store;
    store.LoadFrom(answer, u',');
    QCOMPARE(store.FirstYearToShow(), first);
}

void tst_SessionStores::waterPeriodsOnlyWhenOffered()
{
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.WOMain_Service_F = false;
    answer.SysWOPeriodEwidActive = QStringLiteral("nie liczba");
    answer.SysWOPeriodStart = DateText(2012, 1, 1);
    TU_WEBServiceData store;
    store.LoadFrom(answer, u',');
    QCOMPARE(store.SysWOPeriodEwidActive, 0.0);
    QCOMPARE(store.SysWOPeriodStart, 0.0);
    QVERIFY(!store.WOMain_Service_F);
}

void tst_SessionStores::badDateLeavesStoreCleared()
{
    TU_WEBServiceData store;
    store.LoadFrom(SampleSessionBegin(), u',');
    QCOMPARE(store.ShowYear, 2020);

    TRemSessionBeginData answer = SampleSessionBegin();
    answer.UserDateEksploatTo = QStringLiteral("31.12.2020");
    try {
        store.LoadFrom(answer, u',');
        QFAIL("a date text that is not a number was accepted");
    } catch (const AppError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("31.12.2020")), qPrintable(e.message()));
    }
    // Nothing of the new answer, nothing of the old one.
    QCOMPARE(store.ShowYear, 0);
    QVERIFY(!store.CZMain_Service_F);
    QVERIFY(store.ObrotyCZMain_WN.isEmpty());
    QCOMPARE(store.SaldaOtherKnt_InfoHandlingKind, 2);
}

void tst_SessionStores::dateSeparatorInEveryLocale_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<double>("date");
    // A server writes the separator of its own locale: a point must not lock
    // out a user under a comma locale, nor the reverse.
    QTest::newRow("point, comma locale") << "42064.5" << QChar(u',') << 42064.5;
    QTest::newRow("comma, comma locale") << "42064,5" << QChar(u',') << 42064.5;
    QTest::newRow("point, point locale") << "42064.5" << QChar(u'.') << 42064.5;
    QTest::newRow("comma, point locale") << "42064,5" << QChar(u'.') << 42064.5;
    QTest::newRow("whole day, spaces around") << " 42064 " << QChar(u',') << 42064.0;
}

void tst_SessionStores::dateSeparatorInEveryLocale()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(double, date);
    TRemSessionBeginData answer = SampleSessionBegin();
    answer.SysCZPeriodEwidActive = text;
    answer.UserDateEksploatFrom = text;
    TU_WEBServiceData store;
    store.LoadFrom(answer, separator);
    QCOMPARE(store.SysCZPeriodEwidActive, date);
    QCOMPARE(store.UserDateEksploatFrom, date);

    // Still a number and nothing else: two separators are no date.
    answer.UserDateEksploatFrom = QStringLiteral("42.064,5");
    QVERIFY_THROWS_EXCEPTION(AppError, store.LoadFrom(answer, separator));
}

void tst_SessionStores::infoKindAndObligationsFlag()
{
    TU_WEBServiceData store;
    store.LoadFrom(SampleSessionBegin(), u','); // kind 1, flag true
    QCOMPARE(store.SaldaOtherKnt_InfoHandlingKind, 1);
    QVERIFY(store.SaldaWNOtherKnt_ShowF);

    TRemYearRozrachGetData kind2 = yearAnswer(1);
    kind2.SaldaOtherKnt_InfoHandlingKind = 2;
    kind2.SaldaWNOtherKnt_ShowF = false;
    store.LoadYearFrom(2019, kind2);
    QCOMPARE(store.SaldaOtherKnt_InfoHandlingKind, 2);
    QVERIFY(store.SaldaWNOtherKnt_ShowF);

    TRemYearRozrachGetData kind1 = yearAnswer(1);
    kind1.SaldaOtherKnt_InfoHandlingKind = 1;
    kind1.SaldaWNOtherKnt_ShowF = false;
    store.LoadYearFrom(2019, kind1);
    QVERIFY(!store.SaldaWNOtherKnt_ShowF);

    // At login the flag counts only with kind 1.
    TRemSessionBeginData kind3 = SampleSessionBegin();
    kind3.SaldaOtherKnt_InfoHandlingKind = 3;
    store.LoadFrom(kind3, u',');
    QVERIFY(!store.SaldaWNOtherKnt_ShowF);
}

void tst_SessionStores::refusedAnswers()
{
    TU_WEBServiceData store;
    store.LoadFrom(SampleSessionBegin(), u',');
    const TU_WEBServiceData before = store;

    TRemYearRozrachGetData refusedYear = yearAnswer(9);
    refusedYear.RetCode = 5;
    store.LoadYearFrom(2018, refusedYear);
    QCOMPARE(store.ShowYear, before.ShowYear);
    QCOMPARE(store.ObrotyCZMain_WN, before.ObrotyCZMain_WN);
    QCOMPARE(store.SaldaOtherKnt_InfoHandlingKind, before.SaldaOtherKnt_InfoHandlingKind);

    TRemSessionBeginData refusedLogin = SampleSessionBegin();
    refusedLogin.RetCode = 1;
    store.LoadFrom(refusedLogin, u',');
    QCOMPARE(store.ShowYear, 0);
    QVERIFY(store.ObrotyCZMain_WN.isEmpty());
}

void tst_SessionStores::sumMonths_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("debit");
    QTest::addColumn<double>("credit");
    QTest::addColumn<bool>("indexError");

    // Rent: debits 100 + slot, credits 90 + slot; waste empty.
    QTest::newRow("count 0") << 0 << 0 << 0.0 << 0.0 << false;
    QTest::newRow("opening state of March") << 0 << 3 << 303.0 << 273.0 << false;
    QTest::newRow("all 13 slots") << 0 << 13 << 1378.0 << 1248.0 << false;
    QTest::newRow("count beyond the slots") << 0 << 14 << 0.0 << 0.0 << true;
    QTest::newRow("category without figures") << 4 << 1 << 0.0 << 0.0 << true;
    QTest::newRow("category without figures, count 0") << 4 << 0 << 0.0 << 0.0 << false;
    QTest::newRow("category outside 0 to 4") << 5 << 0 << 0.0 << 0.0 << true;
    QTest::newRow("negative category") << -1 << 1 << 0.0 << 0.0 << true;
}

void tst_SessionStores::sumMonths()
{
    QFETCH(int, category);
    QFETCH(int, count);
    QFETCH(double, debit);
    QFETCH(double, credit);
    QFETCH(bool, indexError);
    TU_WEBServiceData store;
    store.LoadFrom(SampleSessionBegin(), u',');
    if (indexError) {
        expectIndexError([&] { store.SumMonths(category, count); });
        return;
    }
    const AccountState sums = store.SumMonths(category, count);
    QCOMPARE(sums.ObrotyWN, debit);
    QCOMPARE(sums.ObrotyMA, credit);
    QCOMPARE(sums.Saldo, credit - debit);
}

void tst_SessionStores::arraysKeptAsDeliveredAndPrivate()
{
    TRemYearRozrachGetData answer = yearAnswer(10, 10);
    answer.ObrotyCZMain_WN << 1.0 << 2.0 << 3.0 << 4.0 << 5.0; // 15 slots
    answer.ObrotyCZMain_MA = {0.5, 0.25, 0.125, 0.0625}; // 4 slots
    TU_WEBServiceData store;
    store.LoadFrom(SampleSessionBegin(), u',');
    store.LoadYearFrom(2019, answer);
    QCOMPARE(store.ObrotyCZMain_WN.size(), 15);
    QCOMPARE(store.ObrotyOdpady_WN.size(), 10);
    QCOMPARE(store.ObrotyWN(0), store.ObrotyCZMain_WN);
    QCOMPARE(store.ObrotyMA(4), store.ObrotyOdpady_MA);
    expectIndexError([&] { store.SumMonths(0, 5); });

    answer.ObrotyCZMain_WN[0] = -1;
    answer = {};
    QCOMPARE(store.ObrotyCZMain_WN.value(0), 10.0);
    QCOMPARE(store.ObrotyCZMain_MA, TDoubleDynArray({0.5, 0.25, 0.125, 0.0625}));
}

void tst_SessionStores::ledgerLoads()
{
    TU_WEBServiceKsgData store;
    store.LoadFrom(ledger(0, 4));
    QCOMPARE(store.Month, 4);
    QCOMPARE(store.KsgNumber, 0);
    QVERIFY(store.KsgValue.isEmpty());

    auto answer = std::make_unique<TRemKartotekaMcaGetData>(ledger(3, 5));
    store.LoadFrom(*answer);
    answer->KsgValue[1] = -1;
    answer.reset();
    QCOMPARE(store.KontoKsg, 2);
    QCOMPARE(store.Year, 2020);
    QCOMPARE(store.KsgNumber, 3);
    const TKsgEntry entry = store.Entry(1);
    QCOMPARE(entry.Strona, 1);
    QCOMPARE(entry.TypDok, 3);
    QCOMPARE(entry.ID_Dok_Master, 5001);
    QCOMPARE(entry.DataOperacji, 43984.0);
    QCOMPARE(entry.DataOperRozrach, 43994.0);
    QCOMPARE(entry.Value, 21.0);
    QCOMPARE(entry.TrescOper, QStringLiteral("Opłata za wodę 1"));
    QCOMPARE(entry.NrDokMaster, QStringLiteral("N/5/1"));
}

void tst_SessionStores::ledgerRefusedKeepsPrevious()
{
    TU_WEBServiceKsgData store;
    store.LoadFrom(ledger(3, 5));
    TRemKartotekaMcaGetData refused = ledger(1, 6);
    refused.RetCode = 4;
    store.LoadFrom(refused);
    QCOMPARE(store.Month, 5);
    QCOMPARE(store.KsgNumber, 3);
    QCOMPARE(store.Entry(2).NrDokMaster, QStringLiteral("N/5/2"));
}

void tst_SessionStores::ledgerSecondLoadReplacesAll()
{
    TU_WEBServiceKsgData store;
    store.LoadFrom(ledger(5, 5));
    const TDoubleDynArray handedOut = store.KsgValue; // what a window holds
    TRemKartotekaMcaGetData second = ledger(2, 7);
    second.KontoKsg = 4;
    second.Year = 2019;
    store.LoadFrom(second);
    QCOMPARE(store.KontoKsg, 4);
    QCOMPARE(store.Year, 2019);
    QCOMPARE(store.Month, 7);
    QCOMPARE(store.KsgNumber, 2);
    QCOMPARE(store.KsgStrona, second.KsgStrona);
    QCOMPARE(store.KsgTypDok, second.KsgTypDok);
    QCOMPARE(store.KsgID_Dok_Master, second.KsgID_Dok_Master);
    QCOMPARE(store.KsgDataOperacji, second.KsgDataOperacji);
    QCOMPARE(store.KsgDataOperRozrach, second.KsgDataOperRozrach);
    QCOMPARE(store.KsgValue, second.KsgValue);
    QCOMPARE(store.KsgTrescOper, second.KsgTrescOper);
    QCOMPARE(store.KsgNrDokMaster, second.KsgNrDokMaster);
    QCOMPARE(handedOut.size(), 5);
    QCOMPARE(handedOut.value(4), 52.5);
}

void tst_SessionStores::ledgerReadersCheckBounds()
{
    TRemKartotekaMcaGetData answer = ledger(3, 5);
    answer.KsgNrDokMaster.removeLast(); // shorter than KsgNumber says
    answer.KsgNumber = 4; // and more entries than any array
    TU_WEBServiceKsgData store;
    store.LoadFrom(answer);
    QCOMPARE(store.KsgNumber, 4);
    QCOMPARE(store.KsgNrDokMaster.size(), 2);
    QCOMPARE(store.Entry(1).Value, 21.0);
    expectIndexError([&] { store.Entry(2); });
    expectIndexError([&] { store.Entry(3); });
    expectIndexError([&] { store.Entry(-1); });
}

void tst_SessionStores::documentLoads()
{
    TU_WEBServiceDokData store;
    store.LoadFrom(document(0, QStringLiteral("Naliczenie")));
    QCOMPARE(store.SklNumber, 0);
    QCOMPARE(store.DokKind, 1);
    QVERIFY(store.NazwaSkl.isEmpty() && store.UwzglCzescMca.isEmpty() && store.StVAT.isEmpty());

    store.LoadFrom(document(2, QStringLiteral("Opłata za śmieci – czerwiec ✓")));
    QCOMPARE(store.TrescOper, QStringLiteral("Opłata za śmieci – czerwiec ?"));
    QCOMPARE(store.DataNalTo, 44012.0);
    QCOMPARE(store.ZasobKind, 2);
    const TDokComponent c = store.Component(1);
    QCOMPARE(c.NazwaSkl, QStringLiteral("Składnik 1"));
    QCOMPARE(c.IloscAsStr, QStringLiteral("2,00"));
    QCOMPARE(c.Cena, 5.0);
    QCOMPARE(c.WspolczAsStr, QStringLiteral("1,000"));
    QCOMPARE(c.UwzglCzescMca, false);
    QCOMPARE(c.ValueNetto, 20.0);
    QCOMPARE(c.ValueVAT, 1.6);
    QCOMPARE(c.StVAT, QStringLiteral("8%"));
    QVERIFY(store.Component(0).UwzglCzescMca);
}

void tst_SessionStores::documentRefusedKeepsPrevious()
{
    TU_WEBServiceDokData store;
    store.LoadFrom(document(3, QStringLiteral("Pierwszy")));
    TRemDokDetailsGetData refused = document(1, QStringLiteral("Drugi"));
    refused.RetCode = 2;
    store.LoadFrom(refused);
    QCOMPARE(store.TrescOper, QStringLiteral("Pierwszy"));
    QCOMPARE(store.SklNumber, 3);
    QCOMPARE(store.Component(2).NazwaSkl, QStringLiteral("Składnik 2"));
}

void tst_SessionStores::documentReadersCheckBounds()
{
    TRemDokDetailsGetData answer = document(2, QStringLiteral("Krótka lista"));
    answer.UwzglCzescMca.removeLast();
    TU_WEBServiceDokData store;
    store.LoadFrom(answer);
    QCOMPARE(store.UwzglCzescMca.size(), 1);
    QCOMPARE(store.Component(0).ValueNetto, 10.0);
    expectIndexError([&] { store.Component(1); });
    store.Clear();
    QCOMPARE(store.SklNumber, 0);
    expectIndexError([&] { store.Component(0); });
}

QTEST_GUILESS_MAIN(tst_SessionStores)
#include "tst_session_stores.moc"

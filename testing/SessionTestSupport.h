#pragma once

#include "common/Clock.h"
#include "common/DateHelpers.h"
#include "protocol/IZOKA_E_BOK.h"
#include "protocol/SessionToken.h"
#include "testing/MessageRecorder.h"

#include <QDate>
#include <QStringList>

// A clock the test moves by hand; the system clocks come back at the end. It
// drives the wall clock and the monotonic clock together, as real time does;
// stepWallSeconds moves the wall clock alone, as a clock correction does.
class ManualClock
{
public:
    explicit ManualClock(double start) : m_now(start)
    {
        SetClock([this] { return m_now; });
        SetMonotonicClock([this] { return m_monotonicMs; });
    }
    ~ManualClock()
    {
        SetClock({});
        SetMonotonicClock({});
    }
    ManualClock(const ManualClock &) = delete;
    ManualClock &operator=(const ManualClock &) = delete;

    void set(double value)
    {
        m_monotonicMs += qRound64((value - m_now) * 86'400'000.0);
        m_now = value;
    }
    void advanceSeconds(double seconds)
    {
        m_now += seconds / 86400.0;
        m_monotonicMs += qRound64(seconds * 1000.0);
    }
    void stepWallSeconds(double seconds) { m_now += seconds / 86400.0; }

private:
    double m_now;
    qint64 m_monotonicMs = 1'000'000;
};

// Date values written as the service writes them: a decimal number, here with
// a comma (the Polish locale the tests run under).
inline QString DateText(int year, int month, int day)
{
    return QString::number(DateToValue(QDate(year, month, day))).replace(u'.', u',');
}

// A session-begin answer that every store and the session accept: rent and
// water offered, open period June 2020, rent kept since 2010.
inline TRemSessionBeginData SampleSessionBegin()
{
    TRemSessionBeginData a;
    a.RetCode = 0;
    a.SessionToken = EncodeSessionToken(QStringLiteral("4711;ABC;12;43983,25"));
    a.CZMain_Service_F = true;
    a.WOMain_Service_F = true;
    a.SaldaOtherKnt_InfoHandlingKind = 1;
    a.SysCZPeriodEwidActive = DateText(2020, 6, 15);
    a.SysCZPeriodStart = DateText(2010, 1, 1);
    a.SysWOPeriodEwidActive = DateText(2020, 5, 1);
    a.SysWOPeriodStart = DateText(2012, 1, 1);
    a.UserDateEksploatFrom = QStringLiteral("0");
    a.UserDateEksploatTo = QStringLiteral("0");
    a.F_Nazwa = QStringLiteral("Spółdzielnia Mieszkaniowa „Zorza”");
    a.F_Miejscowosc = QStringLiteral("Łódź");
    a.F_UlicaNr = QStringLiteral("Żeromskiego 5");
    a.F_Kind = 1;
    a.U_Imie1 = QStringLiteral("Jadwiga");
    a.U_Nazwisko1 = QStringLiteral("Śliwińska");
    a.Z_Miejscowosc = QStringLiteral("Łódź");
    a.Z_UlicaNr = QStringLiteral("Piotrkowska 12 m. 3");
    for (int slot = 0; slot < 13; ++slot) {
        a.ObrotyCZMain_WN << 100.0 + slot;
        a.ObrotyCZMain_MA << 90.0 + slot;
    }
    a.SaldaWNOtherKnt_ShowF = true;
    return a;
}

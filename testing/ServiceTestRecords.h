#pragma once

#include "protocol/IZOKA_E_BOK.h"

#include <QStringList>

// The records that the answer fixtures in tests/fixtures/soap carry, and a
// field-by-field comparison that names the first property that differs.

namespace ServiceTestRecords {

inline QString show(qint32 value)
{
    return QString::number(value);
}
inline QString show(double value)
{
    return QString::number(value, 'g', 17);
}
inline QString show(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
inline QString show(const QString &value)
{
    return u'"' + value + u'"';
}
template<typename T>
QString show(const QList<T> &values)
{
    QStringList items;
    for (const T &value : values)
        items.append(show(value));
    return u'[' + items.join(u", ") + u']';
}

// Empty when the records agree in every property, else the first difference.
template<typename Record>
QString firstDifference(const Record &actual, const Record &expected)
{
    QString difference;
    ForEachField<Record>([&](const auto &field) {
        if (difference.isEmpty() && !(actual.*(field.member) == expected.*(field.member)))
            difference = QStringLiteral("%1: %2, expected %3")
                             .arg(QLatin1StringView(field.name.data(), qsizetype(field.name.size())),
                                  show(actual.*(field.member)), show(expected.*(field.member)));
    });
    return difference;
}

inline TDoubleDynArray formula(int k, int count = 13)
{
    TDoubleDynArray values;
    for (int i = 0; i < count; ++i)
        values.append(k * 100 + i + 0.25);
    return values;
}

inline TRemInitialCheck initialCheck()
{
    TRemInitialCheck r;
    r.RetCode = 100;
    r.RetCodeAsString = QStringLiteral("Wersja aktualna: A&B <zażółć gęślą jaźń>");
    return r;
}

inline TRemWymiarOplatGetData wymiarOplat()
{
    TRemWymiarOplatGetData r;
    r.RetCode = -7;
    return r;
}

inline TRemChangePasswordData changePassword()
{
    TRemChangePasswordData r;
    r.RetCode = 0;
    r.RetCodeAsString = QStringLiteral("Hasło zmienione.");
    r.SessionToken = QStringLiteral("Qx7#45123.5123#Łk");
    return r;
}

inline TRemSessionBeginData sessionBegin()
{
    TRemSessionBeginData r;
    r.RetCode = 0;
    r.RetCodeAsString = QStringLiteral("OK");
    r.SessionToken = QStringLiteral("ABC123xyz");
    r.CZMain_Service_F = true;
    r.CZOds_Service_F = false;
    r.WOMain_Service_F = true;
    r.WOOds_Service_F = false;
    r.Odpady_Service_F = true;
    r.SaldaOtherKnt_InfoHandlingKind = 2;
    r.SysCZPeriodEwidActive = QStringLiteral("43891");
    r.SysCZPeriodStart = QStringLiteral("40179");
    r.SysWOPeriodEwidActive = QStringLiteral("43891");
    r.SysWOPeriodStart = QStringLiteral("40179.5");
    r.UserDateEksploatFrom = QStringLiteral("36526");
    r.UserDateEksploatTo = QStringLiteral("2958465");
    r.F_Nazwa = QStringLiteral("Spółdzielnia Mieszkaniowa „Zielony Gród”");
    r.F_Miejscowosc = QStringLiteral("Łódź");
    r.F_UlicaNr = QStringLiteral("ul. Żeromskiego 12/3");
    r.F_Kind = 1;
    r.U_Imie1 = QStringLiteral("Józef");
    r.U_Nazwisko1 = QStringLiteral("Kowalczyk-Śliwa");
    r.Z_Miejscowosc = QStringLiteral("Łódź");
    r.Z_UlicaNr = QStringLiteral("ul. Źródlana 5 m. 7");
    r.ObrotyCZMain_WN = {0, 1234.56, -0.01, 1e-5, 1000, 5, 350.2, 350.2, 350.2, 350.2, 350.2, 350.2, 0.1};
    r.ObrotyCZMain_MA = formula(1);
    r.ObrotyCZOds_WN = formula(2);
    r.ObrotyCZOds_MA = formula(3);
    r.ObrotyWOMain_WN = formula(4);
    r.ObrotyWOMain_MA = formula(5);
    r.ObrotyWOOds_WN = formula(6);
    r.ObrotyWOOds_MA = formula(7);
    r.ObrotyOdpady_WN = formula(8);
    r.ObrotyOdpady_MA = formula(9);
    r.SaldaWNOtherKnt_ShowF = true;
    return r;
}

inline TRemYearRozrachGetData yearRozrach()
{
    TRemYearRozrachGetData r;
    r.RetCode = 0;
    r.SaldaOtherKnt_InfoHandlingKind = 1;
    r.ObrotyCZMain_WN = formula(0);
    r.ObrotyCZMain_MA = formula(1);
    r.ObrotyCZOds_WN = {};
    r.ObrotyCZOds_MA = formula(3);
    r.ObrotyWOMain_WN = formula(4);
    r.ObrotyWOMain_MA = formula(5);
    r.ObrotyWOOds_WN = formula(6);
    r.ObrotyWOOds_MA = formula(7);
    r.ObrotyOdpady_WN = formula(8);
    r.ObrotyOdpady_MA = formula(9);
    r.SaldaWNOtherKnt_ShowF = false;
    return r;
}

inline TRemKartotekaMcaGetData kartotekaMca()
{
    TRemKartotekaMcaGetData r;
    r.RetCode = 0;
    r.RetCodeAsString = QStringLiteral("OK");
    r.KontoKsg = 2;
    r.Year = 2020;
    r.Month = 3;
    r.KsgNumber = 3;
    r.KsgStrona = {0, 1, 0};
    r.KsgTypDok = {1, 3, 6};
    r.KsgID_Dok_Master = {1001, 0, -5};
    r.KsgDataOperacji = {43891, 43895.5, 43921};
    r.KsgDataOperRozrach = {43891, 43895, 43921.75};
    r.KsgValue = {120.5, -120.5, 0.03};
    r.KsgTrescOper = {QStringLiteral("Naliczenie opłat za wodę"), QStringLiteral("Wpłata <bank> & spółka"),
                      QStringLiteral("  spacje  ")};
    r.KsgNrDokMaster = {QStringLiteral("N/03/2020"), QString(), QStringLiteral("PK 7")};
    return r;
}

inline TRemDokDetailsGetData dokDetails()
{
    TRemDokDetailsGetData r;
    r.RetCode = 0;
    r.DataOperacji = 43891;
    r.DataOperRozrach = 43891.5;
    r.DataNalFrom = 43891;
    r.DataNalTo = 43921;
    r.TrescOper = QStringLiteral("Naliczenie za marzec");
    r.DokKind = 1;
    r.ZasobKind = 2;
    r.KontoKsg = 0;
    r.SklNumber = 2;
    r.NazwaSkl = {QStringLiteral("Eksploatacja"), QStringLiteral("Fundusz remontowy")};
    r.IloscAsStr = {QStringLiteral("54,30"), QStringLiteral("1")};
    r.Cena = {2.5, 1.75};
    r.WspolczAsStr = {QStringLiteral("1,000"), QStringLiteral("0,5")};
    r.UwzglCzescMca = {true, false};
    r.ValueNetto = {135.75, 0.88};
    r.ValueVAT = {10.86, 0};
    r.StVAT = {QStringLiteral("8%"), QStringLiteral("zw.")};
    return r;
}

} // namespace ServiceTestRecords

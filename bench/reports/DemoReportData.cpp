#include "DemoReportData.h"

#include "common/DateHelpers.h"

#include <QDate>

using namespace Qt::Literals::StringLiterals;

DemoReportData::DemoReportData(int ledgerEntries)
{
    session.ServiceDate = DateToValue(QDate(2020, 4, 2));
    session.Z_UlicaNr = u"Jarzębinowa 14/27"_s;
    session.Z_Miejscowosc = u"31-416 Kraków"_s;
    session.U_Nazwisko1 = u"Wiśniewski"_s;
    session.U_Imie1 = u"Tadeusz"_s;
    session.U_Nazwisko2 = u"Wiśniewska"_s;
    session.U_Imie2 = u"Małgorzata"_s;

    yearData.ShowYear = 2020;
    yearData.SaldaOtherKnt_InfoHandlingKind = 1;
    yearData.SaldaWNOtherKnt_ShowF = true;
    yearData.ObrotyCZMain_WN = {412.35, 689.20, 689.20, 689.20, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    yearData.ObrotyCZMain_MA = {0, 1000.00, 689.20, 500.00, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    yearData.ObrotyWOMain_WN = {0, 96.40, 88.15, 102.70, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    yearData.ObrotyWOMain_MA = {35.10, 96.40, 88.15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

    ledger.KontoKsg = 2;
    ledger.Year = 2020;
    ledger.Month = 3;
    static const QString texts[] = {u"Zimna woda i ścieki - zaliczka"_s, u"Ciepła woda - zaliczka"_s,
                                    u"Rozliczenie wodomierzy za II półrocze"_s, u"Korekta odczytu wodomierza"_s};
    for (int i = 0; i < ledgerEntries; ++i) {
        const int kind = i % 4 == 1 ? 3 : i % 7 == 3 ? 4 : i % 11 == 5 ? 6 : 1;
        const bool debit = kind == 1 || kind == 6;
        ledger.KsgStrona.append(debit ? 0 : 1);
        ledger.KsgTypDok.append(kind);
        ledger.KsgID_Dok_Master.append(20000 + i);
        ledger.KsgDataOperacji.append(DateToValue(QDate(2020, 3, i % 28 + 1)));
        ledger.KsgDataOperRozrach.append(DateToValue(QDate(2020, 3, 10)));
        ledger.KsgValue.append(debit ? 25.0 + (i * 37 % 90) + (i % 100) / 100.0 : 40.0 + i % 60);
        ledger.KsgTrescOper.append(kind == 3 || kind == 4 ? QString() : texts[i % 4]);
        ledger.KsgNrDokMaster.append(kind == 3 ? u"WB/2020/03/%1"_s.arg(i + 1) : u"KP/2020/%1"_s.arg(i + 1));
    }
    ledger.KsgNumber = ledgerEntries;

    details.DataOperacji = DateToValue(QDate(2020, 3, 1));
    details.DataOperRozrach = DateToValue(QDate(2020, 3, 10));
    details.DataNalFrom = DateToValue(QDate(2020, 3, 1));
    details.DataNalTo = DateToValue(QDate(2020, 3, 31));
    details.TrescOper = u"Opłaty za lokal - marzec 2020"_s;
    details.DokKind = 1;
    details.KontoKsg = 0;
    const struct
    {
        QString name, quantity;
        double price;
        QString coefficient;
        double net, vat;
    } components[] = {
        {u"Eksploatacja"_s, u"52,30"_s, 2.45, u"1,0000"_s, 128.14, 10.25},
        {u"Fundusz remontowy"_s, u"52,30"_s, 3.10, u"1,0000"_s, 162.13, 0},
        {u"Centralne ogrzewanie"_s, u"52,30"_s, 4.12, u"1,0000"_s, 215.48, 17.24},
        {u"Podgrzanie wody"_s, u"3,400"_s, 18.90, u"1,0000"_s, 64.26, 5.14},
        {u"Dźwig osobowy"_s, u"2"_s, 9.50, u"1,0000"_s, 19.00, 1.52},
        {u"Antena zbiorcza"_s, u"1"_s, 6.00, u"0,5000"_s, 3.00, 0.69},
        {u"Domofon"_s, u"1"_s, 4.50, u"1,0000"_s, 4.50, 1.04},
        {u"Wywóz nieczystości"_s, u"2"_s, 21.00, u"1,0000"_s, 42.00, 3.36},
    };
    for (const auto &c : components) {
        details.NazwaSkl.append(c.name);
        details.IloscAsStr.append(c.quantity);
        details.Cena.append(c.price);
        details.WspolczAsStr.append(c.coefficient);
        details.UwzglCzescMca.append(false);
        details.ValueNetto.append(c.net);
        details.ValueVAT.append(c.vat);
        details.StVAT.append(c.vat > 0 ? u"8%"_s : u"zw"_s);
    }
    details.SklNumber = int(std::size(components));
}

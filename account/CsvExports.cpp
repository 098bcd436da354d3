#include "account/CsvExports.h"

#include "account/BalanceRules.h"
#include "account/ChargePeriod.h"
#include "account/DisplayTexts.h"
#include "account/TU_WEBServiceDokData.h"
#include "account/TU_WEBServiceKsgData.h"
#include "account/YearSettlementFigures.h"

#include <array>

using namespace Qt::Literals::StringLiterals;

QString YearTableMonthName(int month)
{
    static const std::array<QString, 12> names{u"styczeń"_s,  u"luty"_s,        u"marzec"_s,   u"kwiecień"_s,
                                               u"maj"_s,      u"czerwiec"_s,    u"lipiec"_s,   u"sierpień"_s,
                                               u"wrzesień"_s, u"październik"_s, u"listopad"_s, u"grudzień"_s};
    return month >= 1 && month <= 12 ? names[std::size_t(month - 1)] : QString();
}

QString CsvFileName(const QString &what, int year, int category, int month)
{
    QString name = what + u'-' + QString::number(year);
    if (month > 0)
        name += u"-%1"_s.arg(month, 2, 10, QLatin1Char('0'));
    QString categoryPart = CategoryText(category);
    categoryPart.replace(u" - "_s, u"-"_s).replace(u' ', u'-');
    if (!categoryPart.isEmpty())
        name += u'-' + categoryPart;
    return name + u".csv"_s;
}

CsvTable YearTableCsv(const YearSettlementFigures &f)
{
    CsvTable t;
    t.Header = {u"Okres"_s, u"Obciążenia"_s, u"Zapłaty"_s, u"Saldo miesiąca"_s, u"Saldo narastająco"_s, u"Opis"_s};
    // The opening row has no month balance; the table shows "0,00" there.
    t.Rows.append({u"Stan na początek roku"_s, CsvAmount(f.ObrotyWN[0]), CsvAmount(f.ObrotyMA[0]), CsvAmount(0),
                   CsvAmount(f.SaldoNar[0]), QString()});
    for (int m = 1; m <= f.MonthCount; ++m) {
        t.Rows.append({YearTableMonthName(m), CsvAmount(f.ObrotyWN[m]), CsvAmount(f.ObrotyMA[m]),
                       CsvAmount(f.SaldoMca(m)), CsvAmount(f.SaldoNar[m]), QString()});
    }
    t.Rows.append({u"Razem"_s, CsvAmount(f.RazemWN), CsvAmount(f.RazemMA), QString(), CsvAmount(f.SaldoNarRazem()),
                   BalanceDescription(f.SaldoNarRazem())});
    return t;
}

CsvTable MonthCardCsv(const TU_WEBServiceKsgData &ledger, const MonthCardFigures &figures)
{
    CsvTable t;
    t.Header = {u"Lp."_s,        u"Data operacji"_s, u"Termin płatności"_s,      u"Typ dokumentu"_s,
                u"Obciążenia"_s, u"Zapłaty"_s,       u"Treść operacji / Saldo"_s};
    for (int i = 0; i < ledger.KsgNumber; ++i) {
        const TKsgEntry e = ledger.Entry(i);
        const bool debit = MonthCardFigures::IsDebit(e.Strona);
        QString text = e.TrescOper;
        // Payments booked without a text are known by their document number.
        if (text.isEmpty() && (e.TypDok == 3 || e.TypDok == 4 || e.TypDok == 5))
            text = e.NrDokMaster;
        t.Rows.append({QString::number(i + 1), CsvDate(e.DataOperacji), debit ? CsvDate(e.DataOperRozrach) : QString(),
                       DocumentKindText(e.TypDok), debit ? CsvAmount(e.Value) : QString(),
                       debit ? QString() : CsvAmount(e.Value), text});
    }
    auto state = [&t](const QString &first, const QString &name, const AccountState &s) {
        t.Rows.append(
            {first, QString(), QString(), name, CsvAmount(s.ObrotyWN), CsvAmount(s.ObrotyMA), CsvAmount(s.Saldo)});
    };
    state(QString(), u"Stan początkowy:"_s, figures.Pocz);
    state(QString::number(ledger.KsgNumber) + u" oper."_s, u"W miesiącu:"_s, figures.Mca);
    state(QString(), u"Narastająco:"_s, figures.Nar);
    return t;
}

CsvTable ChargeDetailCsv(const TU_WEBServiceDokData &details)
{
    const bool partial = IsPartialMonth(details.DataNalFrom, details.DataNalTo);
    CsvTable t;
    t.Header = {u"Lp."_s, u"Nazwa"_s, u"Ilość"_s, u"Cena"_s, u"Współcz."_s, u"Brutto"_s};
    if (partial)
        t.Header.append(u"Część miesiąca"_s);
    double gross = 0;
    for (int i = 0; i < details.SklNumber; ++i) {
        const TDokComponent c = details.Component(i);
        const double rowGross = c.ValueNetto + c.ValueVAT;
        gross += rowGross;
        QStringList row{QString::number(i + 1), c.NazwaSkl,     c.IloscAsStr,
                        CsvAmount(c.Cena),      c.WspolczAsStr, CsvAmount(rowGross)};
        if (partial)
            row.append(c.UwzglCzescMca ? u"*"_s : QString());
        t.Rows.append(row);
    }
    QStringList total{QString(), QString(), QString(), QString(), u"Razem:"_s, CsvAmount(gross)};
    if (partial)
        total.append(QString());
    t.Rows.append(total);
    return t;
}

#include "app/AccountHeader.h"

#include "account/TU_WEBServiceSession.h"

using namespace Qt::Literals::StringLiterals;

std::optional<AccountHeaderTexts> AccountHeaderTexts::FromSession(const TU_WEBServiceSession &s)
{
    if (s.State != ssActive && s.State != ssExpired)
        return std::nullopt;
    AccountHeaderTexts t;
    t.Firma = s.F_Kind == 1 ? u"Spółdzielnia Mieszkaniowa:"_s : u"Wspólnota Mieszkaniowa:"_s;
    t.FirmaName = s.F_Nazwa;
    t.FirmaAdress = u"ul. "_s + s.F_UlicaNr + u", "_s + s.F_Miejscowosc;
    t.ZasobUlicaNr = u"ul. "_s + s.Z_UlicaNr;
    t.ZasobMiejsc = s.Z_Miejscowosc;
    t.User1Name = s.U_Nazwisko1 + u' ' + s.U_Imie1;
    t.User2Name = s.U_Nazwisko2 + u' ' + s.U_Imie2;
    return t;
}

OtherSettlementsNotice OtherSettlementsNotice::For(int infoHandlingKind, bool obligationsShown)
{
    switch (infoHandlingKind) {
    case 1:
        return {obligationsShown,
                u"Istnieją jeszcze inne niezapłacone zobowiązania nieuwzględnione w serwisie.\n"
                u"Szczegóły - prosimy o kontakt ze Spółdzielnią."_s,
                QColor(0xFF, 0x00, 0x00)};
    case 2:
    case 3:
        return {true,
                u"Informacje na temat innych rozrachunków, niż pokazywane w serwisie,\n"
                u"można uzyskać w biurze Spółdzielni."_s,
                QColor(0x00, 0x00, 0x00)};
    default: return {false, std::nullopt, QColor()};
    }
}

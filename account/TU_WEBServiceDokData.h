#pragma once

#include "account/StoreArrays.h"
#include "protocol/IZOKA_E_BOK.h"

// One component of a charge document, read with bounds checks.
struct TDokComponent
{
    QString NazwaSkl;
    QString IloscAsStr; // quantity, formatted by the service
    double Cena = 0; // unit price, złoty
    QString WspolczAsStr; // coefficient, formatted by the service
    bool UwzglCzescMca = false; // computed for part of a month
    double ValueNetto = 0;
    double ValueVAT = 0;
    QString StVAT;
};

// The document details store: the header and the components of the charge
// document of the last successful details query. Component i is element i of
// each of the eight arrays; lengths are kept as delivered.
class TU_WEBServiceDokData
{
public:
    double DataOperacji = 0;
    double DataOperRozrach = 0;
    double DataNalFrom = 0;
    double DataNalTo = 0;
    QString TrescOper; // narrow text
    qint32 DokKind = 0;
    qint32 ZasobKind = 0;
    qint32 KontoKsg = 0;
    qint32 SklNumber = 0;
    TStringDynArray NazwaSkl;
    TStringDynArray IloscAsStr;
    TDoubleDynArray Cena;
    TStringDynArray WspolczAsStr;
    TBooleanDynArray UwzglCzescMca;
    TDoubleDynArray ValueNetto;
    TDoubleDynArray ValueVAT;
    TStringDynArray StVAT;

    static constexpr auto Arrays()
    {
        using S = TU_WEBServiceDokData;
        return std::tuple{DOMVEL_STORE_ARRAY(S, NazwaSkl),      DOMVEL_STORE_ARRAY(S, IloscAsStr),
                          DOMVEL_STORE_ARRAY(S, Cena),          DOMVEL_STORE_ARRAY(S, WspolczAsStr),
                          DOMVEL_STORE_ARRAY(S, UwzglCzescMca), DOMVEL_STORE_ARRAY(S, ValueNetto),
                          DOMVEL_STORE_ARRAY(S, ValueVAT),      DOMVEL_STORE_ARRAY(S, StVAT)};
    }

    // Dates and numbers 0, text empty, every array empty.
    void Clear();

    // Replaces the whole content with the answer's when its RetCode is 0; a
    // non-zero RetCode changes nothing. The operation text becomes narrow
    // text, the arrays private copies. If taking the answer over fails, the
    // previous content stays.
    void LoadFrom(const TRemDokDetailsGetData &answer);

    // Component i; IndexError when any of its arrays is shorter than i + 1.
    TDokComponent Component(qsizetype i) const;
};

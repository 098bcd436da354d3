#pragma once

#include "account/StoreArrays.h"
#include "protocol/IZOKA_E_BOK.h"

// One ledger entry of the month ledger, read with bounds checks.
struct TKsgEntry
{
    qint32 Strona = 0; // 0 debit (a charge), anything else a credit (a payment)
    qint32 TypDok = 0; // document kind (DocumentKindText)
    qint32 ID_Dok_Master = 0; // key of the document details query
    double DataOperacji = 0; // date value
    double DataOperRozrach = 0;
    double Value = 0; // złoty, as delivered
    QString TrescOper;
    QString NrDokMaster;
};

// The month ledger store: the entries booked in one month on one category's
// account, from the last successful ledger query. Entry i is element i of
// each of the eight arrays, in the order delivered; lengths are kept as
// delivered, so every read goes through a bounds check.
class TU_WEBServiceKsgData
{
public:
    qint32 KontoKsg = 0; // category index 0 to 4
    qint32 Year = 0;
    qint32 Month = 0;
    qint32 KsgNumber = 0; // number of entries; 0: the month has no documents
    TBoundArray KsgStrona;
    TBoundArray KsgTypDok;
    TBoundArray KsgID_Dok_Master;
    TDoubleDynArray KsgDataOperacji;
    TDoubleDynArray KsgDataOperRozrach;
    TDoubleDynArray KsgValue;
    TStringDynArray KsgTrescOper;
    TStringDynArray KsgNrDokMaster;

    static constexpr auto Arrays()
    {
        using S = TU_WEBServiceKsgData;
        return std::tuple{DOMVEL_STORE_ARRAY(S, KsgStrona),          DOMVEL_STORE_ARRAY(S, KsgTypDok),
                          DOMVEL_STORE_ARRAY(S, KsgID_Dok_Master),   DOMVEL_STORE_ARRAY(S, KsgDataOperacji),
                          DOMVEL_STORE_ARRAY(S, KsgDataOperRozrach), DOMVEL_STORE_ARRAY(S, KsgValue),
                          DOMVEL_STORE_ARRAY(S, KsgTrescOper),       DOMVEL_STORE_ARRAY(S, KsgNrDokMaster)};
    }

    // Numbers 0, every array empty.
    void Clear();

    // Replaces the whole content with the answer's when its RetCode is 0; a
    // non-zero RetCode changes nothing. The arrays become private copies. If
    // taking the answer over fails, the previous content stays.
    void LoadFrom(const TRemKartotekaMcaGetData &answer);

    // Entry i; IndexError when any of its arrays is shorter than i + 1.
    TKsgEntry Entry(qsizetype i) const;
};

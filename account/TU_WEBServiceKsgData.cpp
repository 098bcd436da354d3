#include "account/TU_WEBServiceKsgData.h"

#include "common/Errors.h"

void TU_WEBServiceKsgData::Clear()
{
    *this = TU_WEBServiceKsgData();
}

void TU_WEBServiceKsgData::LoadFrom(const TRemKartotekaMcaGetData &answer)
{
    if (answer.RetCode != 0)
        return;
    // Filled aside and swapped in, so that a failure leaves the old ledger.
    TU_WEBServiceKsgData loaded;
    loaded.KontoKsg = answer.KontoKsg;
    loaded.Year = answer.Year;
    loaded.Month = answer.Month;
    loaded.KsgNumber = answer.KsgNumber;
    CopyArrays(loaded, answer);
    *this = std::move(loaded);
}

TKsgEntry TU_WEBServiceKsgData::Entry(qsizetype i) const
{
    return {CheckedAt(KsgStrona, i),       CheckedAt(KsgTypDok, i),          CheckedAt(KsgID_Dok_Master, i),
            CheckedAt(KsgDataOperacji, i), CheckedAt(KsgDataOperRozrach, i), CheckedAt(KsgValue, i),
            CheckedAt(KsgTrescOper, i),    CheckedAt(KsgNrDokMaster, i)};
}

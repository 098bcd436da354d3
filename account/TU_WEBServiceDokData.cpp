#include "account/TU_WEBServiceDokData.h"

#include "common/AnsiText.h"
#include "common/Errors.h"

void TU_WEBServiceDokData::Clear()
{
    *this = TU_WEBServiceDokData();
}

void TU_WEBServiceDokData::LoadFrom(const TRemDokDetailsGetData &answer)
{
    if (answer.RetCode != 0)
        return;
    // Filled aside and swapped in, so that a failure leaves the old document.
    TU_WEBServiceDokData loaded;
    loaded.DataOperacji = answer.DataOperacji;
    loaded.DataOperRozrach = answer.DataOperRozrach;
    loaded.DataNalFrom = answer.DataNalFrom;
    loaded.DataNalTo = answer.DataNalTo;
    loaded.TrescOper = ToAnsiText(answer.TrescOper);
    loaded.DokKind = answer.DokKind;
    loaded.ZasobKind = answer.ZasobKind;
    loaded.KontoKsg = answer.KontoKsg;
    loaded.SklNumber = answer.SklNumber;
    CopyArrays(loaded, answer);
    *this = std::move(loaded);
}

TDokComponent TU_WEBServiceDokData::Component(qsizetype i) const
{
    return {CheckedAt(NazwaSkl, i),      CheckedAt(IloscAsStr, i), CheckedAt(Cena, i),     CheckedAt(WspolczAsStr, i),
            CheckedAt(UwzglCzescMca, i), CheckedAt(ValueNetto, i), CheckedAt(ValueVAT, i), CheckedAt(StVAT, i)};
}

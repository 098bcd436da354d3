#pragma once

#include "engine/ReportFont.h"

#include <QString>

class ReportBand;
class TU_WEBServiceSession;

// What the title bands of the account reports share: the service date at the
// top right and the block with the dwelling's address and the account
// holders' names, plus the fonts and date texts of those reports.
namespace ReportHeading {

// Arial (printed as Liberation Sans) and Courier New (Liberation Mono).
ReportFont Sans(double points, bool bold = false, bool italic = false);
ReportFont Mono(double points, bool bold = false);

// Adds "Rozrachunki roku" (L_Titel) and the empty QRL_Tytul1 beside it.
void AddTitle(ReportBand &title);

// Adds QRL_Date with its left edge at dateLeftMm, the address labels and the
// two name labels with their left edge at userLeftMm (millimetres from the
// band's top left).
void AddAccountBlock(ReportBand &title, double dateLeftMm, double userLeftMm);

// Fills the labels of AddAccountBlock from the session record. The second
// name line prints only when the second surname is not blank.
void FillAccountBlock(ReportBand &title, const TU_WEBServiceSession &session);

} // namespace ReportHeading

#include "reports/ReportHeading.h"

#include "account/DisplayTexts.h"

#include "account/TU_WEBServiceSession.h"
#include "common/DateHelpers.h"
#include "common/TLocale_Class.h"
#include "engine/ReportBand.h"

namespace ReportHeading {

ReportFont Sans(double points, bool bold, bool italic)
{
    return ReportFont(QStringLiteral("Arial"), points, bold, italic);
}

ReportFont Mono(double points, bool bold)
{
    return ReportFont(QStringLiteral("Courier New"), points, bold);
}

void AddTitle(ReportBand &title)
{
    title.addLabel(QStringLiteral("L_Titel"), 1.1, 1.1)
        .setAutoSize(true)
        .setFont(Sans(11, true))
        .setCaption(QStringLiteral("Rozrachunki roku"));
    title.addLabel(QStringLiteral("QRL_Tytul1"), 37.3, 1.1).setAutoSize(true).setFont(Sans(11, true));
}

void AddAccountBlock(ReportBand &title, double dateLeftMm, double userLeftMm)
{
    title.addLabel(QStringLiteral("QRL_Date"), dateLeftMm, 1.1).setAutoSize(true).setFont(Sans(9));
    title.addLabel(QStringLiteral("QRL_ZasobTytul"), 1.3, 16.1, 12.8)
        .setAlignment(TextAlignment::Right)
        .setFont(Sans(9))
        .setCaption(QStringLiteral("Adres:"));
    title.addLabel(QStringLiteral("QRL_ZasobUlicaNr"), 15.0, 16.1).setAutoSize(true).setFont(Sans(9, true));
    title.addLabel(QStringLiteral("QRL_ZasobMiejsc"), 15.0, 20.5).setAutoSize(true).setFont(Sans(9, true));
    title.addLabel(QStringLiteral("QRL_UserTytul"), 85.9, 16.1, 17.9)
        .setAlignment(TextAlignment::Right)
        .setFont(Sans(9))
        .setCaption(QStringLiteral("Użytkownik:"));
    title.addLabel(QStringLiteral("QRL_User1"), userLeftMm, 16.1).setAutoSize(true).setFont(Sans(9, true));
    title.addLabel(QStringLiteral("QRL_User2"), userLeftMm, 20.5).setAutoSize(true).setFont(Sans(9, true));
}

void FillAccountBlock(ReportBand &title, const TU_WEBServiceSession &session)
{
    title.label(QStringLiteral("QRL_Date")).setCaption(QStringLiteral("Data: ") + ShortDateText(session.ServiceDate));
    title.label(QStringLiteral("QRL_ZasobUlicaNr")).setCaption(QStringLiteral("ul. ") + session.Z_UlicaNr);
    title.label(QStringLiteral("QRL_ZasobMiejsc")).setCaption(session.Z_Miejscowosc);
    title.label(QStringLiteral("QRL_User1")).setCaption(session.U_Nazwisko1 + u' ' + session.U_Imie1);
    title.label(QStringLiteral("QRL_User2"))
        .setCaption(session.U_Nazwisko2 + u' ' + session.U_Imie2)
        .setEnabled(!session.U_Nazwisko2.trimmed().isEmpty());
}

} // namespace ReportHeading

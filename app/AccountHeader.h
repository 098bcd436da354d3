#pragma once

#include <QColor>
#include <QString>

#include <optional>

class TU_WEBServiceSession;

// The texts of the main window's account header, from the session record.
struct AccountHeaderTexts
{
    QString Firma; // "Spółdzielnia Mieszkaniowa:" or "Wspólnota Mieszkaniowa:"
    QString FirmaName;
    QString FirmaAdress; // "ul. <street and number>, <town>"
    QString ZasobUlicaNr; // "ul. <street and number>" of the dwelling
    QString ZasobMiejsc;
    QString User1Name; // "<surname> <first name>"
    QString User2Name; // a single space when there is no second holder

    // The header for the session; nothing while the session is neither active
    // nor expired (never logged in, logged out).
    static std::optional<AccountHeaderTexts> FromSession(const TU_WEBServiceSession &session);
};

// The notice about settlements the service does not show.
struct OtherSettlementsNotice
{
    bool Visible = false;
    // The text and its colour; none: leave the label as it is.
    std::optional<QString> Text;
    QColor Colour;

    // Kind 1 warns of other unpaid obligations (only when `obligationsShown`),
    // kinds 2 and 3 give a general note, any other kind hides the notice.
    static OtherSettlementsNotice For(int infoHandlingKind, bool obligationsShown);
};

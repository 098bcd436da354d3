#pragma once

#include <QString>

// Small texts the views, reports and dialogs share.

inline constexpr int kCategoryCount = 5;

// The quoted name of the charge category 0 to 4 ("\"czynsze\"", ...), the
// double quotes included; empty for any other index.
QString CategoryName(int index);

// The text of a ledger entry's document kind: 1 "naliczenie opłaty",
// 3 "wpłata bankowa", 4 "wpłata kasa", 5 "wpłata MOPS", anything else
// "przeksięgowanie".
QString DocumentKindText(int kind);

// The refusal for an empty required field, naming the field by the caption of
// its label: trailing colons and spaces and every "&" left out, the rest in
// guillemets.
QString FieldRequiredMessage(const QString &labelCaption);

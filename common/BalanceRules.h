#pragma once

#include <QColor>
#include <QString>

// A balance is credits minus debits: positive is an overpayment, negative an
// underpayment. Amounts are doubles as delivered, so a tolerance decides.
inline constexpr double kBalanceTolerance = 0.00001;

inline bool IsUnderpayment(double balance) { return balance < -kBalanceTolerance; }
inline bool IsOverpayment(double balance) { return balance > kBalanceTolerance; }

// Red for an underpayment, green for anything else (zero included).
QColor BalanceColour(double balance);

// "(niedopłata)", "(nadpłata)" or empty.
QString BalanceDescription(double balance);

inline const QColor kColourRed{0xFF, 0x00, 0x00};
inline const QColor kColourGreen{0x00, 0x80, 0x00};
inline const QColor kColourLime{0x00, 0xFF, 0x00};
inline const QColor kColourNavy{0x00, 0x00, 0x80};
inline const QColor kColourAqua{0x00, 0xFF, 0xFF};
inline const QColor kColourYellow{0xFF, 0xFF, 0x00};

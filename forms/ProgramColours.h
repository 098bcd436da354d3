#pragma once

#include <QColor>

// The colours of the program's windows.
inline const QColor kColourRed{0xFF, 0x00, 0x00};
inline const QColor kColourGreen{0x00, 0x80, 0x00};
inline const QColor kColourLime{0x00, 0xFF, 0x00};
inline const QColor kColourNavy{0x00, 0x00, 0x80};
inline const QColor kColourAqua{0x00, 0xFF, 0xFF};
inline const QColor kColourYellow{0xFF, 0xFF, 0x00};

#pragma once

#include <QtGlobal>

// Horizontal alignment of a label's text in its box. The values are stored in
// print files; do not renumber.
enum class TextAlignment : quint8 { Left = 0, Center = 1, Right = 2 };

constexpr Qt::Alignment ToQtAlignment(TextAlignment alignment)
{
    switch (alignment) {
    case TextAlignment::Center: return Qt::AlignHCenter;
    case TextAlignment::Right: return Qt::AlignRight;
    case TextAlignment::Left: break;
    }
    return Qt::AlignLeft;
}

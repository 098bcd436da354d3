#pragma once

#include <QString>

class QWidget;
class TWSpeedButton;

// A print or preview speed button of a window's tool strip: 31 x 31 pixels at
// (x, 6), with its hint and a 22-pixel glyph.
TWSpeedButton *ToolbarButton(QWidget *parent, const QString &name, const QString &hint, const QString &glyph, int x);

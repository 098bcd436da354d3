#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// Where the account windows open, as plain figures.

// The system's caption height plus its border width: the step by which a
// window opens down and to the right of its owner.
int CaptionStep(const QWidget *widget);

// The month card's top-left corner: one caption step down and right of its
// owner's corner; centred horizontally on the screen instead when it would
// stick out past the screen's right edge (halves rounded toward zero).
QPoint MonthCardPosition(QPoint ownerTopLeft, int captionStep, const QRect &screen, int windowWidth);

// The charge detail's top: at the anchor, or, when the window's bottom would
// lie below the screen, above the clicked row (never above the screen's top).
int ChargeDetailTop(int anchorY, int windowHeight, int rowHeight, const QRect &screen);

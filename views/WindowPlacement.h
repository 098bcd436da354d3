#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

// Where the account windows open, as plain figures.

// The system's caption height plus its border width: the step by which a
// window opens down and to the right of its owner.
int CaptionStep(const QWidget *widget);

// The decoration (title bar and borders) the window system puts around a
// top-level window. A window not yet shown has none known: it is taken from
// `shownWindow`, a window of the program already on screen with the same
// decoration, or, when there is none, from the style's title bar height and a
// one-pixel border.
QMargins WindowFrameMargins(const QWidget *shownWindow, const QWidget *styleSource);

// The month card's top-left corner: one caption step down and right of its
// owner's corner; centred horizontally on the screen instead when it would
// stick out past the screen's right edge (halves rounded toward zero).
// `windowWidth` is the outer width, borders included.
QPoint MonthCardPosition(QPoint ownerTopLeft, int captionStep, const QRect &screen, int windowWidth);

// The charge detail's top: at the anchor, or, when the window's bottom would
// lie below the screen, above the clicked row (never above the screen's top).
// `windowHeight` is the outer height, title bar and borders included.
int ChargeDetailTop(int anchorY, int windowHeight, int rowHeight, const QRect &screen);

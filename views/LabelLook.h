#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// How a label of the account panels and windows looks; each default keeps
// what the label inherits from its parent.
struct LabelLook
{
    Qt::Alignment alignment = Qt::AlignLeft; // always centred vertically
    bool bold = false;
    QColor colour; // text colour; invalid: the palette's window text
    int pixelSize = 0; // font size in pixels; 0: the parent's
    int tag = 0; // the "tag" property that marks a group of labels; 0: none
};

// A label with the object name `name` on `parent`. A geometry with a width
// places the label there; a geometry of width 0 sizes it to its text at the
// geometry's top left.
QLabel *AddLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                 const LabelLook &look = {});

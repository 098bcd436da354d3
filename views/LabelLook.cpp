#include "views/LabelLook.h"

#include <QLabel>

QLabel *AddLabel(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                 const LabelLook &look)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    if (look.bold || look.pixelSize > 0) {
        QFont f = label->font();
        f.setBold(look.bold);
        if (look.pixelSize > 0)
            f.setPixelSize(look.pixelSize);
        label->setFont(f);
    }
    if (look.colour.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, look.colour);
        label->setPalette(p);
    }
    label->setAlignment(look.alignment | Qt::AlignVCenter);
    if (look.tag)
        label->setProperty("tag", look.tag);
    if (geometry.width() > 0) {
        label->setGeometry(geometry);
    } else {
        label->adjustSize();
        label->move(geometry.topLeft());
    }
    return label;
}

#include "views/ToolbarButton.h"

#include "controls/TWSpeedButton.h"

TWSpeedButton *ToolbarButton(QWidget *parent, const QString &name, const QString &hint, const QString &glyph, int x)
{
    auto *button = new TWSpeedButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->SetGlyph(glyph);
    button->setIconSize(QSize(22, 22));
    button->setGeometry(x, 6, 31, 31);
    return button;
}

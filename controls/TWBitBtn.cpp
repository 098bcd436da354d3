#include "controls/TWBitBtn.h"

#include "controls/ProgramGlyph.h"

TWBitBtn::TWBitBtn(QWidget *parent) : TWButton(parent)
{
}

TWBitBtn::TWBitBtn(const QString &caption, QWidget *parent) : TWButton(caption, parent)
{
}

void TWBitBtn::SetGlyph(const QString &resourceName)
{
    setIcon(ProgramGlyph(resourceName));
}

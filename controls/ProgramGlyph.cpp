#include "controls/ProgramGlyph.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

void InitProgramResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(registered);
}

QString ProgramGlyphPath(const QString &name)
{
    return u":/glyphs/"_s + name;
}

QIcon ProgramGlyph(const QString &name)
{
    InitProgramResources();
    const QString path = ProgramGlyphPath(name);
    if (!QFile::exists(path))
        return QIcon();
    return QIcon(path);
}

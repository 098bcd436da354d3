#include "controls/ProgramGlyph.h"

#include <QFile>

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
    return QStringLiteral(":/glyphs/") + name;
}

QIcon ProgramGlyph(const QString &name)
{
    InitProgramResources();
    const QString path = ProgramGlyphPath(name);
    if (!QFile::exists(path))
        return QIcon();
    return QIcon(path);
}

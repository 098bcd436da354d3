#include "controls/ProgramGlyph.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

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
    // With the suffix the icon picks its engine by name; without it, it would
    // load the whole MIME database to sniff the content.
    return u":/glyphs/"_s + name + u".svg"_s;
}

QIcon ProgramGlyph(const QString &name)
{
    InitProgramResources();
    // A glyph stands on many buttons: one icon each, parsed once. The icons
    // go with the application, before the toolkit's own globals.
    static QHash<QString, QIcon> loaded;
    static const bool cleared = [] {
        qAddPostRoutine([] { loaded.clear(); });
        return true;
    }();
    Q_UNUSED(cleared);
    if (const auto found = loaded.constFind(name); found != loaded.cend())
        return *found;
    const QString path = ProgramGlyphPath(name);
    const QIcon icon = QFile::exists(path) ? QIcon(path) : QIcon();
    loaded.insert(name, icon);
    return icon;
}

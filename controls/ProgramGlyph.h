#pragma once

#include <QIcon>
#include <QString>

// Registers the program's resources (button glyphs). They live in a static
// library, so the registration must be referenced once; ProgramGlyph does it.
void InitProgramResources();

// The button glyph `name` ("BUT_OK", "BUT_CANCEL", ...) from the program's
// resources; a null icon for an unknown name.
QIcon ProgramGlyph(const QString &name);

// The resource path of glyph `name`.
QString ProgramGlyphPath(const QString &name);

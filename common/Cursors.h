#pragma once

#include <Qt>

// Scopes over the application-wide cursor: each sets its cursor on creation and
// restores the one in force before it on destruction, also when left by an
// error. Scopes nest in reverse order of creation. Without a GUI application
// (the server, non-GUI tests) they do nothing.
class TChangeCursor
{
public:
    explicit TChangeCursor(Qt::CursorShape shape);
    ~TChangeCursor();
    TChangeCursor(const TChangeCursor &) = delete;
    TChangeCursor &operator=(const TChangeCursor &) = delete;

private:
    bool m_active = false;
};

// The hourglass while the program works.
class TWaitCursor : public TChangeCursor
{
public:
    TWaitCursor() : TChangeCursor(Qt::WaitCursor) { }
};

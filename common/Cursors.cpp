#include "common/Cursors.h"

#include <QCursor>
#include <QGuiApplication>

TChangeCursor::TChangeCursor(Qt::CursorShape shape)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(QCursor(shape));
        m_active = true;
    }
}

TChangeCursor::~TChangeCursor()
{
    if (m_active && QCoreApplication::instance())
        QGuiApplication::restoreOverrideCursor();
}

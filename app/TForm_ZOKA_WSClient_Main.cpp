#include "app/TForm_ZOKA_WSClient_Main.h"

#include "common/Messages.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

TForm_ZOKA_WSClient_Main::TForm_ZOKA_WSClient_Main(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form_ZOKA_WSClient_Main"));
    setWindowTitle(QStringLiteral("Internetowy serwis użytkownika") + u' ' + ApplicationTitle());
    resize(791, 737);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TForm_ZOKA_WSClient_Main::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(e);
}

void TForm_ZOKA_WSClient_Main::FormActivate()
{
    // The opening sequence runs once, at the first activation.
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
}

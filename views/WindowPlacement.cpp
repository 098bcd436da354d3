#include "views/WindowPlacement.h"

#include <QStyle>
#include <QWidget>

#include <algorithm>

int CaptionStep(const QWidget *widget)
{
    constexpr int kBorderWidth = 1;
    return widget->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, widget) + kBorderWidth;
}

QMargins WindowFrameMargins(const QWidget *shownWindow, const QWidget *styleSource)
{
    if (shownWindow && shownWindow->isVisible()) {
        const QRect frame = shownWindow->frameGeometry();
        const QRect inner = shownWindow->geometry();
        const QMargins margins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                               frame.bottom() - inner.bottom());
        if (!margins.isNull())
            return margins;
    }
    constexpr int kBorderWidth = 1;
    return {kBorderWidth, CaptionStep(styleSource), kBorderWidth, kBorderWidth};
}

QPoint MonthCardPosition(QPoint ownerTopLeft, int captionStep, const QRect &screen, int windowWidth)
{
    QPoint p = ownerTopLeft + QPoint(captionStep, captionStep);
    if (screen.x() + screen.width() - p.x() < windowWidth)
        p.setX(screen.x() + (screen.width() - windowWidth) / 2);
    return p;
}

int ChargeDetailTop(int anchorY, int windowHeight, int rowHeight, const QRect &screen)
{
    if (anchorY + windowHeight <= screen.y() + screen.height())
        return anchorY;
    return std::max(anchorY - windowHeight - rowHeight - 5, screen.y());
}

#include "service/ApplicationTerminate.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {
std::function<void()> &terminateHandler()
{
    static std::function<void()> handler;
    return handler;
}
} // namespace

void RequestApplicationTerminate()
{
    if (const auto &handler = terminateHandler()) {
        handler();
        return;
    }
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] { QCoreApplication::quit(); }, Qt::QueuedConnection);
}

void SetTerminateHandler(std::function<void()> handler)
{
    terminateHandler() = std::move(handler);
}

#include "app/TApplication.h"

#include "common/Messages.h"

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowErrorDisplay(std::current_exception());
    }
    return false;
}

#include "forms/TApplication.h"

#include "common/Messages.h"

TApplication::TApplication(int &argc, char **argv) : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (ShowErrorDisplay(std::current_exception()))
            ++m_errorsShown;
    }
    return false;
}

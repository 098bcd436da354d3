#pragma once

#include <QApplication>

// The application object: errors thrown from event handlers end here, at the
// event boundary, and are shown by the outer error display; they never cross
// Qt's event loop.
class TApplication : public QApplication
{
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // How many errors the outer display has shown so far: the start-up
    // compares it before and after building the windows.
    int ErrorsShown() const { return m_errorsShown; }

private:
    int m_errorsShown = 0;
};

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
};

// The yardstick for start-up: a bare Qt program that shows one empty window
// and ends as soon as it is up, as the client does under DOMVEL_QUIT_AFTER_SHOW.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(791, 737);
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

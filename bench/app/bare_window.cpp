// The yardstick for start-up: a bare Qt program that shows one empty dialog
// and ends once it has been painted, as the client does under
// DOMVEL_QUIT_AFTER_SHOW=login with its login dialog.
#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace {

class BareDialog : public QDialog
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        QDialog::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    BareDialog dialog;
    dialog.resize(400, 180);
    dialog.show();
    return app.exec();
}

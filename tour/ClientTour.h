#pragma once

#include <QDir>
#include <QString>

#include <cstdio>
#include <functional>

class ClientDriver;
class QWidget;

// The scripted tour of the client for a machine without a display: it logs in
// to a server, shows another year, a month card and a charge detail, previews
// the reports, exports a PDF and saves a print file that it loads back. Each
// step is printed in Polish; screenshots and files go into one folder.
class ClientTour
{
public:
    struct Options
    {
        QString serverAddress;
        QString caCertificate;
        QString login = QStringLiteral("kowalski");
        QString password = QStringLiteral("Kowalski1");
        QDir output;
    };

    // `out` receives the step lines.
    ClientTour(ClientDriver &driver, Options options, std::FILE *out = stdout);

    // Runs every step; true when all of them succeeded. A step that fails
    // ends the tour.
    bool Run();

    int StepsDone() const { return m_steps; }

private:
    // Prints the step, runs it and its outcome; false when it failed.
    bool Step(const QString &title, const std::function<bool()> &action);
    QString OutputFile(const QString &name) const;
    bool Screenshot(QWidget &window, const QString &name);
    // Preview of `view`, its PDF export and print file under `baseName`;
    // the print file is loaded back when `loadBack` is set.
    bool Reports(QWidget &view, const QString &baseName, bool loadBack);

    ClientDriver &m_driver;
    Options m_options;
    std::FILE *m_out;
    int m_steps = 0;
    bool m_failed = false;
    // Why the running step failed, when the driver does not say.
    QString m_reason;
};

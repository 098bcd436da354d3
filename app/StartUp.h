#pragma once

#include <QStringList>

#include <functional>

class QApplication;
class QWidget;

// Runs the client in an existing application object: options, single-instance
// guard, title, main and preview windows, message loop. Returns the exit code
// (0 on every path but a command-line usage error). `arguments` is the command
// line, the program's name first; without it the application's.
int RunProgram(QApplication &app);
int RunProgram(QApplication &app, const QStringList &arguments);

// For tests: runs with the main window once the windows are built and shown,
// before the message loop, inside the start-up's error handling (an error it
// throws is handled as one escaping the creation of the windows). Null: none.
void SetWindowsCreatedHook(std::function<void(QWidget *mainWindow)> hook);

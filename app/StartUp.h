#pragma once

#include <QStringList>

#include <functional>
#include <optional>

class QApplication;
class QWidget;

// The exit status of a start-up that failed: an error escaped it or was shown
// by the outer error display before the message loop ran, or there is no
// display. A usage error of the command line ends with 2.
inline constexpr int kExitStartUpFailed = 1;

// Before any application object exists: answers --help and --version (exit
// 0) and a usage error (2), and refuses a start without a display
// (kExitStartUpFailed), so that none of them needs a window system. Nothing
// when the program is to start.
std::optional<int> AnswerBeforeStart(int argc, char **argv);

// Runs the client in an existing application object: options, single-instance
// guard, title, main and preview windows, message loop. Returns the exit code:
// the message loop's (0 when the program ends as it should; also after the
// already-running notice), 2 for a command-line usage error, and
// kExitStartUpFailed for a failed start-up. `arguments` is the command line,
// the program's name first; without it the application's.
int RunProgram(QApplication &app);
int RunProgram(QApplication &app, const QStringList &arguments);

// For tests: runs with the main window once the windows are built and shown,
// before the message loop, inside the start-up's error handling (an error it
// throws is handled as one escaping the creation of the windows). Null: none.
void SetWindowsCreatedHook(std::function<void(QWidget *mainWindow)> hook);

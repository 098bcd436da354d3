#pragma once

class QApplication;

// Runs the client in an existing application object: options, single-instance
// guard, title, main and preview windows, message loop. Returns the exit code
// (0 on every path but a command-line usage error).
int RunProgram(QApplication &app);

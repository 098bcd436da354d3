#pragma once

#include <QString>

// Where the service lives. The address comes from the command line's first
// positional argument (a host, optionally ":" and a port); without it the
// built-in default server address of the build is used.

// Hands over the command line's address argument; empty means none was given.
// The application calls it once, before the main window is created.
void SetServerAddressArgument(const QString &argument);

// The address argument, or the built-in default when none was given.
QString ServerAddress();

// "https://" + ServerAddress() + the service path. The address goes in
// verbatim, so a port after a colon is kept.
QString ServiceURL();

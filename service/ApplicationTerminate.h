#pragma once

#include <functional>

// Asking the application to terminate: the message loop ends once the current
// handler has returned. Code below the windows asks through this seam, so
// tests can observe the request without an application.

void RequestApplicationTerminate();

// Replaces what a request does; an empty function restores the default, which
// quits the running application's event loop (queued, so it also works just
// before the loop starts).
void SetTerminateHandler(std::function<void()> handler);

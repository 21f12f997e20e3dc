#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Waits for the desk to be idle for `idleMs` (as the window system tells it, idle inhibitors such
// as a playing video respected), then starts this program again with `runWords` as its
// arguments (the full-screen run), and ends that run when the user is active again. Holds no GL
// and sleeps between the window system's events. One watcher per session: a second one says so
// in one line and returns 0. Returns when a stop signal comes (0), or with one line when the
// window system cannot tell idle time or goes away (1, so that a service manager starts it again).
int runIdleWatcher(uint32_t idleMs, const std::vector<std::string>& runWords);

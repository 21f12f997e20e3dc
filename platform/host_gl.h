#pragma once
#include <cstdint>
#include <string>

// The GL context of a run that draws into a window a screensaver framework hands it. It is made
// on that window with the window system's own GL binding, not through SDL: SDL libraries differ
// in whether they can draw into a foreign window at all.

struct HostGlStart {
    int32_t width = 0;
    int32_t height = 0;
    bool multisampled = false;  // the visual has sample buffers
    bool swapInterval = false;  // a swap interval of 1 was set
};

// What the host window reported since the last look.
struct HostGlNews {
    bool resized = false;
    int32_t width = 0;
    int32_t height = 0;
    bool gone = false;  // the window was destroyed
};

// Makes a GL context on `window` and makes it current on this thread. False, with *problem
// saying why, when no context could be made; nothing is left open then.
bool openHostGl(unsigned long window, HostGlStart* start, std::string* problem);
void swapHostGl();
HostGlNews pollHostGl();
void closeHostGl();

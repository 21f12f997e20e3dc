#pragma once
#include <cstdint>
#include <string>

// Where the full-screen run draws: its own full-screen mode, or a window that a screensaver
// framework hands it (xscreensaver: "-window-id N", the environment's XSCREENSAVER_WINDOW, or
// "-root" for the root window).

// The window named by the command line's words and `environmentWindow` (XSCREENSAVER_WINDOW's
// value, may be null), in that order, then "-root" as `rootWindow`; 0 when none is named.
// Numbers may be decimal or 0x-prefixed hexadecimal.
unsigned long hostWindowId(const std::string& commandLine, const char* environmentWindow,
                           unsigned long rootWindow);
// Looks for a host window; when one is named and exists, remembers it and its size. Without one,
// the run keeps its own full-screen mode.
void chooseHostWindow(const std::string& commandLine);
// True when the run draws into a host window; then *width and *height (when given) get its size.
bool hostWindowSize(int32_t* width, int32_t* height);
// The host window chosen; 0 when there is none.
unsigned long hostWindowHandle();

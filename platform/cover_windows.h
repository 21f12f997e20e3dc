#pragma once
#include <cstdint>

#include "platform/monitor_layout.h"

// The full-screen run on a desk of several monitors: the scene takes the primary monitor and a
// black, topmost window without a pointer covers each of the others for the whole run.

// What the user did on the cover windows since the last poll.
struct CoverInput {
    bool escapePressed;
    bool pointerMoved;
};

// Reads the monitors. With more than one, covers every monitor but the primary one, sets *scene
// to the primary one's rectangle and returns true. False, with no cover opened, on a one-monitor
// desk (which is still watched for monitors plugged in later) or where the monitors cannot be
// read: the run keeps the whole screen as before.
bool openCoverWindows(ScreenRect* scene);
// How often the monitors are read again even without the system's word that they changed.
const uint32_t coverRecheckMs = 1000;

// Drains the cover windows' input. Monitors added or removed since the last look (taken when the
// system reports a change, and at least every coverRecheckMs) get or lose their covers.
CoverInput pollCoverWindows(uint32_t nowMs);
// Safe to call at any time and more than once; also runs at exit.
void closeCoverWindows();

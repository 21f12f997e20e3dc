#pragma once
#include <SDL/SDL.h>

#include <cstdint>

// Frame cap: frameCapAuto draws as often as the display refreshes where the swap waits for it, and
// defaultFrameCap frames a second where it does not (software GL, a virtual X server); 0 draws as
// fast as the swap returns; any other number caps at that many frames a second.
const int32_t frameCapAuto = -1;
const int32_t defaultFrameCap = 30;
int32_t effectiveFrameCap(int32_t maxFramesPerSecond, bool swapWaitsForDisplay);

// Spaces frames out to a cap of frames per second (0: no cap).
struct FramePacer {
    uint32_t framesPerSecond;
    uint32_t startMs;  // when the current run of evenly spaced frames began
    uint32_t frames;   // frames drawn since startMs

    void initPacer(int32_t cap, uint32_t now);
    // Milliseconds to wait, after a frame that ended at `now`, before the next one starts.
    uint32_t restAfterFrame(uint32_t now);
};

// Draws frames until an ending event has dismantled the scene, then tears the run down.
void runMainLoop(int32_t maxFramesPerSecond = frameCapAuto);
int32_t renderFrame();
// Escape always ends the run; mouse motion only after the first 3000 ms and when the settings
// ask for it. Every other event is ignored here, the window-close request included (only an
// ordinary --window run ends on it, in the loop).
bool eventEndsRun(const SDL_Event& event, uint32_t ticksNow, bool mouseMoveEnds);
// SIGTERM and SIGINT end the run as Escape does.
void installStopSignals();
bool stopRequestedBySignal();

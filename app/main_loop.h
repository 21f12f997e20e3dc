#pragma once
#include <SDL/SDL.h>

#include <cstdint>

#include "app/frame_budget.h"

// Draws frames until an ending event has dismantled the scene, then tears the run down. Frames
// come at most `maxFramesPerSecond` a second (0: no cap) and within `cpuBudget` of one core (0: no
// budget); the frames that dismantle the scene come at once.
void runMainLoop(int32_t maxFramesPerSecond = 0, double cpuBudget = defaultCpuBudget);
int32_t renderFrame();
// Escape always ends the run; mouse motion only after the first 3000 ms and when the settings
// ask for it. Every other event is ignored here, the window-close request included (only an
// ordinary --window run ends on it, in the loop).
bool eventEndsRun(const SDL_Event& event, uint32_t ticksNow, bool mouseMoveEnds);
// SIGTERM and SIGINT end the run as Escape does.
void installStopSignals();
bool stopRequestedBySignal();

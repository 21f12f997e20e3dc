#pragma once
#include <cstdint>

// Builds the whole tree the frame draws: sceneRoot (candles, flames, lights, bubbles) and
// overlayRoot (calendar, clock, frame rate) as the settings choose. Needs the viewport open,
// the settings read and the pak library's base path set.
void buildScene();

// After the viewport's size has changed: the overlay's corner pieces move to the new sides.
void fitOverlayToView();

// Track callbacks.
void spawnBubble(int32_t arg);     // on a bubble source: one bubble every 180 to 229 ms of track time
void addLateOverlay(int32_t arg);  // on overlayRoot: adds the "nn" model after a minute

// Whether a bubble is due; if so, takes a random spacing off *elapsed.
bool takeBubbleTurn(double* elapsed);
// Puts the clock, calendar, flicker and frame counter back to their start-up state, so a
// process may build the scene more than once (tests, tools).
void resetSceneState();

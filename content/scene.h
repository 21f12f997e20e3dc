#pragma once
#include <cstdint>

struct SceneNode;
struct ViewEdges;

// The overlay's pieces and their looks; the shell fills it from the saver's settings.
struct SceneChoices {
    bool showClock;
    bool analogClock;
    bool largeClock;
    bool clock24Hours;
    bool showCalendar;
    bool russianCalendar;
    bool showFrameRate;
};

// The tree the frame draws, built by buildScene; the shell marks the roots dying and frees them.
extern SceneNode* sceneRoot;    // candles, flames, lights, bubbles
extern SceneNode* overlayRoot;  // calendar, clock, frame rate

// Builds sceneRoot and overlayRoot, the overlay as `choices` ask, its pieces held to the sides
// `view` sees. Needs a current GL context and the pak library's base path set.
void buildScene(const SceneChoices& choices, const ViewEdges& view);

// After the picture's size has changed: the overlay's corner pieces move to the sides `view` sees,
// its pictures are made again for their new size, and the turned models take the level of detail
// of the new height.
void fitSceneToView(const ViewEdges& view);

// Track callbacks.
void spawnBubble(int32_t arg);        // on a bubble source: one bubble every 180 to 229 ms of track time
void addLateOverlay(int32_t arg);     // on overlayRoot: adds the "nn" model after a minute
void returnStartUpHeap(int32_t arg);  // gives back freed heap after a few seconds, then every 30 s

// Whether a bubble is due; if so, takes a random spacing off *elapsed.
bool takeBubbleTurn(double* elapsed);
// Puts the clock, calendar, flicker and frame counter back to their start-up state, so a
// process may build the scene more than once (tests, tools).
void resetSceneState();

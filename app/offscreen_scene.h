#pragma once
#include <cstdint>
#include <ctime>
#include <vector>

#include "app/settings.h"

// The screensaver's scene drawn into a headless GL context (no window, no X server), for the
// benchmark, the preview picture, screenshots and golden frames. One scene at a time.
//
// A frame is a pure function of the settings, the seed, the wall time, the sequence of frame
// times and the size. `wallTime` is the time of day the clock and calendar show, counted in
// seconds as by timegm (so no time zone enters); it advances with the frame times:
// wallTime + ticks / 1000 (whole seconds) at frameTicks = ticks.

// Opens a width x height context, then begins the scene on it. False, with nothing left open,
// when no GL context can be made.
bool openOffscreenScene(int32_t width, int32_t height, const SaverSettings& sceneSettings, unsigned seed,
                        time_t wallTime, const char* installDir);
// On the current context (of that size): the run's GL state and camera, rand() seeded with
// `seed`, the wall clock set to `wallTime`, and the scene built with `sceneSettings` from the
// archives in `installDir` (ends with '/').
void beginOffscreenScene(int32_t width, int32_t height, const SaverSettings& sceneSettings, unsigned seed,
                         time_t wallTime, const char* installDir);
// Moves the wall clock: from now on it reads wallTime + frameTicks / 1000.
void setOffscreenWallTime(time_t wallTime);
// One frame as the main loop draws it, with frameTicks = ticks; waits until GL has finished
// when `finish` is set.
void drawOffscreenFrame(uint32_t ticks, bool finish);
// The picture as RGB bytes, width * 3 a row, the top row first.
void readOffscreenPixels(std::vector<uint8_t>* rgb);
// Narrows where GL draws (e.g. to 1 x 1, to time everything but the rasterising); the camera
// stays that of the full size.
void setOffscreenDrawArea(int32_t width, int32_t height);
// Marks both roots dying and draws at `ticks` until the tree has dismantled itself, then frees
// the roots and gives the clock the real time back. Returns the number of frames it took, or -1 when the tree
// did not dismantle within 64 frames (the roots are freed all the same). The context stays open.
int32_t endOffscreenScene(uint32_t ticks);
// endOffscreenScene, then closes the context.
int32_t closeOffscreenScene(uint32_t ticks);

// The whole round in one call, for pictures such as the preview: opens a context, builds the
// scene, draws a frame at each of the `frameCount` times, reads the last picture into *rgb (top
// row first) and closes everything again. False when no GL context can be made.
bool renderOffscreenPicture(int32_t width, int32_t height, const SaverSettings& sceneSettings, unsigned seed,
                            time_t wallTime, const uint32_t* frameTimes, int32_t frameCount,
                            const char* installDir, std::vector<uint8_t>* rgb);

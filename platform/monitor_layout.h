#pragma once
#include <cstdint>

// Where the full-screen run goes on a desk of several monitors: the scene on the primary one, a
// black cover window on each of the others. Rectangles are in desktop pixels; a monitor left of
// or above the primary one has negative coordinates.
struct ScreenRect {
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// Monitors read at most, and covers opened at most.
enum { MONITOR_LIST_SIZE = 64, MAX_COVER_WINDOWS = 16 };

struct CoverLayout {
    ScreenRect covers[MAX_COVER_WINDOWS];
    int32_t coverCount;
};

bool sameRect(const ScreenRect& a, const ScreenRect& b);
// The index of the monitor the scene goes on: `primary` when it names a usable one, else the one
// holding the desktop's origin, else the first usable one; -1 when no monitor has an area.
int32_t sceneMonitor(const ScreenRect* monitors, int32_t count, int32_t primary);
// One cover per monitor besides the scene's: empty monitors, repeats and monitors that share
// pixels with the scene's (a mirror of it, or the whole-screen monitor of a split X screen) are
// left out, since a cover there would hide the scene.
CoverLayout coverLayout(const ScreenRect* monitors, int32_t count, const ScreenRect& scene);

// The covers open now, each with the platform's handle of its window.
struct CoverList {
    uintptr_t handles[MAX_COVER_WINDOWS];
    ScreenRect rects[MAX_COVER_WINDOWS];
    int32_t count;
};
typedef uintptr_t (*OpenCover)(const ScreenRect& rect);  // 0 when no window could be made
typedef void (*CloseCover)(uintptr_t handle);
// Closes the open covers that are not wanted and opens the wanted ones that are missing; a cover
// wanted again stays as it is, so nothing flickers.
void followCoverLayout(CoverList* list, const CoverLayout& wanted, OpenCover open, CloseCover close);

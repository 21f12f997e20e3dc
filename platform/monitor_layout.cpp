#include "platform/monitor_layout.h"

static bool hasArea(const ScreenRect& r) {
    return r.width > 0 && r.height > 0;
}

// 64-bit sums: a monitor placed near the edge of the coordinate range must not wrap around.
static bool contains(const ScreenRect& outer, const ScreenRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           (int64_t)inner.x + inner.width <= (int64_t)outer.x + outer.width &&
           (int64_t)inner.y + inner.height <= (int64_t)outer.y + outer.height;
}

static bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return (int64_t)a.x < (int64_t)b.x + b.width && (int64_t)b.x < (int64_t)a.x + a.width &&
           (int64_t)a.y < (int64_t)b.y + b.height && (int64_t)b.y < (int64_t)a.y + a.height;
}

bool sameRect(const ScreenRect& a, const ScreenRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

int32_t sceneMonitor(const ScreenRect* monitors, int32_t count, int32_t primary) {
    if (primary >= 0 && primary < count && hasArea(monitors[primary])) return primary;
    const ScreenRect origin = {0, 0, 1, 1};
    int32_t first = -1;
    for (int32_t i = 0; i < count; i++) {
        if (!hasArea(monitors[i])) continue;
        if (contains(monitors[i], origin)) return i;
        if (first < 0) first = i;
    }
    return first;
}

static bool listed(const ScreenRect* rects, int32_t count, const ScreenRect& rect) {
    for (int32_t i = 0; i < count; i++) {
        if (sameRect(rects[i], rect)) return true;
    }
    return false;
}

CoverLayout coverLayout(const ScreenRect* monitors, int32_t count, const ScreenRect& scene) {
    CoverLayout layout = {};
    for (int32_t i = 0; i < count && layout.coverCount < MAX_COVER_WINDOWS; i++) {
        const ScreenRect& monitor = monitors[i];
        if (!hasArea(monitor) || overlaps(scene, monitor)) continue;
        bool repeated = false;
        for (int32_t j = 0; j < layout.coverCount; j++)
            repeated = repeated || sameRect(layout.covers[j], monitor);
        if (!repeated) layout.covers[layout.coverCount++] = monitor;
    }
    return layout;
}

void followCoverLayout(CoverList* list, const CoverLayout& wanted, OpenCover open, CloseCover close) {
    int32_t kept = 0;
    for (int32_t i = 0; i < list->count; i++) {
        if (!listed(wanted.covers, wanted.coverCount, list->rects[i])) {
            close(list->handles[i]);
            continue;
        }
        list->handles[kept] = list->handles[i];
        list->rects[kept++] = list->rects[i];
    }
    list->count = kept;
    for (int32_t j = 0; j < wanted.coverCount && list->count < MAX_COVER_WINDOWS; j++) {
        if (listed(list->rects, list->count, wanted.covers[j])) continue;
        uintptr_t handle = open(wanted.covers[j]);
        if (!handle) continue;
        list->handles[list->count] = handle;
        list->rects[list->count++] = wanted.covers[j];
    }
}

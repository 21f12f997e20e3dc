#include "platform/monitor_layout.h"

#include <gtest/gtest.h>

#include <vector>

static bool operator==(const ScreenRect& a, const ScreenRect& b) {
    return sameRect(a, b);
}

static void PrintTo(const ScreenRect& r, std::ostream* out) {
    *out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}

namespace {

struct LayoutCase {
    const char* desk;
    std::vector<ScreenRect> monitors;
    int32_t primary;  // as the system reports it; -1: it names none
    ScreenRect scene;
    std::vector<ScreenRect> covers;
};

const LayoutCase layoutCases[] = {
    {"one monitor", {{0, 0, 1920, 1080}}, 0, {0, 0, 1920, 1080}, {}},
    {"two heads side by side",
     {{0, 0, 800, 600}, {800, 0, 800, 600}},
     0,
     {0, 0, 800, 600},
     {{800, 0, 800, 600}}},
    {"primary on the right",
     {{0, 0, 800, 600}, {800, 0, 1024, 768}},
     1,
     {800, 0, 1024, 768},
     {{0, 0, 800, 600}}},
    {"left of and above the primary",
     {{-1280, -200, 1280, 1024}, {0, 0, 1920, 1080}, {0, -768, 1024, 768}},
     1,
     {0, 0, 1920, 1080},
     {{-1280, -200, 1280, 1024}, {0, -768, 1024, 768}}},
    {"no primary named: the one at the origin",
     {{-1920, 0, 1920, 1080}, {0, 0, 1280, 720}},
     -1,
     {0, 0, 1280, 720},
     {{-1920, 0, 1920, 1080}}},
    {"no primary and none at the origin: the first",
     {{100, 0, 640, 480}, {740, 0, 640, 480}},
     -1,
     {100, 0, 640, 480},
     {{740, 0, 640, 480}}},
    {"primary out of range",
     {{0, 0, 800, 600}, {800, 0, 800, 600}},
     5,
     {0, 0, 800, 600},
     {{800, 0, 800, 600}}},
    {"empty monitors are skipped, a named empty primary too",
     {{0, 0, 0, 0}, {0, 0, 800, 600}, {800, 0, 800, -600}, {1600, 0, 800, 600}},
     0,
     {0, 0, 800, 600},
     {{1600, 0, 800, 600}}},
    {"a mirror of the primary and a repeat get no cover",
     {{0, 0, 1024, 768}, {0, 0, 1024, 768}, {0, 0, 800, 600}, {1024, 0, 800, 600}, {1024, 0, 800, 600}},
     0,
     {0, 0, 1024, 768},
     {{1024, 0, 800, 600}}},
    {"a monitor sharing pixels with the scene's gets none",
     {{0, 0, 800, 600}, {800, 0, 800, 600}, {0, 0, 1600, 600}, {700, 500, 400, 300}},
     0,
     {0, 0, 800, 600},
     {{800, 0, 800, 600}}},
    {"far corners do not wrap",
     {{0, 0, 800, 600}, {2147483000, 0, 600, 600}},
     0,
     {0, 0, 800, 600},
     {{2147483000, 0, 600, 600}}},
};

TEST(MonitorLayout, SceneOnThePrimaryAndEveryOtherMonitorCovered) {
    for (const LayoutCase& c : layoutCases) {
        SCOPED_TRACE(c.desk);
        int32_t chosen = sceneMonitor(c.monitors.data(), (int32_t)c.monitors.size(), c.primary);
        ASSERT_GE(chosen, 0);
        const ScreenRect& scene = c.monitors[(size_t)chosen];
        EXPECT_EQ(c.scene, scene);
        CoverLayout layout = coverLayout(c.monitors.data(), (int32_t)c.monitors.size(), scene);
        EXPECT_EQ(c.covers, std::vector<ScreenRect>(layout.covers, layout.covers + layout.coverCount));
    }
}

TEST(MonitorLayout, NoUsableMonitorAndTooManyMonitors) {
    EXPECT_EQ(-1, sceneMonitor(nullptr, 0, 0));
    ScreenRect empty[] = {{0, 0, 0, 600}, {0, 0, 800, 0}};
    EXPECT_EQ(-1, sceneMonitor(empty, 2, -1));

    std::vector<ScreenRect> wall;
    for (int32_t i = 0; i < MAX_COVER_WINDOWS + 4; i++) wall.push_back({i * 100, 0, 100, 100});
    CoverLayout layout = coverLayout(wall.data(), (int32_t)wall.size(), wall[0]);
    ASSERT_EQ(MAX_COVER_WINDOWS, layout.coverCount);
    EXPECT_EQ(wall[MAX_COVER_WINDOWS], layout.covers[MAX_COVER_WINDOWS - 1]);
}

std::vector<uintptr_t> closedHandles;
uintptr_t nextHandle = 1;

uintptr_t openFake(const ScreenRect& rect) {
    return rect.width == 13 ? 0 : nextHandle++;  // a width of 13 stands for a window refused
}

void closeFake(uintptr_t handle) {
    closedHandles.push_back(handle);
}

// A projector plugged in and out, a monitor moved, one whose window cannot be made: covers still
// wanted keep their windows, the others' are closed once each.
TEST(MonitorLayout, CoversFollowMonitorsPluggedInAndOut) {
    const ScreenRect scene = {0, 0, 800, 600};
    const ScreenRect right = {800, 0, 800, 600}, left = {-1024, 0, 1024, 768}, refused = {0, 600, 13, 10};
    struct Step {
        const char* what;
        std::vector<ScreenRect> monitors;
        std::vector<uintptr_t> handles;  // of the open covers afterwards, in order
        std::vector<uintptr_t> closed;
    };
    const Step steps[] = {
        {"start with two", {scene, right}, {1}, {}},
        {"projector plugged in on the left", {scene, right, left}, {1, 2}, {}},
        {"nothing changed", {left, scene, right}, {1, 2}, {}},
        {"right one unplugged", {scene, left}, {2}, {1}},
        {"left one moved down", {scene, {-1024, 100, 1024, 768}}, {3}, {2}},
        {"a window refused", {scene, {-1024, 100, 1024, 768}, refused}, {3}, {}},
        {"back to one monitor", {scene}, {}, {3}},
    };
    CoverList list = {};
    nextHandle = 1;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        closedHandles.clear();
        CoverLayout wanted = coverLayout(step.monitors.data(), (int32_t)step.monitors.size(), scene);
        followCoverLayout(&list, wanted, openFake, closeFake);
        EXPECT_EQ(step.handles, std::vector<uintptr_t>(list.handles, list.handles + list.count));
        EXPECT_EQ(step.closed, closedHandles);
    }
}

}  // namespace

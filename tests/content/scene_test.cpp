#include "content/scene.h"

#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "content/calendar.h"
#include "content/clock.h"
#include "content/lights.h"
#include "content/motions.h"
#include "effects/effect_textures.h"
#include "pak/archive.h"
#include "pak/library.h"
#include "pak/mesh.h"
#include "scene/node.h"
#include "tests/support/gl_fixture.h"

// Mesa unloads its driver when the context closes; LeakSanitizer then cannot name the driver's
// own start-up allocations, and the suppressions for it miss. Keeping the driver loaded lets them match.
static const bool driverPinned = [] {
    const char* drivers[2] = {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "/usr/lib/dri/swrast_dri.so"};
    for (const char* driver : drivers)
        if (dlopen(driver, RTLD_NOW | RTLD_NODELETE)) return true;
    return false;
}();

// The scene's archives without entries: every node gets its archive references but no meshes,
// so the tree's shape and bookkeeping can be checked without the real assets.
static std::string emptyInstall() {
    static std::string dir;
    if (!dir.empty()) return dir;
    char pattern[] = "/tmp/lumivane-scene-XXXXXX";
    dir = std::string(mkdtemp(pattern)) + "/";
    const char* names[5] = {"main.pak", "clock.pak", "calendar.pak", "utils.pak", "debug.pak"};
    for (const char* name : names) {
        PakArchive archive;
        EXPECT_TRUE(archive.save((dir + name).c_str()));
    }
    return dir;
}

// The wall time the scene starts at; the offscreen clock adds the frame clock to it.
static time_t fakeBase;

static time_t utc(int year, int month, int day, int hour, int minute, int second) {
    struct tm date = {};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_hour = hour;
    date.tm_min = minute;
    date.tm_sec = second;
    return timegm(&date);
}

class SceneTest : public GlTest {
   protected:
    int contextWidth() const override { return 256; }
    int contextHeight() const override { return 192; }
    void SetUp() override {
        GlTest::SetUp();
        fakeBase = utc(2026, 3, 14, 13, 5, 7);
    }
    void TearDown() override {
        if (sceneRoot) {
            EXPECT_GE(endOffscreenScene(frameTicks), 0) << "the tree did not dismantle";
        }
        GlTest::TearDown();
    }
    void begin(const SaverSettings& chosen, unsigned seed = 1) {
        beginOffscreenScene(256, 192, chosen, seed, fakeBase, emptyInstall().c_str());
    }
};

static SaverSettings overlayOff() {
    SaverSettings chosen = defaultSettings();
    chosen.showClock = chosen.showCalendar = chosen.showFrameRate = false;
    return chosen;
}

static const AnimTrack& onlyTrack(const SceneNode* node) {
    EXPECT_EQ(node->animator.tracks.size(), 1u);
    return node->animator.tracks[0];
}

static void expectPosition(const SceneNode* node, double x, double y, double z) {
    EXPECT_DOUBLE_EQ(node->transform.position.x, x);
    EXPECT_DOUBLE_EQ(node->transform.position.y, y);
    EXPECT_DOUBLE_EQ(node->transform.position.z, z);
}

TEST_F(SceneTest, MainSceneInCreationOrder) {
    srand(77);
    double phases[3];
    for (double& phase : phases) phase = (rand() % 100) * 6.28318530717956 / 100;
    begin(overlayOff(), 77);

    ASSERT_EQ(sceneRoot->children.size(), 3u);
    const SceneNode* light1 = sceneRoot->children[0];
    expectPosition(light1, 0, 24, 105);
    EXPECT_EQ(onlyTrack(light1).callback, placeLight);
    EXPECT_EQ(onlyTrack(light1).intParam1, 1);
    const SceneNode* pacer = sceneRoot->children[1];
    ASSERT_EQ(pacer->animator.tracks.size(), 2u);
    EXPECT_EQ(pacer->animator.tracks[0].callback, effectTrackCallback);
    EXPECT_EQ(pacer->animator.tracks[1].callback, returnStartUpHeap);

    const SceneNode* bob = sceneRoot->children[2];
    EXPECT_EQ(onlyTrack(bob).callback, sinePosition);
    EXPECT_EQ(onlyTrack(bob).intParam1, 2);
    EXPECT_DOUBLE_EQ(onlyTrack(bob).realParam3, phases[0]);
    ASSERT_EQ(bob->children.size(), 1u);
    const SceneNode* sway = bob->children[0];
    ASSERT_EQ(sway->animator.tracks.size(), 2u);
    EXPECT_EQ(sway->animator.tracks[0].intParam1, 1);
    EXPECT_DOUBLE_EQ(sway->animator.tracks[0].realParam3, phases[1]);
    EXPECT_EQ(sway->animator.tracks[1].intParam1, 0);
    EXPECT_DOUBLE_EQ(sway->animator.tracks[1].realParam3, phases[2]);

    ASSERT_EQ(sway->children.size(), 2u);
    const SceneNode* candles = sway->children[0];
    const SceneNode* thinks = sway->children[1];
    for (const SceneNode* node : {candles, thinks}) {
        expectPosition(node, 4, -1, 44);
        EXPECT_EQ(node->transform.rotation.x, -76);
        EXPECT_TRUE(node->transform.scaled);
        EXPECT_EQ(node->pakNames, std::vector<std::string>{"main.pak"});
    }
    EXPECT_EQ(candles->drawCallbacks[0].function, switchLight5);
    EXPECT_EQ(thinks->drawCallbacks[0].function, switchLights1to4);
    ASSERT_EQ(candles->children.size(), 1u);
    EXPECT_EQ(candles->children[0]->pakNames, std::vector<std::string>{"debug.pak"});
    EXPECT_EQ(onlyTrack(candles->children[0]).intParam1, 5);

    ASSERT_EQ(thinks->children.size(), 5u);
    for (int i = 0; i < 3; i++) {
        const SceneNode* flame = thinks->children[i];
        ASSERT_EQ(flame->drawCallbacks.size(), 2u);
        EXPECT_EQ(flame->drawCallbacks[0].function, drawBillboarded);
        EXPECT_EQ(flame->drawCallbacks[1].function, drawUnlit);
    }
    const SceneNode* light2 = thinks->children[0]->children[0];
    ASSERT_EQ(light2->animator.tracks.size(), 2u);
    EXPECT_EQ(light2->animator.tracks[0].callback, flickerLights);
    EXPECT_EQ(light2->animator.tracks[1].intParam1, 2);
    EXPECT_EQ(onlyTrack(thinks->children[1]).intParam1, 3);
    EXPECT_EQ(onlyTrack(thinks->children[2]->children[0]).intParam1, 4);
    EXPECT_EQ(onlyTrack(thinks->children[3]).callback, spawnBubble);
    EXPECT_EQ(onlyTrack(thinks->children[4]).callback, spawnBubble);
}

TEST_F(SceneTest, LateOverlayJoinsAfterAMinute) {
    begin(overlayOff());
    EXPECT_EQ(overlayRoot->drawCallbacks[0].function, drawWithoutDepthTest);
    drawOffscreenFrame(1000, false);
    drawOffscreenFrame(60000, false);
    EXPECT_TRUE(overlayRoot->children.empty());
    drawOffscreenFrame(60001, false);
    ASSERT_EQ(overlayRoot->children.size(), 1u);
    EXPECT_EQ(overlayRoot->children[0]->pakNames, std::vector<std::string>{"main.pak"});
    for (uint32_t t = 61000; t < 70000; t += 1000) drawOffscreenFrame(t, false);
    EXPECT_EQ(overlayRoot->children.size(), 1u);
}

// The digit node under each slot: its expiry selector and the value it shows, and whether it has a model.
struct Digit {
    int32_t selector;
    int32_t value;
    bool hasModel;
    bool operator==(const Digit& o) const {
        return selector == o.selector && value == o.value && hasModel == o.hasModel;
    }
};

static std::vector<Digit> liveDigits(const SceneNode* clockCarrier) {
    std::vector<Digit> digits;
    for (size_t i = 1; i < clockCarrier->children.size(); i++) {
        const SceneNode* slot = clockCarrier->children[i];
        for (const SceneNode* digit : slot->children) {
            if (digit->dying) continue;
            const AnimTrack& track = digit->animator.tracks[0];
            digits.push_back({track.intParam1, track.intParam2, !digit->pakNames.empty()});
        }
    }
    return digits;
}

TEST_F(SceneTest, TwelveHourReadoutAfterTheFirstFrame) {
    SaverSettings chosen = overlayOff();
    chosen.showClock = true;
    begin(chosen);
    drawOffscreenFrame(500, false);  // 13:05:07
    ASSERT_EQ(overlayRoot->children.size(), 1u);
    const SceneNode* carrier = overlayRoot->children[0];
    ASSERT_EQ(carrier->children.size(), 7u);  // plate and six slots
    const int32_t selectors[6] = {8, 6, 7, 5, 3, 4};
    for (int i = 0; i < 6; i++) EXPECT_EQ(onlyTrack(carrier->children[i + 1]).intParam1, selectors[i]);
    // pm, blank tens, 1, colon (odd second), 0, 5
    std::vector<Digit> expected = {{1, 13, true}, {1, 13, false}, {1, 13, true},
                                   {5, 7, true},  {3, 5, true},   {4, 5, true}};
    EXPECT_EQ(liveDigits(carrier), expected);

    drawOffscreenFrame(1500, false);  // 13:05:08: the colon goes blank, nothing else changes
    drawOffscreenFrame(1600, false);
    expected[3] = {5, 8, false};
    EXPECT_EQ(liveDigits(carrier), expected);
    EXPECT_EQ(carrier->children[4]->children.size(), 1u);  // the old colon has gone
}

TEST_F(SceneTest, MidnightBringsTheNewDaysPageAndDigits) {
    fakeBase = utc(2026, 3, 14, 23, 59, 58);
    SaverSettings chosen = overlayOff();
    chosen.showClock = chosen.showCalendar = chosen.clock24Hours = true;
    begin(chosen);
    drawOffscreenFrame(100, false);
    const SceneNode* holder = overlayRoot->children[0]->children[1];
    const SceneNode* clockCarrier = overlayRoot->children[1];
    ASSERT_EQ(holder->children.size(), 1u);
    const SceneNode* page = holder->children[0];
    EXPECT_EQ(onlyTrack(page).intParam1, 14);
    EXPECT_EQ(page->children.size(), 45u);  // weekday row, month name, 42 cells and the mark
    std::vector<Digit> before = {{1, 23, true}, {2, 23, true}, {5, 58, false}, {3, 59, true}, {4, 59, true}};
    EXPECT_EQ(liveDigits(clockCarrier), before);

    for (uint32_t t = 200; t <= 3000; t += 100) drawOffscreenFrame(t, false);  // 00:00:01
    ASSERT_EQ(holder->children.size(), 1u);
    EXPECT_EQ(onlyTrack(holder->children[0]).intParam1, 15);
    std::vector<Digit> after = {{1, 0, true}, {2, 0, true}, {5, 1, true}, {3, 0, true}, {4, 0, true}};
    EXPECT_EQ(liveDigits(clockCarrier), after);
    EXPECT_EQ(calendarDate.day, 15);
}

TEST_F(SceneTest, SameDayOfAnotherMonthKeepsThePage) {
    SaverSettings chosen = overlayOff();
    chosen.showCalendar = true;
    begin(chosen);
    drawOffscreenFrame(100, false);
    const SceneNode* holder = overlayRoot->children[0]->children[1];
    const SceneNode* page = holder->children[0];
    setOffscreenWallTime(utc(2026, 4, 14, 13, 5, 7));
    for (uint32_t t = 200; t <= 1000; t += 100) drawOffscreenFrame(t, false);
    ASSERT_EQ(holder->children.size(), 1u);
    EXPECT_EQ(holder->children[0], page);
}

// Bubbles rise 1.8 units a second, drift sideways by at most 1.0395 units (covering 1 - e^(-1.5 s)
// of the way after s seconds), burst after 3.41 seconds, and each source keeps about
// 3410 / 204.5 of them alive.
TEST_F(SceneTest, BubblesRiseDriftAndBurst) {
    begin(overlayOff());
    const SceneNode* thinks = sceneRoot->children[2]->children[0]->children[1];
    double oldest = 0, alive = 0, samples = 0;
    std::map<const SceneNode*, Vec3> lastSample;  // age, sideways drift a second earlier
    size_t driftsFollowed = 0;
    for (uint32_t t = 40; t <= 30000; t += 40) {
        drawOffscreenFrame(t, false);
        if (t < 5000 || t % 1000 != 0) continue;
        std::map<const SceneNode*, Vec3> sample;
        for (int source = 3; source < 5; source++, samples++) {
            for (const SceneNode* bubble : thinks->children[source]->children) {
                if (bubble->dying) continue;
                alive++;
                double age = bubble->animator.tracks[0].elapsed;
                oldest = std::max(oldest, age);
                const Vec3& moved = bubble->animator.offset.position;
                EXPECT_NEAR(moved.z, 1.8 * age / 1000, 1e-9);
                for (double drift : {moved.x, moved.y}) {
                    EXPECT_GE(drift, 0.0);
                    EXPECT_LE(drift, 1.0395 + 1e-9);
                }
                sample[bubble] = {age, moved.x, moved.y};
                auto before = lastSample.find(bubble);  // the same bubble, not a new one in its memory
                if (before == lastSample.end() || before->second.x != age - 1000) continue;
                double covered = (1 - exp(-1.5 * age / 1000)) / (1 - exp(-1.5 * before->second.x / 1000));
                if (before->second.y > 0.01) {
                    EXPECT_NEAR(moved.x / before->second.y, covered, 1e-6);
                }
                if (before->second.z > 0.01) {
                    EXPECT_NEAR(moved.y / before->second.z, covered, 1e-6);
                }
                driftsFollowed++;
            }
        }
        lastSample = sample;
    }
    EXPECT_GT(driftsFollowed, 10u);
    EXPECT_LE(oldest, 3410.0);
    EXPECT_GT(oldest, 3410.0 - 240);
    EXPECT_NEAR(alive / samples, 3410 / 204.5, 1.5);
}

// Every switch the scene makes around its nodes is undone by the end of the frame, whatever the
// overlay shows: the next frame starts with the depth test on and lighting off.
TEST_F(SceneTest, FramesLeaveTheGlStateAsTheyFoundIt) {
    SaverSettings analog = defaultSettings(), digital = defaultSettings();
    analog.analogClock = analog.showFrameRate = true;
    digital.russianCalendar = digital.clock24Hours = digital.showFrameRate = true;
    for (const SaverSettings& chosen : {analog, digital}) {
        begin(chosen);
        for (uint32_t t = 100; t <= 6000; t += 100) {
            drawOffscreenFrame(t, false);
            EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "at " << t;
            EXPECT_FALSE(glIsEnabled(GL_LIGHTING)) << "at " << t;
            for (GLenum light = GL_LIGHT0; light <= GL_LIGHT7; light++)
                EXPECT_FALSE(glIsEnabled(light)) << "light " << light - GL_LIGHT0 << " at " << t;
            GLint depth = 0;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
            EXPECT_EQ(depth, 1) << "at " << t;
        }
        endOffscreenScene(frameTicks);
    }
}

// A wall time the C library cannot break down (far past year 9999): no made-up time, no
// "today" in every empty cell; once a time has been shown, it stays until a good one comes.
TEST_F(SceneTest, UnconvertibleWallTimeShowsNoTime) {
    const time_t unconvertible = (time_t)1 << 62;
    fakeBase = unconvertible;
    SaverSettings chosen = overlayOff();
    chosen.showClock = chosen.showCalendar = true;
    begin(chosen);
    for (uint32_t t = 100; t <= 1000; t += 100) drawOffscreenFrame(t, false);
    const SceneNode* holder = overlayRoot->children[0]->children[1];
    const SceneNode* clockCarrier = overlayRoot->children[1];
    EXPECT_TRUE(holder->children.empty()) << "a page without a date";
    EXPECT_TRUE(liveDigits(clockCarrier).empty()) << "digits without a time";

    setOffscreenWallTime(utc(2026, 3, 14, 13, 5, 7));
    drawOffscreenFrame(1100, false);
    ASSERT_EQ(holder->children.size(), 1u);
    const SceneNode* page = holder->children[0];
    EXPECT_EQ(page->children.size(), 45u);  // weekday row, month name, 42 cells and one mark
    std::vector<Digit> shown = liveDigits(clockCarrier);
    EXPECT_EQ(shown.size(), 6u);
    setOffscreenWallTime(unconvertible);
    for (uint32_t t = 1200; t <= 3000; t += 100) drawOffscreenFrame(t, false);
    EXPECT_EQ(liveDigits(clockCarrier), shown) << "the last good time stays";
    ASSERT_EQ(holder->children.size(), 1u);
    EXPECT_EQ(holder->children[0], page);
    endOffscreenScene(frameTicks);

    chosen.analogClock = true;
    begin(chosen);
    drawOffscreenFrame(100, false);
    const SceneNode* dial = overlayRoot->children[1];
    ASSERT_EQ(dial->children.size(), 4u);
    for (int hand = 1; hand < 4; hand++) EXPECT_FALSE(dial->children[hand]->hasMeshes) << "hand " << hand;
}

static void expectEverythingGivenBack() {
    EXPECT_TRUE(pakLibrary.archives.empty());
    EXPECT_TRUE(effectTextures.effects.empty());
    EXPECT_TRUE(deferredMeshes.empty());
    for (GLuint id = 1; id < 256; id++) EXPECT_FALSE(glIsTexture(id)) << "texture " << id << " still exists";
}

// A slow start (the first frame 1.5 s after the scene is built) must not leave the first set of
// frame-rate digits on show beside the next one.
TEST_F(SceneTest, FrameRateSetsNeverOverlap) {
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    begin(chosen);
    size_t mostShown = 0;
    for (uint32_t t = 1500; t <= 16000; t += 50) {
        drawOffscreenFrame(t, false);
        const SceneNode* rate = overlayRoot->children.back();
        ASSERT_EQ(rate->pakNames, std::vector<std::string>{"utils.pak"});
        size_t shown = 0;
        for (const SceneNode* digit : rate->children) shown += !digit->dying;
        mostShown = std::max(mostShown, shown);
    }
    EXPECT_EQ(mostShown, 2u) << "20 frames a second shows two digits at a time";
}

// The build folder with the archives the asset builder made, or "" when there are none.
static std::string builtAssets() {
    const char* build = getenv("LUMIVANE_BUILD_DIR");
    std::string folder = build ? std::string(build) + "/" : "";
    return !folder.empty() && access((folder + "main.pak").c_str(), R_OK) == 0 ? folder : "";
}

TEST_F(SceneTest, SimulatedMinutesLeaveNothingBehind) {
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    begin(chosen);
    size_t mostBubbles = 0;
    for (uint32_t t = 50; t <= 5 * 60 * 1000; t += 50) {
        drawOffscreenFrame(t, false);
        const SceneNode* thinks = sceneRoot->children[2]->children[0]->children[1];
        for (int source = 3; source < 5; source++)
            mostBubbles = std::max(mostBubbles, thinks->children[source]->children.size());
    }
    EXPECT_GT(mostBubbles, 10u);
    EXPECT_LE(mostBubbles, 3410u / 180 + 2);
    GLfloat attenuation = 0;
    glGetLightfv(GL_LIGHT2, GL_QUADRATIC_ATTENUATION, &attenuation);
    EXPECT_EQ(attenuation, flickerValues[0]);

    int32_t frames = endOffscreenScene(300050);
    EXPECT_GT(frames, 0);
    EXPECT_LE(frames, 8);
    EXPECT_EQ(sceneRoot, nullptr);
    expectEverythingGivenBack();
}

// Digits, pages, bubbles and frame-rate sets coming and going with the real models and their
// picture and effect textures: afterwards every archive, texture and effect is given back.
TEST_F(SceneTest, RealAssetsGiveEverythingBack) {
    std::string folder = builtAssets();
    if (folder.empty()) GTEST_SKIP() << "no built assets";
    fakeBase = utc(2026, 3, 14, 23, 58, 30);  // through midnight: a new page and every digit anew
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    beginOffscreenScene(256, 192, chosen, 5, fakeBase, folder.c_str());
    size_t mostEffects = 0;
    for (uint32_t t = 100; t <= 3 * 60 * 1000; t += 100) {
        drawOffscreenFrame(t, false);
        mostEffects = std::max(mostEffects, effectTextures.effects.size());
    }
    EXPECT_GT(mostEffects, 0u);
    EXPECT_EQ(overlayRoot->children.size(), 4u);  // calendar, clock, frame rate and the late model
    EXPECT_EQ(calendarDate.day, 15);
    EXPECT_GT(endOffscreenScene(180100), 0);
    expectEverythingGivenBack();
}

// The preview picture: the same seed and frame times give the same picture, lit by the candles.
TEST(OffscreenPicture, SameSeedSamePicture) {
    std::string folder = builtAssets();
    if (folder.empty()) GTEST_SKIP() << "no built assets";
    SaverSettings chosen = overlayOff();
    const uint32_t times[4] = {2000, 2040, 2080, 2120};
    std::vector<uint8_t> first, second;
    ASSERT_TRUE(renderOffscreenPicture(152, 112, chosen, 3, 0, times, 4, folder.c_str(), &first));
    ASSERT_TRUE(renderOffscreenPicture(152, 112, chosen, 3, 0, times, 4, folder.c_str(), &second));
    ASSERT_EQ(first.size(), 152u * 112u * 3u);
    EXPECT_EQ(first, second);
    size_t lit = 0;
    for (size_t i = 0; i < first.size(); i += 3) lit += first[i] + first[i + 1] + first[i + 2] > 192;
    EXPECT_GT(lit, first.size() / 3 / 50) << "hardly anything drawn";
    EXPECT_EQ(sceneRoot, nullptr);
    EXPECT_TRUE(pakLibrary.archives.empty());
}

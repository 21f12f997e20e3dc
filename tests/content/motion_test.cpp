#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "content/frame_rate.h"
#include "content/motions.h"
#include "content/scene.h"
#include "scene/animator.h"
#include "scene/node.h"

// Runs a motion callback on a bare track, as the animator would, and returns the offset it wrote.
static NodeTransform runMotion(TrackCallback callback, int32_t axis, double r1, double r2, double r3,
                               double t) {
    NodeTransform offset;
    offset.initTransform();
    AnimTrack track;
    track.initTrack(1, true, 0.0);
    track.setAxisTrack(callback, axis, r1, r2, r3);
    track.target = &offset;
    track.elapsed = t;
    currentTrack = &track;
    callback(0);
    currentTrack = nullptr;
    return offset;
}

TEST(Motions, Formulas) {
    EXPECT_NEAR(runMotion(sinePosition, 0, 2.0, M_PI, 0.0, 500).position.x, 2.0, 1e-12);
    EXPECT_NEAR(runMotion(sinePosition, 0, 2.0, M_PI, 0.0, 1000).position.x, 0.0, 1e-12);
    EXPECT_NEAR(runMotion(linearPosition, 2, 1.8, 0, 0, 2000).position.z, 3.6, 1e-12);
    EXPECT_NEAR(runMotion(easeOutPosition, 1, 1.0, -1.5, 0, 0).position.y, 0.0, 1e-12);
    EXPECT_NEAR(runMotion(easeOutPosition, 1, 1.0, -1.5, 0, 1000).position.y, 0.7769, 1e-4);
    EXPECT_NEAR(runMotion(sineRotation, 1, 2.0, 0.07, M_PI / 2, 0).rotation.y, 2.0, 1e-12);
}

TEST(Motions, OnlyTheNamedAxisMoves) {
    NodeTransform offset = runMotion(linearPosition, 1, 1.0, 0, 0, 1000);
    EXPECT_EQ(offset.position.x, 0.0);
    EXPECT_EQ(offset.position.y, 1.0);
    EXPECT_EQ(offset.position.z, 0.0);
    TrackCallback motions[4] = {sinePosition, linearPosition, easeOutPosition, sineRotation};
    for (TrackCallback motion : motions) {
        for (int32_t axis : {-1, 3}) {
            NodeTransform untouched = runMotion(motion, axis, 1.0, 1.0, 1.0, 700);
            EXPECT_EQ(untouched.position.x + untouched.position.y + untouched.position.z, 0.0);
            EXPECT_EQ(untouched.rotation.x + untouched.rotation.y + untouched.rotation.z, 0.0);
        }
    }
}

TEST(Motions, TimedRemovalWaitsUntilTheDelayIsExceeded) {
    SceneNode node;
    node.initNode();
    AnimTrack track;
    track.initTrack(1, true, 0.0);
    track.setRealTrack(timedRemoval, 3410.0, 0, 0);
    currentTrack = &track;
    currentNode = &node;
    track.elapsed = 3410.0;
    timedRemoval(0);
    EXPECT_FALSE(node.dying);
    track.elapsed = 3411.0;
    timedRemoval(0);
    EXPECT_TRUE(node.dying);
    currentTrack = nullptr;
    currentNode = nullptr;
    node.destroyNode();
}

static std::vector<int32_t> shown(int32_t frames) {
    int32_t digits[3];
    int32_t count = frameRateDigits(frames, digits);
    // Left to right, as on screen.
    std::vector<int32_t> out;
    for (int32_t i = count - 1; i >= 0; i--) out.push_back(digits[i]);
    return out;
}

TEST(FrameRate, DigitsOfTheWindowMean) {
    EXPECT_EQ(shown(1), (std::vector<int32_t>{0}));
    EXPECT_EQ(shown(49), (std::vector<int32_t>{9}));
    EXPECT_EQ(shown(50), (std::vector<int32_t>{1, 0}));
    EXPECT_EQ(shown(499), (std::vector<int32_t>{9, 9}));
    EXPECT_EQ(shown(500), (std::vector<int32_t>{1, 0, 0}));
    EXPECT_EQ(shown(5000), (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ(shown(1234), (std::vector<int32_t>{2, 4, 6}));
}

// Frames of `frameMs` for a simulated while: how many bubbles, and how many frames without one.
static void spawnCadence(double frameMs, int frames, int* bubbles, int* idleFrames) {
    double elapsed = 0.0;
    *bubbles = *idleFrames = 0;
    for (int i = 0; i < frames; i++) {
        elapsed += frameMs;
        if (takeBubbleTurn(&elapsed))
            ++*bubbles;
        else
            ++*idleFrames;
    }
}

TEST(Bubbles, SpawnCadence) {
    srand(1);
    int bubbles, idle;
    spawnCadence(50.0, 40000, &bubbles, &idle);
    // One bubble every 204.5 ms on average: one frame in about 4.09.
    EXPECT_NEAR(40000.0 / bubbles, 204.5 / 50.0, 0.05);
    spawnCadence(229.0, 10000, &bubbles, &idle);
    EXPECT_EQ(bubbles, 10000);
    EXPECT_EQ(idle, 0);
    spawnCadence(200.0, 10000, &bubbles, &idle);
    EXPECT_GT(idle, 0);
    EXPECT_GT(bubbles, 9000);
}

TEST(Bubbles, NoBubbleWhileTheBalanceIsNotPositive) {
    double elapsed = 0.0;
    EXPECT_FALSE(takeBubbleTurn(&elapsed));
    EXPECT_EQ(elapsed, 0.0);
    elapsed = 0.5;
    EXPECT_TRUE(takeBubbleTurn(&elapsed));
    EXPECT_LE(elapsed, 0.5 - 180);
    EXPECT_GE(elapsed, 0.5 - 229);
}

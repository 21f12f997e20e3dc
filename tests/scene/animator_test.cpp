#include "scene/animator.h"

#include <GL/gl.h>

#include <vector>

#include "tests/support/gl_fixture.h"

namespace {

struct StepRecord {
    int32_t arg;
    double elapsed;
    double lifetime;
    bool finished;
};
std::vector<StepRecord> steps;

void recordStep(int32_t arg) {
    steps.push_back({arg, currentTrack->elapsed, currentTrack->lifetime, currentTrack->finished});
}

void rewindStep(int32_t arg) {
    recordStep(arg);
    currentTrack->elapsed = 0.0;
}

void moveX(int32_t) {
    currentTrack->target->addPosition(currentTrack->realParam1, 0, 0);
}
void moveY(int32_t) {
    currentTrack->target->addPosition(0, currentTrack->realParam1, 0);
}
void setRotationX(int32_t) {
    currentTrack->target->setRotation(currentTrack->realParam1, 0, 0);
}
void addRotationX(int32_t) {
    currentTrack->target->addRotation(currentTrack->realParam1, 0, 0);
}

AnimTrack makeTrack(TrackCallback callback, int32_t arg, double duration, int32_t id = 0,
                    bool enabled = true) {
    AnimTrack track;
    track.initTrack(id, enabled, duration);
    track.setTrackAction(callback, arg);
    return track;
}

class AnimatorTest : public ::testing::Test {
   protected:
    Animator animator;
    void SetUp() override {
        steps.clear();
        frameTicks = 0;
        animator.initAnimator();
    }
    void TearDown() override { animator.destroyAnimator(); }
    void frameAt(uint32_t ticks) {
        frameTicks = ticks;
        animator.updateAnimator();
    }
};

TEST_F(AnimatorTest, DtIsTheUnsignedDifferenceOfFrameTicks) {
    frameAt(1000);
    animator.addTrack(makeTrack(recordStep, 7, 0.0));
    animator.addTrack(makeTrack(recordStep, 8, 0.0));
    frameAt(1016);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].arg, 7);
    EXPECT_EQ(steps[0].elapsed, 16.0);
    EXPECT_EQ(steps[1].elapsed, 16.0);
    EXPECT_EQ(animator.prevTicks, 1000u);

    frameAt(0xFFFFFFFFu - 5);  // the millisecond counter is about to wrap
    double before = animator.tracks[0].lifetime;
    frameAt(10);
    EXPECT_EQ(animator.tracks[0].lifetime - before, 16.0);
}

TEST_F(AnimatorTest, TrackBuiltBeforeTheFirstFrameSeesTheStartUpTime) {
    animator.addTrack(makeTrack(recordStep, 0, 0.0));
    frameAt(2500);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].elapsed, 2500.0);
}

TEST_F(AnimatorTest, DurationEndsOnTheStepThatReachesItAndTheTrackGoesNextUpdate) {
    animator.addTrack(makeTrack(recordStep, 0, 500.0));
    frameAt(200);
    frameAt(400);
    frameAt(500);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_FALSE(steps[1].finished);
    EXPECT_TRUE(steps[2].finished);
    EXPECT_EQ(animator.tracks.size(), 1u);
    frameAt(600);
    EXPECT_EQ(steps.size(), 3u);
    EXPECT_TRUE(animator.tracks.empty());
}

TEST_F(AnimatorTest, NegativeDurationRunsOnceEvenWithZeroDtAndEndlessNeverEnds) {
    frameAt(100);
    animator.addTrack(makeTrack(recordStep, 1, -1.0));
    animator.addTrack(makeTrack(recordStep, 2, 0.0));
    frameAt(100);
    frameAt(100);
    frameAt(1000000);
    ASSERT_EQ(steps.size(), 4u);
    EXPECT_EQ(steps[0].arg, 1);
    EXPECT_TRUE(steps[0].finished);
    for (size_t i = 1; i < steps.size(); i++) EXPECT_EQ(steps[i].arg, 2);
    EXPECT_FALSE(steps.back().finished);
    ASSERT_EQ(animator.tracks.size(), 1u);
}

TEST_F(AnimatorTest, DisabledTracksKeepTheirClocks) {
    animator.addTrack(makeTrack(recordStep, 0, 1000.0, 5));
    frameAt(100);
    animator.disableTracks(5);
    frameAt(400);
    frameAt(900);
    EXPECT_EQ(steps.size(), 1u);
    EXPECT_EQ(animator.tracks[0].elapsed, 100.0);
    EXPECT_EQ(animator.tracks[0].lifetime, 100.0);
    animator.enableTracks(5);
    frameAt(950);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[1].elapsed, 150.0);
    animator.finishTracks(5);
    frameAt(960);
    EXPECT_TRUE(animator.tracks.empty());
}

TEST_F(AnimatorTest, RewoundElapsedDoesNotDelayTheDuration) {
    animator.addTrack(makeTrack(rewindStep, 0, 50.0));
    frameAt(20);
    frameAt(40);
    frameAt(60);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[1].elapsed, 20.0);
    EXPECT_EQ(steps[2].lifetime, 60.0);
    EXPECT_TRUE(steps[2].finished);
}

class AnimatorOffsetTest : public GlTest {};

TEST_F(AnimatorOffsetTest, TracksWriteTheOffsetWhichIsResetAndAppliedEachUpdate) {
    Animator animator;
    animator.initAnimator();
    AnimTrack track;
    track.initTrack(0, true, 0.0);
    track.setRealTrack(moveX, 3.0, 0, 0);
    animator.addTrack(track);
    track.setRealTrack(moveY, 4.0, 0, 0);
    animator.addTrack(track);
    track.setRealTrack(addRotationX, 15.0, 0, 0);
    animator.addTrack(track);
    track.setRealTrack(setRotationX, 90.0, 0, 0);
    animator.addTrack(track);
    for (int frame = 0; frame < 3; frame++) {
        glLoadIdentity();
        animator.updateAnimator();
    }
    EXPECT_EQ(animator.offset.position.x, 3.0);
    EXPECT_EQ(animator.offset.position.y, 4.0);
    EXPECT_EQ(animator.offset.rotation.x, 90.0);
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    EXPECT_DOUBLE_EQ(m[12], 3.0);
    EXPECT_DOUBLE_EQ(m[13], 4.0);
    EXPECT_NEAR(m[6], 1.0, 1e-6);  // y axis turned onto z: 90 degrees about x
    animator.destroyAnimator();
}

class AnimScriptTest : public AnimatorTest {
   protected:
    AnimScript script;
    void SetUp() override {
        AnimatorTest::SetUp();
        script.initScript(&animator);
    }
    void TearDown() override {
        script.destroyScript();
        AnimatorTest::TearDown();
    }
};

TEST_F(AnimScriptTest, RunningAStateTwiceAddsIndependentCopies) {
    EXPECT_EQ(script.newState(), 0);
    script.addStateTrack(makeTrack(recordStep, 1, 0.0));
    script.addStateTrack(makeTrack(recordStep, 2, 0.0));
    script.runState(0);
    frameAt(10);
    script.runState(0);
    ASSERT_EQ(animator.tracks.size(), 4u);
    EXPECT_EQ(animator.tracks[0].target, &animator.offset);
    frameAt(30);
    EXPECT_EQ(animator.tracks[0].elapsed, 30.0);
    EXPECT_EQ(animator.tracks[2].elapsed, 20.0);
    EXPECT_EQ(animator.tracks[3].callbackArg, 2);
    EXPECT_TRUE(script.stateTracks[0][0].target == nullptr);
}

TEST_F(AnimScriptTest, CommandsActOnJustAddedTracksAndTriggersRunOtherScripts) {
    Animator otherAnimator;
    otherAnimator.initAnimator();
    AnimScript other;
    other.initScript(&otherAnimator);
    other.newState();
    other.addStateTrack(makeTrack(recordStep, 9, 0.0));

    script.newState();
    script.addStateTrack(makeTrack(recordStep, 1, 0.0, 3));
    script.addStateTrack(makeTrack(recordStep, 2, 0.0, 4));
    script.addStateCommand(3, TRACK_DISABLE);
    script.addStateCommand(4, TRACK_FINISH);
    script.addStateCommand(4, 77);
    script.addStateTrigger(&other, 0);
    script.addStateTrigger(&other, 5);
    script.runState(0);
    ASSERT_EQ(animator.tracks.size(), 2u);
    EXPECT_FALSE(animator.tracks[0].enabled);
    EXPECT_TRUE(animator.tracks[1].finished);
    EXPECT_EQ(otherAnimator.tracks.size(), 1u);
    frameAt(10);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(animator.tracks.size(), 1u);

    // A trigger loop ends instead of recursing without bound.
    other.addStateTrigger(&script, 0);
    script.runState(0);
    EXPECT_GT(otherAnimator.tracks.size(), 2u);
    EXPECT_LT(otherAnimator.tracks.size(), 100u);
    other.destroyScript();
    otherAnimator.destroyAnimator();
}

TEST_F(AnimScriptTest, AdditionsBeforeTheFirstStateAreIgnoredAndDisabledStatesDoNotRun) {
    EXPECT_EQ(script.currentState, -1);
    script.addStateTrack(makeTrack(recordStep, 1, 0.0));
    script.addStateCommand(1, TRACK_FINISH);
    script.addStateTrigger(&script, 0);
    EXPECT_TRUE(script.stateTracks.empty());
    script.runState(0);
    script.runState(-1);
    EXPECT_TRUE(animator.tracks.empty());

    script.newState();
    script.newState();
    script.addStateTrack(makeTrack(recordStep, 1, 0.0));
    EXPECT_TRUE(script.selectState(0));
    EXPECT_FALSE(script.selectState(2));
    script.stateEnabled[1] = 0;
    EXPECT_FALSE(script.selectState(1));
    EXPECT_EQ(script.currentState, 0);
    script.runState(1);
    EXPECT_TRUE(animator.tracks.empty());
}

}  // namespace

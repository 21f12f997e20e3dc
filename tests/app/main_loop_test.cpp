#include "app/main_loop.h"

#include <gtest/gtest.h>

static SDL_Event keyDown(SDLKey key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    return event;
}

static SDL_Event ofType(Uint8 type) {
    SDL_Event event = {};
    event.type = type;
    return event;
}

TEST(EventEndsRun, EscapeAloneAmongKeysAndButtons) {
    EXPECT_TRUE(eventEndsRun(keyDown(SDLK_ESCAPE), 0, false));
    EXPECT_FALSE(eventEndsRun(keyDown(SDLK_SPACE), 5000, true));
    SDL_Event release = keyDown(SDLK_ESCAPE);
    release.type = SDL_KEYUP;
    EXPECT_FALSE(eventEndsRun(release, 5000, true));
    EXPECT_FALSE(eventEndsRun(ofType(SDL_MOUSEBUTTONDOWN), 5000, true));
    EXPECT_FALSE(eventEndsRun(ofType(SDL_QUIT), 5000, true));
    EXPECT_FALSE(eventEndsRun(ofType(SDL_ACTIVEEVENT), 5000, true));
    EXPECT_FALSE(eventEndsRun(ofType(SDL_VIDEOEXPOSE), 5000, true));
}

TEST(EventEndsRun, MotionCountsOnlyAfterThreeSecondsAndWhenAsked) {
    SDL_Event motion = ofType(SDL_MOUSEMOTION);
    EXPECT_FALSE(eventEndsRun(motion, 0, true));
    EXPECT_FALSE(eventEndsRun(motion, 3000, true));
    EXPECT_TRUE(eventEndsRun(motion, 3001, true));
    EXPECT_FALSE(eventEndsRun(motion, 3001, false));
    EXPECT_FALSE(eventEndsRun(motion, 100000, false));
}

// Frames that take 5 ms each, started when the pacer says: the rate holds on average, and a frame
// that overruns is followed by the next at once, on a new grid.
TEST(FramePacer, HoldsTheCapOnAverageAndNeverCatchesUp) {
    FramePacer pacer;
    uint32_t now = 1000;
    pacer.initPacer(30, now);
    int frames = 0;
    while (now < 4000) {
        now += 5;
        frames++;
        now += pacer.restAfterFrame(now);
    }
    EXPECT_GE(frames, 89);
    EXPECT_LE(frames, 91);
    EXPECT_EQ(0u, pacer.restAfterFrame(now + 500));  // a slow frame: no wait, no burst after it
    EXPECT_EQ(33u, pacer.restAfterFrame(now + 500));

    pacer.initPacer(0, now);
    EXPECT_EQ(0u, pacer.restAfterFrame(now));
}

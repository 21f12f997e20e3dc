#include "app/main_loop.h"

#include <csignal>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/video.h"
#include "content/frame.h"
#include "content/scene.h"
#include "platform/cover_windows.h"
#include "scene/animator.h"
#include "scene/node.h"

// Mouse motion this soon after start-up is the pointer settling, not the user: it never ends the run.
static const uint32_t mouseGraceMs = 3000;

static volatile sig_atomic_t stopSignalled = 0;

static void onStopSignal(int) {
    stopSignalled = 1;
}

void installStopSignals() {
    std::signal(SIGTERM, onStopSignal);
    std::signal(SIGINT, onStopSignal);
}

bool stopRequestedBySignal() {
    return stopSignalled != 0;
}

static bool motionEndsRun(uint32_t ticksNow, bool mouseMoveEnds) {
    return ticksNow > mouseGraceMs && mouseMoveEnds;
}

bool eventEndsRun(const SDL_Event& event, uint32_t ticksNow, bool mouseMoveEnds) {
    if (event.type == SDL_KEYDOWN) return event.key.keysym.sym == SDLK_ESCAPE;
    if (event.type == SDL_MOUSEMOTION) return motionEndsRun(ticksNow, mouseMoveEnds);
    return false;
}

static void requestStop(bool& stopRequested) {
    if (stopRequested) return;
    stopRequested = true;
    if (sceneRoot) sceneRoot->markDying();
    if (overlayRoot) overlayRoot->markDying();
}

// A missing root counts as dead, so a run without a scene still ends.
static bool rootDead(const SceneNode* root) {
    return !root || root->dead;
}

static void tearDown() {
    delete settings;
    settings = nullptr;
    freeRoot(&sceneRoot);
    freeRoot(&overlayRoot);
    if (viewport) {
        viewport->closeVideo();
        delete viewport;
        viewport = nullptr;
    }
}

int32_t effectiveFrameCap(int32_t maxFramesPerSecond, bool swapWaitsForDisplay) {
    if (maxFramesPerSecond >= 0) return maxFramesPerSecond;
    return swapWaitsForDisplay ? 0 : defaultFrameCap;
}

// An ordinary window (--window) follows its new size, and closing it ends the run like Escape.
static bool windowEventEndsRun(const SDL_Event& event) {
    if (!viewport || !viewport->windowed) return false;
    if (event.type == SDL_VIDEORESIZE) {
        viewport->resizeWindow(event.resize.w, event.resize.h);
        fitOverlayToView(viewport->edges());
    }
    return event.type == SDL_QUIT;
}

// Input on another monitor's cover window counts as it would on the scene's.
static bool coverInputEndsRun(const CoverInput& input, uint32_t ticksNow, bool mouseMoveEnds) {
    return input.escapePressed || (input.pointerMoved && motionEndsRun(ticksNow, mouseMoveEnds));
}

void FramePacer::initPacer(int32_t cap, uint32_t now) {
    framesPerSecond = cap > 0 ? (uint32_t)cap : 0;
    startMs = now;
    frames = 0;
}

// Frames are due on a fixed grid (start + n * 1000 / cap), so the rate holds on average although
// the delay itself counts whole milliseconds; a frame that ran over starts a new grid.
uint32_t FramePacer::restAfterFrame(uint32_t now) {
    if (framesPerSecond == 0) return 0;
    frames++;
    uint32_t due = startMs + (uint32_t)((uint64_t)frames * 1000 / framesPerSecond);
    int32_t early = (int32_t)(due - now);
    if (early > 0) return (uint32_t)early;
    startMs = now;
    frames = 0;
    return 0;
}

void runMainLoop(int32_t maxFramesPerSecond) {
    bool stopRequested = false;
    FramePacer pacer;
    bool swapWaits = viewport && viewport->swapWaitsForDisplay;
    pacer.initPacer(effectiveFrameCap(maxFramesPerSecond, swapWaits), SDL_GetTicks());
    while (!(stopRequested && rootDead(sceneRoot) && rootDead(overlayRoot))) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            bool mouseMoveEnds = settings && settings->mouseMoveEnds;
            if (eventEndsRun(event, SDL_GetTicks(), mouseMoveEnds)) requestStop(stopRequested);
            if (windowEventEndsRun(event)) requestStop(stopRequested);
        }
        CoverInput coverInput = pollCoverWindows(SDL_GetTicks());
        if (coverInputEndsRun(coverInput, SDL_GetTicks(), settings && settings->mouseMoveEnds))
            requestStop(stopRequested);
        if (stopSignalled) requestStop(stopRequested);
        renderFrame();
        uint32_t rest = pacer.restAfterFrame(SDL_GetTicks());
        if (rest > 0) SDL_Delay(rest);
    }
    tearDown();
}

int32_t renderFrame() {
    drawFrame(sceneRoot, overlayRoot, SDL_GetTicks(), nullptr, nullptr);
    SDL_GL_SwapBuffers();
    return 1;
}

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
// The longest stretch between two looks at events and signals while resting between frames.
static const uint32_t restSliceMs = 25;
// The longest wait for a display that wants no picture (a hidden surface); its input and a stop
// signal cut it short.
static const uint32_t idleDisplaySliceMs = 500;

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

// An ordinary window (--window) follows its new size, and closing it ends the run like Escape.
static bool windowEventEndsRun(const SDL_Event& event) {
    if (!viewport || !viewport->windowed) return false;
    if (event.type == SDL_VIDEORESIZE) {
        viewport->resizeWindow(event.resize.w, event.resize.h);
        fitSceneToView(viewport->edges());
    }
    return event.type == SDL_QUIT;
}

// Input on another monitor's cover window counts as it would on the scene's.
static bool coverInputEndsRun(const CoverInput& input, uint32_t ticksNow, bool mouseMoveEnds) {
    return input.escapePressed || (input.pointerMoved && motionEndsRun(ticksNow, mouseMoveEnds));
}

// Handles what is queued (on the scene's surface and on the other monitors' covers), and a stop
// signal that has come.
static void handleEvents(bool& stopRequested) {
    bool mouseMoveEnds = settings && settings->mouseMoveEnds;
    // The display first: one that has gone ends the run before SDL touches it again.
    if (viewport) {
        VideoNews news = viewport->pollVideo();
        if (news.resized) fitSceneToView(viewport->edges());
        if (news.gone || news.inputEnds) requestStop(stopRequested);
        if (news.pointerMoved && motionEndsRun(SDL_GetTicks(), mouseMoveEnds)) requestStop(stopRequested);
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (eventEndsRun(event, SDL_GetTicks(), mouseMoveEnds)) requestStop(stopRequested);
        if (windowEventEndsRun(event)) requestStop(stopRequested);
    }
    CoverInput coverInput = pollCoverWindows(SDL_GetTicks());
    if (coverInputEndsRun(coverInput, SDL_GetTicks(), mouseMoveEnds)) requestStop(stopRequested);
    if (stopSignalled) requestStop(stopRequested);
}

// Rests in short slices, looking at events and signals between them, so that an ending is seen
// at once even when frames are far apart.
static void restBetweenFrames(uint32_t restMs, bool& stopRequested) {
    uint32_t end = SDL_GetTicks() + restMs;
    while (!stopRequested) {
        int32_t left = (int32_t)(end - SDL_GetTicks());
        if (left <= 0) return;
        SDL_Delay(left < (int32_t)restSliceMs ? (uint32_t)left : restSliceMs);
        handleEvents(stopRequested);
    }
}

void runMainLoop(int32_t maxFramesPerSecond, double cpuBudget) {
    bool stopRequested = false;
    RunPacing pacing;
    pacing.initPacing(cpuBudget, maxFramesPerSecond, SDL_GetTicks());
    while (!(stopRequested && rootDead(sceneRoot) && rootDead(overlayRoot))) {
        handleEvents(stopRequested);
        // The frames that dismantle the scene come whether the display wants them or not.
        if (!stopRequested && viewport && !viewport->frameWanted()) {
            viewport->waitForDisplay(idleDisplaySliceMs);
            continue;
        }
        renderFrame();
        if (!stopRequested) restBetweenFrames(pacing.restAfterFrame(SDL_GetTicks()), stopRequested);
    }
    tearDown();
}

int32_t renderFrame() {
    drawFrame(sceneRoot, overlayRoot, SDL_GetTicks(), nullptr, nullptr);
    if (viewport) viewport->swapBuffers();
    return 1;
}

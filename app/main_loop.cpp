#include "app/main_loop.h"

#include <GL/gl.h>

#include <csignal>

#include "app/app_state.h"
#include "app/settings.h"
#include "app/video.h"
#include "content/scene.h"
#include "pak/mesh.h"
#include "scene/animator.h"
#include "scene/node.h"

static volatile sig_atomic_t stopSignalled = 0;

static void onStopSignal(int) {
    stopSignalled = 1;
}

void installStopSignals() {
    std::signal(SIGTERM, onStopSignal);
    std::signal(SIGINT, onStopSignal);
}

bool eventEndsRun(const SDL_Event& event, uint32_t ticksNow, bool mouseMoveEnds) {
    if (event.type == SDL_KEYDOWN) return event.key.keysym.sym == SDLK_ESCAPE;
    if (event.type == SDL_MOUSEMOTION) return ticksNow > 3000 && mouseMoveEnds;
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

static void freeRoot(SceneNode*& root) {
    if (!root) return;
    root->destroyNode();
    delete root;
    root = nullptr;
}

static void tearDown() {
    delete settings;
    settings = nullptr;
    freeRoot(sceneRoot);
    freeRoot(overlayRoot);
    if (viewport) {
        viewport->closeVideo();
        delete viewport;
        viewport = nullptr;
    }
}

// Where the swap does not wait for the display (software GL, a virtual X server), at most 125
// frames a second keep the saver from spinning a core for frames nobody sees.
static const uint32_t shortestFrameMs = 8;

static void restAfterFrame(uint32_t frameStart) {
    uint32_t spent = SDL_GetTicks() - frameStart;
    if (spent < shortestFrameMs) SDL_Delay(shortestFrameMs - spent);
}

// An ordinary window (--window) follows its new size, and closing it ends the run like Escape.
static bool windowEventEndsRun(const SDL_Event& event) {
    if (!viewport || !viewport->windowed) return false;
    if (event.type == SDL_VIDEORESIZE) {
        viewport->resizeWindow(event.resize.w, event.resize.h);
        fitOverlayToView();
    }
    return event.type == SDL_QUIT;
}

void runMainLoop() {
    bool stopRequested = false;
    while (!(stopRequested && rootDead(sceneRoot) && rootDead(overlayRoot))) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            bool mouseMoveEnds = settings && settings->mouseMoveEnds;
            if (eventEndsRun(event, SDL_GetTicks(), mouseMoveEnds)) requestStop(stopRequested);
            if (windowEventEndsRun(event)) requestStop(stopRequested);
        }
        if (stopSignalled) requestStop(stopRequested);
        renderFrame();
        restAfterFrame(frameTicks);
    }
    tearDown();
}

int32_t renderFrame() {
    frameTicks = SDL_GetTicks();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -100);
    if (sceneRoot) sceneRoot->draw();
    if (overlayRoot) overlayRoot->draw();
    drawDeferredMeshes();
    SDL_GL_SwapBuffers();
    return 1;
}

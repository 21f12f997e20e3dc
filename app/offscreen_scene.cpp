#include "app/offscreen_scene.h"

#include <GL/gl.h>

#include <cstdlib>

#include "app/app_state.h"
#include "app/video.h"
#include "content/clock.h"
#include "content/frame.h"
#include "content/scene.h"
#include "pak/library.h"
#include "platform/offscreen_gl.h"
#include "scene/node.h"

static Viewport offscreenViewport;
static SaverSettings offscreenSettings;
static time_t offscreenWallTime;

static time_t offscreenClock(time_t* out) {
    time_t now = offscreenWallTime + (time_t)(frameTicks / 1000);
    if (out) *out = now;
    return now;
}

// The given time is already the time of day to show: no zone, no daylight saving.
static struct tm* offscreenConversion(const time_t* now) {
    return gmtime(now);
}

void setOffscreenWallTime(time_t wallTime) {
    offscreenWallTime = wallTime;
}

bool openOffscreenScene(int32_t width, int32_t height, const SaverSettings& sceneSettings, unsigned seed,
                        time_t wallTime, const char* installDir) {
    if (!openOffscreenGl(width, height)) {
        closeOffscreenGl();
        return false;
    }
    beginOffscreenScene(width, height, sceneSettings, seed, wallTime, installDir);
    return true;
}

void beginOffscreenScene(int32_t width, int32_t height, const SaverSettings& sceneSettings, unsigned seed,
                         time_t wallTime, const char* installDir) {
    applyGlState();
    offscreenViewport.width = width;
    offscreenViewport.height = height;
    offscreenViewport.bitsPerPixel = 32;
    offscreenViewport.swapWaitsForDisplay = false;
    offscreenViewport.setProjection(width, height);
    viewport = &offscreenViewport;
    offscreenSettings = sceneSettings;
    settings = &offscreenSettings;
    pakLibrary.setBasePath(installDir);
    srand(seed);
    frameTicks = 0;
    setOffscreenWallTime(wallTime);
    readWallClock = offscreenClock;
    convertWallClock = offscreenConversion;
    buildScene(sceneChoices(offscreenSettings), offscreenViewport.edges());
}

void drawOffscreenFrame(uint32_t ticks, bool finish) {
    drawFrame(sceneRoot, overlayRoot, ticks, nullptr, nullptr);
    if (finish) glFinish();
}

void readOffscreenPixels(std::vector<uint8_t>* rgb) {
    int32_t width = offscreenViewport.width;
    int32_t height = offscreenViewport.height;
    size_t row = (size_t)width * 3;
    std::vector<uint8_t> bottomUp(row * (size_t)height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    rgb->resize(bottomUp.size());
    for (int32_t y = 0; y < height; y++)
        std::copy(bottomUp.begin() + (ptrdiff_t)(row * (size_t)(height - 1 - y)),
                  bottomUp.begin() + (ptrdiff_t)(row * (size_t)(height - y)),
                  rgb->begin() + (ptrdiff_t)(row * (size_t)y));
}

void setOffscreenDrawArea(int32_t width, int32_t height) {
    glViewport(0, 0, width, height);
}

int32_t endOffscreenScene(uint32_t ticks) {
    sceneRoot->markDying();
    overlayRoot->markDying();
    int32_t frames = 0;
    while (!(sceneRoot->dead && overlayRoot->dead) && frames < 64) {
        drawOffscreenFrame(ticks, false);
        frames++;
    }
    bool dismantled = sceneRoot->dead && overlayRoot->dead;
    freeRoot(&sceneRoot);
    freeRoot(&overlayRoot);
    viewport = nullptr;
    settings = nullptr;
    readWallClock = time;
    convertWallClock = localtime;
    return dismantled ? frames : -1;
}

int32_t closeOffscreenScene(uint32_t ticks) {
    int32_t frames = endOffscreenScene(ticks);
    closeOffscreenGl();
    return frames;
}

bool renderOffscreenPicture(int32_t width, int32_t height, const SaverSettings& sceneSettings, unsigned seed,
                            time_t wallTime, const uint32_t* frameTimes, int32_t frameCount,
                            const char* installDir, std::vector<uint8_t>* rgb) {
    if (!openOffscreenScene(width, height, sceneSettings, seed, wallTime, installDir)) return false;
    uint32_t ticks = 0;
    for (int32_t i = 0; i < frameCount; i++) {
        ticks = frameTimes[i];
        drawOffscreenFrame(ticks, false);
    }
    readOffscreenPixels(rgb);
    closeOffscreenScene(ticks);
    return true;
}

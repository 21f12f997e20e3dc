// The full-screen run as the saver does it, for measuring start-up, processor use and memory from
// outside (scripts/cpu-use.sh), beside a bare GL program on the same renderer: with --bare the
// window only clears and swaps, paced the same way.
//
// Usage: bench_shell_run [--bare] [--max-fps=N] [--cpu-budget=F] [-root | -window-id N]
// Prints "first frame <ms> ms after start" on standard output once the first frame is on the screen
// (measured from LUMIVANE_START_NS, CLOCK_REALTIME nanoseconds taken before the program was
// started, else from the program's main), then runs until SIGTERM or SIGINT.
#include <GL/gl.h>
#include <SDL/SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/main_loop.h"
#include "app/modes.h"
#include "app/settings.h"
#include "app/video.h"
#include "content/scene.h"
#include "pak/library.h"
#include "platform/heap_trim.h"
#include "platform/host_window.h"
#include "platform/install_path.h"
#include "platform/renderer_threads.h"

static double realtimeMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

static double startMs(double fallback) {
    const char* start = getenv("LUMIVANE_START_NS");
    if (!start || !*start) return fallback;
    return strtod(start, nullptr) / 1e6;
}

// Clears and swaps until stopped: what any GL program on this renderer costs.
static void reportFirstFrame(double start) {
    printf("first frame %.0f ms after start\n", realtimeMs() - start);
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    printf("renderer %s, %d samples a pixel, swap %s\n", (const char*)glGetString(GL_RENDERER), (int)samples,
           viewport->swapWaitsForDisplay ? "waits for the display" : "does not wait");
    fflush(stdout);
}

static void runBare(int32_t cap, double budget, double start) {
    installStopSignals();
    viewport = new Viewport();
    viewport->openVideo(0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    viewport->swapBuffers();
    glFinish();
    reportFirstFrame(start);
    RunPacing pacing;
    pacing.initPacing(budget, cap, SDL_GetTicks());
    SDL_Event event;
    while (!stopRequestedBySignal()) {
        while (SDL_PollEvent(&event)) {
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        viewport->swapBuffers();
        uint32_t rest = pacing.restAfterFrame(SDL_GetTicks());
        if (rest > 0) SDL_Delay(rest);
    }
    viewport->closeVideo();
}

// runFullScreen with the default settings, the first frame timed.
static void runScene(int32_t cap, double budget, double start) {
    if (installPath.found) pakLibrary.setBasePath(installPath.installDirectory());
    settings = new SaverSettings(defaultSettings());
    installStopSignals();
    viewport = new Viewport();
    viewport->openVideo(0, 0, 0);
    buildScene(sceneChoices(*settings), viewport->edges());
    renderFrame();
    glFinish();
    reportFirstFrame(start);
    runMainLoop(cap, budget);
}

int main(int argc, char** argv) {
    double start = startMs(realtimeMs());
    bool bare = false;
    int32_t cap = 0;
    double budget = defaultCpuBudget;
    std::string words;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--bare") == 0) {
            bare = true;
        } else if (strncmp(argv[i], "--max-fps=", 10) == 0) {
            cap = atoi(argv[i] + 10);
        } else if (strncmp(argv[i], "--cpu-budget=", 13) == 0) {
            budget = atof(argv[i] + 13);
        } else {
            words += std::string(words.empty() ? "" : " ") + argv[i];
        }
    }
    chooseHostWindow(words);
    // As the saver does, for both: the bare program is the yardstick of the renderer's own cost.
    chooseRendererThreads(budget > 0);
    if (bare) {
        runBare(cap, budget, start);
    } else {
        runScene(cap, budget, start);
    }
    return 0;
}

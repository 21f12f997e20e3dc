// The scene's own processor time per frame: animation, node births and deaths, traversal, the
// texture generators and the GL calls made, with the calls going to a GL that draws nothing
// (support/null_gl.cpp). What a real driver adds on top is bench_frame_bench's business.
//
// Usage: scene_cpu [frames [width height]]   (archives from LUMIVANE_PATH, LUMIVANE_BUILD_DIR or the
//                                             build folder above the program's)
// Prints the mean over all frames, the median of ten equal runs of them (steadier on a busy
// machine) and the slowest single frame.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "bench/support/null_gl.h"

namespace {
const uint32_t kFrameStep = 16;  // simulated ms per frame: a 60 Hz run
const int kRuns = 10;

double threadCpuUs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1e6 + (double)t.tv_nsec / 1e3;
}
}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? atoi(argv[1]) : 20000;
    int width = argc > 3 ? atoi(argv[2]) : 1024;
    int height = argc > 3 ? atoi(argv[3]) : 768;
    if (frames < kRuns || width < 1 || height < 1) {
        fprintf(stderr, "usage: scene_cpu [frames [width height]]   (frames at least %d)\n", kRuns);
        return 2;
    }
    std::string folder = nullGlArchiveFolder();
    if (access((folder + "main.pak").c_str(), R_OK) != 0) {
        fprintf(stderr, "scene_cpu: no main.pak in %s (build the assets first)\n", folder.c_str());
        return 1;
    }
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    beginOffscreenScene(width, height, chosen, 1, 1773493507, folder.c_str());
    uint32_t ticks = 0;
    for (int i = 0; i < 600; i++) drawOffscreenFrame(ticks += kFrameStep, false);  // bubbles rising

    int perRun = frames / kRuns;
    std::vector<double> runs;
    double total = 0.0, slowest = 0.0;
    for (int r = 0; r < kRuns; r++) {
        double runStart = threadCpuUs();
        for (int i = 0; i < perRun; i++) {
            double start = threadCpuUs();
            drawOffscreenFrame(ticks += kFrameStep, false);
            slowest = std::max(slowest, threadCpuUs() - start);
        }
        double spent = threadCpuUs() - runStart;
        total += spent;
        runs.push_back(spent / perRun);
    }
    std::sort(runs.begin(), runs.end());
    printf("scene's own time       %d frames at %dx%d, %u ms of scene time each, GL drawing nothing\n",
           perRun * kRuns, width, height, kFrameStep);
    printf("  per frame            %.1f us mean, %.1f us median of %d runs, %.1f us slowest frame\n",
           total / (perRun * kRuns), runs[kRuns / 2], kRuns, slowest);
    return endOffscreenScene(ticks) < 0 ? 1 : 0;
}

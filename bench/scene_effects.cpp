// Speed of the effect generators against their plain per-pixel formulas, and of the per-frame
// scene work: animator updates per track and draw traversal per node. Prints the ratios at the end.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/reference_generators.h"
#include "effects/fire.h"
#include "effects/plasma.h"
#include "platform/offscreen_gl.h"
#include "scene/node.h"

namespace {

const int32_t kSize = 256;
const int kCount = 10000;
uint8_t plasmaBias[3] = {0, 90, 160};

template <typename Generate>
void runPlasma(benchmark::State& state, Generate generate) {
    std::vector<uint8_t> pixels(kSize * kSize * 4);
    int32_t t = 0;
    for (auto _ : state) {
        generate(t += 30, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
}

void plasmaRef(benchmark::State& state) {
    runPlasma(state, [](int32_t t, uint8_t* p) { plasmaReference(t, kSize, kSize, p, plasmaBias); });
}

void plasmaFast(benchmark::State& state) {
    runPlasma(state, [](int32_t t, uint8_t* p) { plasmaGenerator(t, kSize, kSize, p, plasmaBias); });
}

// Both fires start from a warmed-up state so the heat field is busy, as on screen.
FireState* warmFire(std::vector<uint8_t>* pixels) {
    FireState* fire = initFireState(kSize, kSize);
    pixels->resize(kSize * kSize * 4);
    srand(1);
    for (int i = 0; i < 200; i++) fireGenerator(0, kSize, kSize, pixels->data(), fire);
    return fire;
}

template <typename Generate>
void runFire(benchmark::State& state, Generate generate) {
    std::vector<uint8_t> pixels;
    FireState* fire = warmFire(&pixels);
    for (auto _ : state) {
        generate(pixels.data(), fire);
        benchmark::DoNotOptimize(pixels.data());
    }
    freeFireState(fire);
}

void fireRef(benchmark::State& state) {
    runFire(state, fireReference);
}

void fireFast(benchmark::State& state) {
    runFire(state, [](uint8_t* p, FireState* fire) { fireGenerator(0, kSize, kSize, p, fire); });
}

void nudge(int32_t) {
    currentTrack->target->addPosition(currentTrack->realParam1, 0, 0);
}

void animatorUpdate(benchmark::State& state) {
    Animator animator;
    animator.initAnimator();
    AnimTrack track;
    track.initTrack(0, true, 0.0);
    track.setRealTrack(nudge, 0.001, 0, 0);
    for (int i = 0; i < kCount; i++) animator.addTrack(track);
    for (auto _ : state) {
        frameTicks += 16;
        glLoadIdentity();
        animator.updateAnimator();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
    animator.destroyAnimator();
}

void freeTree(SceneNode* node) {
    for (size_t i = 0; i < node->children.size(); i++) freeTree(node->children[i]);
    node->destroyNode();
    delete node;
}

// 100 groups of 100 placed nodes: 10,000 nodes below the root, two levels deep.
void drawTraversal(benchmark::State& state) {
    SceneNode* root = newNode();
    for (int g = 0; g < kCount / 100; g++) {
        SceneNode* group = newNode();
        group->setPosition(g, 0, 0);
        root->addChild(group);
        for (int i = 0; i < 99; i++) {
            SceneNode* leaf = newNode();
            leaf->setPosition(0, i, 0);
            leaf->setRotation(0, 0, i);
            group->addChild(leaf);
        }
    }
    for (auto _ : state) {
        frameTicks += 16;
        glLoadIdentity();
        root->draw();
    }
    glFinish();
    state.SetItemsProcessed(state.iterations() * kCount);
    freeTree(root);
}

BENCHMARK(plasmaRef)->Unit(benchmark::kMicrosecond);
BENCHMARK(plasmaFast)->Unit(benchmark::kMicrosecond);
BENCHMARK(fireRef)->Unit(benchmark::kMicrosecond);
BENCHMARK(fireFast)->Unit(benchmark::kMicrosecond);
BENCHMARK(animatorUpdate)->Unit(benchmark::kMicrosecond);
BENCHMARK(drawTraversal)->Unit(benchmark::kMicrosecond);

// Keeps the mean CPU time per iteration (in nanoseconds) of every benchmark run.
class SummaryReporter : public benchmark::ConsoleReporter {
   public:
    std::map<std::string, double> nanoseconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.iterations == 0) continue;
            nanoseconds[run.benchmark_name()] = run.cpu_accumulated_time * 1e9 / (double)run.iterations;
        }
    }
};

void printRatio(const SummaryReporter& r, const char* what, const char* ref, const char* fast) {
    auto a = r.nanoseconds.find(ref), b = r.nanoseconds.find(fast);
    if (a == r.nanoseconds.end() || b == r.nanoseconds.end()) return;
    printf("%s %dx%d: reference %.1f us, fast %.1f us, %.1fx faster\n", what, kSize, kSize, a->second / 1000,
           b->second / 1000, a->second / b->second);
}

void printPerItem(const SummaryReporter& r, const char* what, const char* name, const char* unit) {
    auto a = r.nanoseconds.find(name);
    if (a == r.nanoseconds.end()) return;
    printf("%s: %.1f ns per %s (%d of them)\n", what, a->second / kCount, unit, kCount);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!openOffscreenGl(64, 64)) {
        fprintf(stderr, "No headless GL context\n");
        return 1;
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n");
    printRatio(reporter, "Plasma", "plasmaRef", "plasmaFast");
    printRatio(reporter, "Fire", "fireRef", "fireFast");
    printPerItem(reporter, "Animator update", "animatorUpdate", "track");
    printPerItem(reporter, "Draw traversal", "drawTraversal", "node");
    closeOffscreenGl();
    benchmark::Shutdown();
    return 0;
}

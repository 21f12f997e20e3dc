#include "app/frame_budget.h"

#include <gtest/gtest.h>

#include <algorithm>

struct PacedRun {
    int32_t rate;            // the rate at the end
    int32_t changes;         // how often it changed
    uint32_t lastChangeMs;   // when it last changed
    double coresUsed;        // over the last 20 s
    double framesPerSecond;  // over the last 20 s
    int32_t lowestShown;     // the frame-rate display's figures (frames in 5 s, / 5) over the last 20 s
    int32_t highestShown;
};

// A minute of frames that each cost `frameMs` of processor and wall time (give or take `noise`,
// and give or take `drift` from one 2 s stretch to the next), paced by the budget as the main loop
// paces them.
static PacedRun runPaced(double share, int32_t ceiling, double frameMs, double noise, double drift) {
    FrameBudget budget;
    budget.initBudget(share, ceiling);
    FramePacer pacer;
    uint32_t now = 1000;
    uint64_t cpuUs = 500000;
    pacer.initPacer(budget.rate, now);
    PacedRun run = {0, 0, 0, 0.0, 0.0, 1 << 30, 0};
    uint32_t seed = 12345;
    uint64_t tailCpuUs = 0;
    int32_t tailFrames = 0;
    int32_t shownFrames = 0;
    uint32_t shownStart = 41000;
    uint32_t stretchEnd = now;
    double stretch = 1.0;
    auto nextJitter = [&seed]() {  // -1 to 1
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 16) % 2001) / 1000.0 - 1.0;
    };
    while (now < 61000) {
        if (now >= stretchEnd) {
            if (drift > 0) stretch = 1 + drift * nextJitter();
            stretchEnd += 2000;
        }
        uint32_t costUs = (uint32_t)(frameMs * 1000 * stretch * (1 + noise * nextJitter()));
        if (now >= shownStart) {
            tailFrames++;
            tailCpuUs += costUs;
            shownFrames++;
        }
        cpuUs += costUs;
        now += (costUs + 500) / 1000;
        if (now >= shownStart + 5000) {
            run.lowestShown = std::min(run.lowestShown, shownFrames / 5);
            run.highestShown = std::max(run.highestShown, shownFrames / 5);
            shownFrames = 0;
            shownStart += 5000;
        }
        if (budget.afterFrame(now, cpuUs)) {
            pacer.initPacer(budget.rate, now);
            run.changes++;
            run.lastChangeMs = now - 1000;
        }
        now += pacer.restAfterFrame(now);
    }
    run.rate = budget.rate;
    run.coresUsed = tailCpuUs / 1e6 / 20.0;
    run.framesPerSecond = tailFrames / 20.0;
    return run;
}

struct BudgetCase {
    const char* what;
    double share;
    int32_t ceiling;
    double frameMs;
    double noise;
    double drift;
};

// Whatever a frame costs, the rate settles within a few windows on one step that keeps inside the
// budget without wasting much of it, stays there, and keeps within the ceiling and the floor.
TEST(FrameBudget, SettlesOnOneSteadyRateInsideTheBudget) {
    const BudgetCase cases[] = {
        {"software GL, 35 ms frames", 0.3, 0, 35.0, 0.0, 0.0},
        {"software GL, noisy frames", 0.3, 0, 35.0, 0.15, 0.0},
        {"software GL, frames that cost a seventh more or less from 2 s to 2 s", 0.3, 0, 24.0, 0.05, 0.15},
        {"a cheaper frame buys more frames", 0.3, 0, 20.0, 0.05, 0.0},
        {"on battery", 0.15, 0, 35.0, 0.05, 0.0},
        {"a big budget, capped by --max-fps", 4.0, 30, 35.0, 0.05, 0.0},
        {"a GPU, frames of half a millisecond", 0.3, 0, 0.5, 0.1, 0.0},
        {"a GPU under --max-fps=60", 0.3, 60, 0.5, 0.1, 0.0},
        {"a ceiling between steps", 2.0, 45, 5.0, 0.05, 0.0},
        {"a ceiling below the floor wins", 0.3, 3, 35.0, 0.0, 0.0},
        {"a tiny budget: the floor", 0.001, 0, 35.0, 0.05, 0.0},
        {"frames too slow for the floor", 0.3, 0, 250.0, 0.05, 0.0},
        {"no budget, no cap: flat out", 0.0, 0, 35.0, 0.0, 0.0},
        {"no budget: the cap alone", 0.0, 24, 10.0, 0.05, 0.0},
    };
    for (const BudgetCase& c : cases) {
        SCOPED_TRACE(c.what);
        PacedRun run = runPaced(c.share, c.ceiling, c.frameMs, c.noise, c.drift);
        EXPECT_LE(run.changes, 3);
        EXPECT_LT(run.lastChangeMs, 12000u) << "still moving after " << run.lastChangeMs << " ms";
        double slowest = std::min(1000.0 / c.frameMs, (double)run.rate);
        if (run.rate == 0) {
            EXPECT_EQ(0, c.ceiling);
            EXPECT_EQ(0.0, c.share);
            EXPECT_NEAR(1000.0 / c.frameMs, run.framesPerSecond, 1.0);
            continue;
        }
        int32_t floor = c.ceiling > 0 && c.ceiling < 5 ? c.ceiling : 5;
        EXPECT_GE(run.rate, floor);
        EXPECT_LE(run.rate, c.ceiling > 0 ? c.ceiling : 1000);
        EXPECT_NEAR(slowest, run.framesPerSecond, 0.3);
        bool capped = run.rate == c.ceiling || run.rate == 240 || c.share == 0;
        if (c.share > 0 && run.rate > floor) {
            EXPECT_LE(run.coresUsed, c.share * 1.05) << run.rate << " frames a second";
            if (!capped) {
                EXPECT_GE(run.coresUsed, c.share * 0.5) << run.rate << " frames a second";
            }
        }
        // The frame-rate display shows one figure.
        if (c.frameMs * run.rate < 900) {
            EXPECT_EQ(run.lowestShown, run.highestShown);
        }
    }
}

TEST(FrameBudget, ABudgetCutInHalfBringsTheRateDownAndItRisesWhenRestored) {
    FrameBudget budget;
    budget.initBudget(0.3, 0);
    uint32_t now = 0;
    uint64_t cpuUs = 0;
    // Frames of 28 ms at whatever rate is chosen, fed window by window.
    auto windows = [&](int32_t count) {
        for (int32_t w = 0; w < count; w++)
            for (int32_t f = 0; f <= budget.rate * 2; f++) {
                now += 1000 / budget.rate;
                cpuUs += 28000;
                budget.afterFrame(now, cpuUs);
            }
    };
    windows(4);
    int32_t onMains = budget.rate;
    EXPECT_LE(onMains * 0.028, 0.3);
    budget.coreShare = 0.15;
    windows(2);
    int32_t onBattery = budget.rate;
    EXPECT_LT(onBattery, onMains);
    EXPECT_LE(onBattery * 0.028, 0.15);
    budget.coreShare = 0.3;
    windows(2);
    EXPECT_GT(budget.rate, onBattery);
    EXPECT_LE(budget.rate * 0.028, 0.3);
}

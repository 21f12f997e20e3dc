#include "app/frame_budget.h"

#include "platform/power_source.h"
#include "platform/process_clock.h"

// The rates on offer, the floor first; close enough together that a step is never a big change in
// smoothness.
static const int32_t rateSteps[] = {
    budgetFloorFps, 6, 8, 10, 12, 15, 20, 24, 30, 40, 50, 60, 75, 90, 120, 144, 180, 240};
enum { RATE_STEP_COUNT = sizeof rateSteps / sizeof rateSteps[0] };
// A higher rate is taken only when it would use at most this much of the budget, so that the
// window's noise cannot push it straight back down.
static const double climbShare = 0.85;
static const int32_t startRate = 10;
static const uint32_t powerCheckMs = 5000;

void FramePacer::initPacer(int32_t rate, uint32_t now) {
    framesPerSecond = rate > 0 ? (uint32_t)rate : 0;
    startMs = now;
    frames = 0;
}

// Frames are due on a fixed grid (start + n * 1000 / rate), so the rate holds on average although
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

// The steps below the ceiling, then the ceiling itself; lowest first.
static int32_t offeredRates(int32_t ceiling, int32_t rates[RATE_STEP_COUNT + 1]) {
    int32_t count = 0;
    for (int32_t step : rateSteps)
        if (ceiling <= 0 || step < ceiling) rates[count++] = step;
    if (ceiling > 0) rates[count++] = ceiling;
    return count;
}

// The highest offered rate whose frames fit in `share`; the lowest (the floor) when none does.
static int32_t highestWithin(const int32_t rates[], int32_t count, double frameCpuSeconds, double share) {
    int32_t best = rates[0];
    for (int32_t i = 0; i < count; i++)
        if (rates[i] * frameCpuSeconds <= share) best = rates[i];
    return best;
}

int32_t chooseRate(int32_t current, double frameCpuSeconds, double share, int32_t ceiling) {
    if (share <= 0) return ceiling > 0 ? ceiling : 0;
    int32_t rates[RATE_STEP_COUNT + 1];
    int32_t count = offeredRates(ceiling, rates);
    if (current <= 0 || current * frameCpuSeconds > share)
        return highestWithin(rates, count, frameCpuSeconds, share);
    int32_t climb = highestWithin(rates, count, frameCpuSeconds, share * climbShare);
    return climb > current ? climb : current;
}

void FrameBudget::initBudget(double share, int32_t ceilingFps) {
    coreShare = share > 0 ? share : 0;
    ceiling = ceilingFps > 0 ? ceilingFps : 0;
    rate = ceiling;
    if (coreShare > 0) rate = ceiling > 0 && ceiling < startRate ? ceiling : startRate;
    measuring = false;
    warmedUp = false;
    windowStartMs = 0;
    windowStartCpuUs = 0;
    windowFrames = 0;
}

bool FrameBudget::afterFrame(uint32_t nowMs, uint64_t cpuUs) {
    if (coreShare <= 0) return false;
    // The first window starts after the first frame, which also pays for start-up.
    if (!measuring) {
        measuring = true;
        windowStartMs = nowMs;
        windowStartCpuUs = cpuUs;
        windowFrames = 1;
        return false;
    }
    if (nowMs - windowStartMs < budgetWindowMs) {
        windowFrames++;
        return false;
    }
    double frameCpuSeconds = (double)(cpuUs - windowStartCpuUs) / 1e6 / windowFrames;
    windowStartMs = nowMs;
    windowStartCpuUs = cpuUs;
    windowFrames = 1;
    // The first window's frames still upload pictures and build the renderer's programs as each
    // part first shows: judged by them, the rate would settle a step too low for good.
    if (!warmedUp) {
        warmedUp = true;
        return false;
    }
    int32_t next = chooseRate(rate, frameCpuSeconds, coreShare, ceiling);
    if (next == rate) return false;
    rate = next;
    return true;
}

static double shareForPowerSource(double mainsShare) {
    return onBatteryPower() ? mainsShare / 2 : mainsShare;
}

void RunPacing::initPacing(double share, int32_t ceiling, uint32_t now) {
    mainsShare = share > 0 ? share : 0;
    powerCheckedMs = now;
    budget.initBudget(mainsShare > 0 ? shareForPowerSource(mainsShare) : 0, ceiling);
    pacer.initPacer(budget.rate, now);
}

uint32_t RunPacing::restAfterFrame(uint32_t now) {
    if (mainsShare > 0 && now - powerCheckedMs >= powerCheckMs) {
        powerCheckedMs = now;
        budget.coreShare = shareForPowerSource(mainsShare);
    }
    if (budget.afterFrame(now, processCpuMicroseconds())) pacer.initPacer(budget.rate, now);
    return pacer.restAfterFrame(now);
}

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
// A rate the budget fell from is tried again only after a wait, twice as long each time.
static const uint32_t firstHoldMs = 20000;
static const uint32_t longestHoldMs = 320000;
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

// The highest offered step below `rate`; the floor when there is none.
static int32_t stepBelow(int32_t rate) {
    int32_t below = rateSteps[0];
    for (int32_t step : rateSteps)
        if (step < rate) below = step;
    return below;
}

int32_t chooseRate(int32_t current, double recentFrameCpu, double worstFrameCpu, double share,
                   int32_t ceiling) {
    if (share <= 0) return ceiling > 0 ? ceiling : 0;
    int32_t rates[RATE_STEP_COUNT + 1];
    int32_t count = offeredRates(ceiling, rates);
    if (current <= 0 || current * recentFrameCpu > share)
        return highestWithin(rates, count, recentFrameCpu, share);
    int32_t climb = highestWithin(rates, count, worstFrameCpu, share * climbShare);
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
    historyCount = 0;
    fellFrom = 0;
    retryMs = 0;
    holdMs = 0;
    for (int32_t i = 0; i < budgetHistoryWindows; i++) {
        historyCpuUs[i] = 0;
        historyFrames[i] = 0;
    }
}

void FrameBudget::recordWindow(uint64_t cpuUs, uint32_t frames) {
    for (int32_t i = budgetHistoryWindows - 1; i > 0; i--) {
        historyCpuUs[i] = historyCpuUs[i - 1];
        historyFrames[i] = historyFrames[i - 1];
    }
    historyCpuUs[0] = cpuUs;
    historyFrames[0] = frames;
    if (historyCount < budgetHistoryWindows) historyCount++;
}

// On a quiet machine one window's frames can cost a sixth more than the next one's: judged window
// by window, the rate would tip down a step and back up again and again. So the budget is held
// over the last two windows, and a climb waits until every window on record leaves room for it.
double FrameBudget::recentFrameCpu() const {
    return (double)(historyCpuUs[0] + historyCpuUs[1]) / 1e6 / (historyFrames[0] + historyFrames[1]);
}

double FrameBudget::worstFrameCpu() const {
    double worst = 0;
    for (int32_t i = 0; i < historyCount; i++) {
        double cost = (double)historyCpuUs[i] / 1e6 / historyFrames[i];
        if (cost > worst) worst = cost;
    }
    return worst;
}

// A fall starts a wait before the rate fallen from is tried again; a climb during it stops short.
int32_t FrameBudget::holdBack(int32_t next, uint32_t nowMs) {
    if (next > rate && fellFrom > 0 && (int32_t)(nowMs - retryMs) < 0) {
        int32_t below = stepBelow(fellFrom);
        if (next > below) next = below > rate ? below : rate;
    }
    if (next < rate) {
        holdMs = holdMs == 0 ? firstHoldMs : (holdMs * 2 < longestHoldMs ? holdMs * 2 : longestHoldMs);
        fellFrom = rate;
        retryMs = nowMs + holdMs;
    }
    return next;
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
    uint64_t windowCpuUs = cpuUs - windowStartCpuUs;
    uint32_t frames = windowFrames;
    windowStartMs = nowMs;
    windowStartCpuUs = cpuUs;
    windowFrames = 1;
    // The first window's frames still upload pictures and build the renderer's programs as each
    // part first shows: judged by them, the rate would settle a step too low for good.
    if (!warmedUp) {
        warmedUp = true;
        return false;
    }
    recordWindow(windowCpuUs, frames);
    int32_t next = holdBack(chooseRate(rate, recentFrameCpu(), worstFrameCpu(), coreShare, ceiling), nowMs);
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

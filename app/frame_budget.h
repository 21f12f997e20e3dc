#pragma once
#include <cstdint>

// How often frames are drawn: as many a second as a share of one processor core buys, in steps,
// never above a ceiling and never below a floor. The swap's own wait (one frame a refresh, where
// the driver honours it) comes on top of this.

const double defaultCpuBudget = 0.3;     // of one core; with the X server's share it stays under 0.4
const int32_t budgetFloorFps = 5;        // below this the scene no longer reads as motion
const uint32_t budgetWindowMs = 2000;    // processor time is averaged over this long
const int32_t budgetHistoryWindows = 3;  // windows on record: the rate climbs only if all allow it

// Spaces frames out to a rate of frames per second (0: as fast as the swap returns).
struct FramePacer {
    uint32_t framesPerSecond;
    uint32_t startMs;  // when the current run of evenly spaced frames began
    uint32_t frames;   // frames drawn since startMs

    void initPacer(int32_t rate, uint32_t now);
    // Milliseconds to wait, after a frame that ended at `now`, before the next one starts.
    uint32_t restAfterFrame(uint32_t now);
};

// Picks the rate from what frames have cost. Moves down as soon as the last two windows overrun the
// budget, up only where the higher rate leaves headroom in every window on record, so a steady
// machine keeps one steady rate.
struct FrameBudget {
    double coreShare;  // the budget in cores; 0: no budget, the ceiling alone
    int32_t ceiling;   // --max-fps; 0: none
    int32_t rate;      // the rate chosen now; 0: no limit
    bool measuring;    // a window has begun
    bool warmedUp;     // the first window, still paying for start-up, is over
    uint32_t windowStartMs;
    uint64_t windowStartCpuUs;
    uint32_t windowFrames;
    uint64_t historyCpuUs[budgetHistoryWindows];  // the finished windows', latest first
    uint32_t historyFrames[budgetHistoryWindows];
    int32_t historyCount;  // how many of them are filled
    int32_t fellFrom;      // the rate last left for overrunning the budget; 0: none
    uint32_t retryMs;      // until then, no climb to fellFrom or above
    uint32_t holdMs;       // the last wait set; each fall doubles it

    void initBudget(double share, int32_t ceilingFps);
    // After each frame, with the time and the process's processor time then: true when the rate changed.
    bool afterFrame(uint32_t nowMs, uint64_t cpuUs);
    void recordWindow(uint64_t cpuUs, uint32_t frames);
    double recentFrameCpu() const;                   // seconds a frame over the last two windows
    double worstFrameCpu() const;                    // in the dearest window on record
    int32_t holdBack(int32_t next, uint32_t nowMs);  // `next`, short of a rate still waited for
};

// The rate to move to from `current`, for frames that cost `recentFrameCpu` seconds each of late,
// and `worstFrameCpu` in the dearest window on record.
int32_t chooseRate(int32_t current, double recentFrameCpu, double worstFrameCpu, double share,
                   int32_t ceiling);

// A run's pacing: the budget (halved while on battery, the power source looked at every few
// seconds) and frames spaced at its rate.
struct RunPacing {
    FrameBudget budget;
    FramePacer pacer;
    double mainsShare;  // the budget on mains power
    uint32_t powerCheckedMs;

    void initPacing(double share, int32_t ceiling, uint32_t now);
    // After a frame: milliseconds to rest before the next one.
    uint32_t restAfterFrame(uint32_t now);
};

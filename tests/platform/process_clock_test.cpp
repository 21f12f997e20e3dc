#include "platform/process_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// The budget is only as good as this clock: it must count work, no faster than the work's own
// thread could run, and not count rest.
TEST(ProcessClock, CountsWorkButNotSleep) {
    using namespace std::chrono;
    uint64_t before = processCpuMicroseconds();
    auto start = steady_clock::now();
    auto limit = start + seconds(20);  // a loaded machine gives this thread only part of a core
    volatile uint64_t spin = 0;
    while (processCpuMicroseconds() - before < 100000 && steady_clock::now() < limit) spin = spin + 1;
    uint64_t worked = processCpuMicroseconds() - before;
    auto wallUs = duration_cast<microseconds>(steady_clock::now() - start).count();
    EXPECT_GE(worked, 100000u);
    EXPECT_GE((uint64_t)wallUs + 20000, worked);  // one thread: not more than the time that passed

    before = processCpuMicroseconds();
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_LT(processCpuMicroseconds() - before, 50000u);
}

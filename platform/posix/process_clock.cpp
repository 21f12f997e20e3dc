#include "platform/process_clock.h"

#include <ctime>

uint64_t processCpuMicroseconds() {
    timespec now = {};
    if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) != 0) return 0;
    return (uint64_t)now.tv_sec * 1000000u + (uint64_t)now.tv_nsec / 1000u;
}

#include "platform/process_clock.h"

#include <windows.h>

static uint64_t hundredNanoseconds(const FILETIME& time) {
    return ((uint64_t)time.dwHighDateTime << 32) | time.dwLowDateTime;
}

uint64_t processCpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return (hundredNanoseconds(kernel) + hundredNanoseconds(user)) / 10u;
}

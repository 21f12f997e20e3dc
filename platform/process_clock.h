#pragma once
#include <cstdint>

// Processor time this process has used so far, all its threads together (a software renderer's
// workers included), in microseconds.
uint64_t processCpuMicroseconds();

#pragma once
#include <cstdint>

// Cellular fire: heat seeded in three rows below the image rises and cools.
struct FireState {
    uint8_t palette[256 * 4];  // heat to R, G, B, A
    uint8_t* heat;             // width * rows, row-major
    uint8_t* nextHeat;
    int32_t width;
    int32_t rows;  // image height + 3 source rows
};

FireState* initFireState(int32_t width, int32_t height);  // cold: all heat 0
void freeFireState(FireState* state);
void fireGenerator(int32_t time, int32_t width, int32_t height, uint8_t* pixels, void* userData);

#pragma once
// The plain per-pixel formulas of the two generators. The screensaver runs faster versions that must
// produce the very same bytes; the tests compare against these and the benchmarks time both.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "effects/fire.h"

inline void plasmaReference(int32_t time, int32_t width, int32_t height, uint8_t* pixels,
                            const uint8_t* bias) {
    double t = (double)time;
    double sx = 6.28 / width;
    double sy = 6.28 / height;
    for (int32_t y = 0; y < height; y++) {
        for (int32_t x = 0; x < width; x++) {
            double v = sin(sx * x - 0.00012 * t) + sin(2 * sx * x - 0.00024 * t) +
                       sin(4 * sx * x - 0.0048 * t) + sin(sy * y - 0.00012 * t) +
                       sin(2 * sy * y - 0.00024 * t) + sin(4 * sy * y - 0.0048 * t);
            uint8_t c = (uint8_t)(int32_t)(v * 21.0 + 128.0);
            uint8_t d = (uint8_t)(c - 120);
            uint8_t* p = pixels + ((size_t)y * width + x) * 4;
            p[0] = (uint8_t)(bias[0] + d);
            p[1] = (uint8_t)(bias[1] + d);
            p[2] = (uint8_t)(bias[2] + d);
            p[3] = ((int8_t)c > 120 && c != 127) ? 255 : 0;
            if (x % 16 == 0 || y % 16 == 0 || x == width - 1 || y == height - 1) {
                p[1] = 127;
                p[3] = 255;
            }
        }
    }
}

inline void fireReference(uint8_t* pixels, FireState* state) {
    int32_t w = state->width;
    int32_t h = state->rows - 3;
    uint8_t* heat = state->heat;
    uint8_t* next = state->nextHeat;
    int n = rand() & (w - 1);
    for (int i = 0; i < n; i++) {
        int x = rand() % w;
        int y = h + rand() % 3;
        heat[y * w + x] = (uint8_t)rand();
    }
    int sparkX = rand() % w;
    int sparkY = h / 2 + rand() % (h / 2);
    heat[sparkY * w + sparkX] = (uint8_t)rand();
    for (int y = 0; y < h; y++) {
        next[y * w] = 0;
        next[y * w + w - 1] = 0;
        for (int x = 1; x < w - 1; x++) {
            int s = heat[y * w + x - 1] + heat[y * w + x + 1] + heat[(y + 1) * w + x - 1] +
                    heat[(y + 1) * w + x] + heat[(y + 1) * w + x + 1] + heat[(y + 2) * w + x - 1] +
                    heat[(y + 2) * w + x] + heat[(y + 2) * w + x + 1];
            int v = s / 8;
            if (v > 0) v = v - 1;
            next[y * w + x] = (uint8_t)v;
        }
    }
    for (int j = 0; j < w * h; j++) memcpy(pixels + j * 4, state->palette + next[j] * 4, 4);
    state->heat = next;
    state->nextHeat = heat;
}

#include "effects/fire.h"

#include <cstdlib>
#include <cstring>

struct PaletteRamp {
    int from, to;  // entries from .. to - 1
    uint8_t start[4];
    uint8_t end[4];
};

// Transparent black through red, orange and yellow to blue-violet and back to yellow.
// Entry 255 is never produced by the spread and stays 0.
static const PaletteRamp fireRamps[] = {
    {0, 64, {0, 0, 0, 0}, {255, 51, 36, 140}},
    {64, 96, {255, 51, 36, 140}, {255, 189, 51, 255}},
    {96, 128, {255, 189, 51, 255}, {255, 237, 51, 255}},
    {128, 196, {255, 237, 51, 255}, {100, 100, 189, 255}},
    {196, 255, {100, 100, 189, 255}, {255, 231, 51, 255}},
};

static void fillPalette(uint8_t* palette) {
    memset(palette, 0, 256 * 4);
    for (const PaletteRamp& ramp : fireRamps) {
        for (int i = ramp.from; i < ramp.to; i++) {
            double t = (double)(i - ramp.from) / (double)(ramp.to - ramp.from);
            for (int k = 0; k < 4; k++)
                palette[i * 4 + k] = (uint8_t)(int)(ramp.start[k] + (ramp.end[k] - ramp.start[k]) * t);
        }
    }
}

FireState* initFireState(int32_t width, int32_t height) {
    FireState* state = new FireState();
    state->width = width;
    state->rows = height + 3;
    size_t cells = (size_t)width * (size_t)state->rows;
    state->heat = new uint8_t[cells]();
    state->nextHeat = new uint8_t[cells]();
    fillPalette(state->palette);
    return state;
}

void freeFireState(FireState* state) {
    if (!state) return;
    delete[] state->heat;
    delete[] state->nextHeat;
    delete state;
}

// Random heat in the three source rows, and one spark in the lower half of the image.
// The rand() calls and their order are part of the picture a given seed produces.
static void seedFire(FireState* state, int32_t w, int32_t h) {
    uint8_t* heat = state->heat;
    int n = rand() & (w - 1);
    for (int i = 0; i < n; i++) {
        int x = rand() % w;
        int y = h + rand() % 3;
        heat[y * w + x] = (uint8_t)rand();
    }
    int x = rand() % w;
    int y = h / 2 + rand() % (h / 2);
    heat[y * w + x] = (uint8_t)rand();
}

enum { SPREAD_BLOCK = 16 };

// Each cell takes the cooled mean of the two cells beside it and the three below in each of the
// next two rows. Blocks of a fixed 16 cells let the compiler use vector instructions.
static void spreadBlock(const uint8_t* __restrict row0, const uint8_t* __restrict row1,
                        const uint8_t* __restrict row2, uint8_t* __restrict out) {
    for (int k = 0; k < SPREAD_BLOCK; k++) {
        uint16_t s = (uint16_t)(row0[k - 1] + row0[k + 1] + row1[k - 1] + row1[k] + row1[k + 1] +
                                row2[k - 1] + row2[k] + row2[k + 1]);
        uint16_t h = (uint16_t)(s >> 3);
        out[k] = (uint8_t)(h - (h > 0));
    }
}

static void spreadRow(const uint8_t* row0, uint8_t* out, int32_t w) {
    const uint8_t* row1 = row0 + w;
    const uint8_t* row2 = row1 + w;
    int32_t x = 1;
    for (; x + SPREAD_BLOCK <= w - 1; x += SPREAD_BLOCK) spreadBlock(row0 + x, row1 + x, row2 + x, out + x);
    for (; x < w - 1; x++) {
        int s = row0[x - 1] + row0[x + 1] + row1[x - 1] + row1[x] + row1[x + 1] + row2[x - 1] + row2[x] +
                row2[x + 1];
        int h = s >> 3;
        out[x] = (uint8_t)(h - (h > 0));
    }
    out[0] = 0;
    out[w - 1] = 0;
}

// Palette words are copied two pixels at a time.
static void colourRow(const uint8_t* heat, uint8_t* pixels, const uint32_t* palette, int32_t w) {
    int32_t x = 0;
    for (; x + 2 <= w; x += 2) {
        uint32_t pair[2] = {palette[heat[x]], palette[heat[x + 1]]};
        memcpy(pixels + (size_t)x * 4, pair, 8);
    }
    if (x < w) memcpy(pixels + (size_t)x * 4, &palette[heat[x]], 4);
}

void fireGenerator(int32_t, int32_t, int32_t, uint8_t* pixels, void* userData) {
    FireState* state = (FireState*)userData;
    int32_t w = state->width;
    int32_t h = state->rows - 3;
    if (w < 1 || h < 2) return;
    seedFire(state, w, h);
    uint32_t palette[256];
    memcpy(palette, state->palette, sizeof palette);
    for (int32_t y = 0; y < h; y++) {
        size_t row = (size_t)y * w;
        spreadRow(state->heat + row, state->nextHeat + row, w);
        colourRow(state->nextHeat + row, pixels + row * 4, palette, w);
    }
    uint8_t* swap = state->heat;
    state->heat = state->nextHeat;
    state->nextHeat = swap;
}

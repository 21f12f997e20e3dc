#include "effects/plasma.h"

#include <cmath>
#include <cstring>
#include <vector>

// Contour lines of a sum of sines over a 16-pixel grid. Each sine depends on x alone or y alone, so
// they are taken once per column and per row; the sum keeps its order of additions, so the result
// is the same to the bit as summing the six sines per pixel.

static uint32_t packPixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    uint8_t bytes[4] = {r, g, b, a};
    uint32_t pixel;
    memcpy(&pixel, bytes, 4);
    return pixel;
}

// Colour for every 8-bit level c, off and on the grid.
static void buildColours(const uint8_t* bias, uint32_t* plain, uint32_t* grid) {
    for (int c = 0; c < 256; c++) {
        uint8_t d = (uint8_t)(c - 120);
        uint8_t r = (uint8_t)(bias[0] + d), g = (uint8_t)(bias[1] + d), b = (uint8_t)(bias[2] + d);
        uint8_t a = (c > 120 && c < 127) ? 255 : 0;
        plain[c] = packPixel(r, g, b, a);
        grid[c] = packPixel(r, 127, b, 255);
    }
}

static bool onGrid(int32_t i, int32_t size) {
    return i % 16 == 0 || i == size - 1;
}

static void putPixel(uint8_t* row, int32_t x, uint32_t pixel) {
    memcpy(row + (size_t)x * 4, &pixel, 4);
}

// The sum keeps the order ((((a1 + a2) + a3) + b1) + b2) + b3 of the per-pixel formula.
static uint8_t level(double columnSum, double b1, double b2, double b3) {
    double v = columnSum + b1 + b2 + b3;
    return (uint8_t)(int32_t)(v * 21.0 + 128.0);
}

void plasmaGenerator(int32_t time, int32_t width, int32_t height, uint8_t* pixels, void* userData) {
    if (width < 1 || height < 1) return;
    double t = (double)time;
    double sx = 6.28 / width;
    double sy = 6.28 / height;
    uint32_t plain[256], grid[256];
    buildColours((const uint8_t*)userData, plain, grid);

    std::vector<double> columnSum((size_t)width);
    for (int32_t x = 0; x < width; x++)
        columnSum[x] =
            sin(sx * x - 0.00012 * t) + sin(2 * sx * x - 0.00024 * t) + sin(4 * sx * x - 0.0048 * t);
    for (int32_t y = 0; y < height; y++) {
        double b1 = sin(sy * y - 0.00012 * t);
        double b2 = sin(2 * sy * y - 0.00024 * t);
        double b3 = sin(4 * sy * y - 0.0048 * t);
        const uint32_t* rowColours = onGrid(y, height) ? grid : plain;
        uint8_t* row = pixels + (size_t)y * width * 4;
        for (int32_t x = 0; x < width; x++) {
            putPixel(row, x, rowColours[level(columnSum[x], b1, b2, b3)]);
        }
        // The grid columns, every 16th and the last, go over the row afterwards.
        for (int32_t x = 0; x < width; x += 16) putPixel(row, x, grid[level(columnSum[x], b1, b2, b3)]);
        putPixel(row, width - 1, grid[level(columnSum[width - 1], b1, b2, b3)]);
    }
}

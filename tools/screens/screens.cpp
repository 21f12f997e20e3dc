// screens: renders the scene headless at the common screen shapes and lays the pictures out as one
// contact sheet, so the composition can be judged at a glance.
//   screens <install folder> <out.png>                  the sheet
//   screens <install folder> <out.png> WxH [MS [X,Y,W,H]]  one frame of that size, MS ms in
//                                                      (default 6000), or the part of it given
// The seed, the wall time and the frame times are fixed: the same archives give the same picture.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "pak/png_writer.h"

struct Picture {
    int32_t width, height;
    std::vector<uint8_t> rgb;  // top row first
};

// The sheet's moment: a Saturday afternoon in March, six seconds in (the frame rate shows).
static const uint32_t frameStep = 40;
static const uint32_t sheetTicks = 6000;
static const int32_t sheetRowHeight = 300;
static const int32_t sheetGap = 8;

// 5:4, 4:3, 16:10, 16:9 and 21:9 at sizes such screens have, then 4K for the crop at 1:1.
static const int32_t shapes[5][2] = {{1280, 1024}, {1024, 768}, {1440, 900}, {1920, 1080}, {2560, 1080}};
static const int32_t crop4k[4] = {3840, 2160, 2000, 0};  // size, then the crop's left and top
static const int32_t cropWidth = 1840, cropHeight = 1000;

static time_t sheetWallTime() {
    struct tm date = {};
    date.tm_year = 2026 - 1900;
    date.tm_mon = 2;
    date.tm_mday = 14;
    date.tm_hour = 13;
    date.tm_min = 5;
    date.tm_sec = 7;
    return timegm(&date);
}

static bool render(const char* folder, int32_t width, int32_t height, uint32_t ticks, Picture* out) {
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    if (!openOffscreenScene(width, height, chosen, 1, sheetWallTime(), folder)) return false;
    setOffscreenDrawArea(1, 1);  // the frames before only advance the scene
    for (uint32_t t = frameStep; t < ticks; t += frameStep) drawOffscreenFrame(t, false);
    setOffscreenDrawArea(width, height);
    drawOffscreenFrame(ticks, false);
    out->width = width;
    out->height = height;
    readOffscreenPixels(&out->rgb);
    closeOffscreenScene(ticks);
    return true;
}

// Box filter: each output pixel averages the source pixels it covers.
static Picture shrink(const Picture& in, int32_t height) {
    Picture out;
    out.height = height;
    out.width = (int32_t)((int64_t)in.width * height / in.height);
    out.rgb.assign((size_t)out.width * out.height * 3, 0);
    for (int32_t y = 0; y < out.height; y++) {
        int32_t y0 = y * in.height / out.height, y1 = (y + 1) * in.height / out.height;
        for (int32_t x = 0; x < out.width; x++) {
            int32_t x0 = x * in.width / out.width, x1 = (x + 1) * in.width / out.width;
            uint32_t sum[3] = {0, 0, 0}, count = 0;
            for (int32_t sy = y0; sy < y1; sy++)
                for (int32_t sx = x0; sx < x1; sx++, count++)
                    for (int32_t k = 0; k < 3; k++) sum[k] += in.rgb[((size_t)sy * in.width + sx) * 3 + k];
            for (int32_t k = 0; k < 3; k++)
                out.rgb[((size_t)y * out.width + x) * 3 + k] = (uint8_t)(sum[k] / (count ? count : 1));
        }
    }
    return out;
}

static void paste(const Picture& in, int32_t left, int32_t top, int32_t srcLeft, int32_t srcTop,
                  int32_t width, int32_t height, Picture* sheet) {
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++)
            for (int32_t k = 0; k < 3; k++)
                sheet->rgb[((size_t)(top + y) * sheet->width + left + x) * 3 + k] =
                    in.rgb[((size_t)(srcTop + y) * in.width + srcLeft + x) * 3 + k];
}

static bool writePng(const std::string& path, const Picture& picture) {
    std::vector<uint8_t> rgba((size_t)picture.width * picture.height * 4, 255);
    for (size_t i = 0; i < (size_t)picture.width * picture.height; i++)
        for (size_t k = 0; k < 3; k++) rgba[i * 4 + k] = picture.rgb[i * 3 + k];
    std::vector<uint8_t> png;
    if (!encodePng(rgba.data(), picture.width, picture.height, &png)) return false;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    return fclose(file) == 0 && written;
}

// Two rows of the five shapes (each shrunk to one height), the 4K crop below them.
static bool makeSheet(const char* folder, Picture* sheet) {
    Picture rows[5];
    for (int32_t i = 0; i < 5; i++) {
        Picture full;
        if (!render(folder, shapes[i][0], shapes[i][1], sheetTicks, &full)) return false;
        rows[i] = shrink(full, sheetRowHeight);
    }
    int32_t top = rows[0].width + rows[1].width + rows[2].width + 2 * sheetGap;
    int32_t bottom = rows[3].width + rows[4].width + sheetGap;
    sheet->width = (top > bottom ? top : bottom) + 2 * sheetGap;
    if (sheet->width < cropWidth + 2 * sheetGap) sheet->width = cropWidth + 2 * sheetGap;
    sheet->height = 2 * sheetRowHeight + cropHeight + 4 * sheetGap;
    sheet->rgb.assign((size_t)sheet->width * sheet->height * 3, 40);
    int32_t x = sheetGap;
    for (int32_t i = 0; i < 3; i++) {
        paste(rows[i], x, sheetGap, 0, 0, rows[i].width, sheetRowHeight, sheet);
        x += rows[i].width + sheetGap;
    }
    x = sheetGap;
    for (int32_t i = 3; i < 5; i++) {
        paste(rows[i], x, 2 * sheetGap + sheetRowHeight, 0, 0, rows[i].width, sheetRowHeight, sheet);
        x += rows[i].width + sheetGap;
    }
    Picture big;
    if (!render(folder, crop4k[0], crop4k[1], sheetTicks, &big)) return false;
    paste(big, sheetGap, 3 * sheetGap + 2 * sheetRowHeight, crop4k[2], crop4k[3], cropWidth, cropHeight,
          sheet);
    return true;
}

int main(int argc, char** argv) {
    if (argc < 3 || argc > 6) {
        fprintf(stderr, "usage: screens <install folder> <out.png> [WxH [MS [X,Y,W,H]]]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '/') folder += '/';
    Picture picture;
    bool drawn;
    if (argc == 3) {
        drawn = makeSheet(folder.c_str(), &picture);
    } else {
        int32_t width = 0, height = 0;
        if (sscanf(argv[3], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0 || width > 8192 ||
            height > 8192) {
            fprintf(stderr, "screens: bad size %s (WxH, at most 8192x8192)\n", argv[3]);
            return 2;
        }
        char* end = nullptr;
        long ms = argc >= 5 ? strtol(argv[4], &end, 10) : (long)sheetTicks;
        if (argc >= 5 && (*end != '\0' || ms < (long)frameStep || ms > 3600000)) {
            fprintf(stderr, "screens: bad time %s (milliseconds, %u to 3600000)\n", argv[4], frameStep);
            return 2;
        }
        int32_t crop[4] = {0, 0, width, height};
        if (argc == 6 && (sscanf(argv[5], "%d,%d,%d,%d", &crop[0], &crop[1], &crop[2], &crop[3]) != 4 ||
                          crop[0] < 0 || crop[1] < 0 || crop[2] <= 0 || crop[3] <= 0 ||
                          crop[0] > width - crop[2] || crop[1] > height - crop[3])) {
            fprintf(stderr, "screens: bad part %s (X,Y,W,H inside the frame)\n", argv[5]);
            return 2;
        }
        Picture full;
        drawn = render(folder.c_str(), width, height, (uint32_t)ms, &full);
        if (drawn) {
            picture.width = crop[2];
            picture.height = crop[3];
            picture.rgb.assign((size_t)crop[2] * crop[3] * 3, 0);
            paste(full, 0, 0, crop[0], crop[1], crop[2], crop[3], &picture);
        }
    }
    if (!drawn) {
        fprintf(stderr, "screens: no offscreen GL context\n");
        return 1;
    }
    if (!writePng(argv[2], picture)) {
        fprintf(stderr, "screens: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

// preview_picture: renders the main scene (no clock, calendar or frame rate) headless and saves it
// as a 24-bit BMP, the still picture the /p preview paints.
//   preview_picture <install folder> [<out file> [WxH]]
// Defaults: <install folder>/preview.ppk at 152x112. The seed and the frame times are fixed, so
// the same archives always give the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "pak/little_endian.h"

static const unsigned pictureSeed = 20261207;
// A few frames so the flames and bubbles are under way, at times of a steady 50 frames a second.
static const uint32_t frameTimes[] = {0, 20, 40, 60, 80, 1500, 1520, 1540, 1560, 1580, 1600};

// RGB rows (top first) as an uncompressed bottom-up 24-bit BMP, rows padded to four bytes.
static std::vector<uint8_t> encodeBmp(const std::vector<uint8_t>& rgb, int32_t width, int32_t height) {
    uint32_t rowSize = ((uint32_t)width * 3 + 3) & ~3u;
    uint32_t imageSize = rowSize * (uint32_t)height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    putLe32(&out, 54 + imageSize);
    putLe32(&out, 0);
    putLe32(&out, 54);
    putLe32(&out, 40);
    putLe32(&out, (uint32_t)width);
    putLe32(&out, (uint32_t)height);
    putLe16(&out, 1);
    putLe16(&out, 24);
    putLe32(&out, 0);  // no compression
    putLe32(&out, imageSize);
    putLe32(&out, 2835);  // 72 dpi
    putLe32(&out, 2835);
    putLe32(&out, 0);
    putLe32(&out, 0);
    for (int32_t y = height - 1; y >= 0; y--) {
        const uint8_t* row = rgb.data() + (size_t)y * (size_t)width * 3;
        for (int32_t x = 0; x < width; x++) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3]);
        }
        for (uint32_t pad = (uint32_t)width * 3; pad < rowSize; pad++) out.push_back(0);
    }
    return out;
}

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        fprintf(stderr, "usage: preview_picture <install folder> [<out file> [WxH]]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '/') folder += '/';
    std::string outPath = argc > 2 ? argv[2] : folder + "preview.ppk";
    int32_t width = 152;
    int32_t height = 112;
    if (argc > 3 && (sscanf(argv[3], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0 ||
                     width > 8192 || height > 8192)) {
        fprintf(stderr, "preview_picture: bad size %s (WxH)\n", argv[3]);
        return 2;
    }
    SaverSettings sceneSettings = defaultSettings();
    sceneSettings.showClock = false;
    sceneSettings.showCalendar = false;
    sceneSettings.showFrameRate = false;
    std::vector<uint8_t> rgb;
    int32_t frameCount = (int32_t)(sizeof frameTimes / sizeof frameTimes[0]);
    // No clock or calendar in the picture, so the wall time does not show.
    if (!renderOffscreenPicture(width, height, sceneSettings, pictureSeed, 0, frameTimes, frameCount,
                                folder.c_str(), &rgb)) {
        fprintf(stderr, "preview_picture: no offscreen GL context\n");
        return 1;
    }
    std::vector<uint8_t> bmp = encodeBmp(rgb, width, height);
    FILE* file = fopen(outPath.c_str(), "wb");
    if (!file || fwrite(bmp.data(), 1, bmp.size(), file) != bmp.size() || fclose(file) != 0) {
        fprintf(stderr, "preview_picture: cannot write %s\n", outPath.c_str());
        return 1;
    }
    return 0;
}

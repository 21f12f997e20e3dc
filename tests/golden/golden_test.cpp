// Golden frames: the scene rendered with the built archives must match the reviewed pictures in
// this folder. LUMIVANE_UPDATE_GOLDEN=1 (scripts/update-golden.sh) writes them instead.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "pak/png_writer.h"

enum { WIDTH = 640, HEIGHT = 480 };

// A pixel differs when a channel is off by more than this; a frame fails when more than
// 1 in MISMATCH_SHARE of its pixels (15 at 640x480) differ. Mesa's software renderer gives the
// same bytes in the plain and the sanitizer builds, so the slack only absorbs rounding; it must
// stay small enough that a second hand turned the wrong way (a thin line) still fails.
enum { CHANNEL_SLACK = 2, MISMATCH_SHARE = 20000 };

struct GoldenCase {
    const char* name;
    void (*choose)(SaverSettings* chosen);
    int year, month, day, hour, minute, second;  // the wall time at the first frame
    uint32_t step;                               // milliseconds between frames
    uint32_t lastTicks;                          // the frame compared, a multiple of step
};

static void defaults(SaverSettings*) {}
static void analogClock(SaverSettings* s) {
    s->analogClock = true;
}
static void clock24(SaverSettings* s) {
    s->clock24Hours = true;
}
static void smallClock(SaverSettings* s) {
    s->largeClock = false;
}
static void russian(SaverSettings* s) {
    s->russianCalendar = true;
}
static void frameRate(SaverSettings* s) {
    s->showFrameRate = true;
}

// March 2026 begins on a Sunday, February 2026 on a Sunday with 28 days (four full rows),
// June 2026 on a Monday. The compared frame falls mid-second: in the frame in which a field
// changes, the old digit is still drawn beside the new one.
static const GoldenCase goldenCases[] = {
    {"default", defaults, 2026, 3, 14, 13, 5, 7, 40, 2520},
    {"analog_clock", analogClock, 2026, 3, 14, 10, 8, 35, 40, 2520},
    {"clock_24h", clock24, 2026, 3, 14, 21, 47, 1, 40, 2520},
    {"small_clock", smallClock, 2026, 3, 14, 9, 30, 41, 40, 2520},
    {"russian_calendar", russian, 2026, 3, 14, 13, 5, 7, 40, 2520},
    {"frame_rate", frameRate, 2026, 3, 14, 13, 5, 7, 40, 9800},
    {"sunday_month", defaults, 2026, 2, 9, 8, 15, 20, 40, 2520},
    {"monday_month", russian, 2026, 6, 30, 23, 0, 0, 40, 2520},
    {"minutes_later", frameRate, 2026, 3, 14, 13, 5, 7, 100, 3 * 60 * 1000 + 500},
};

// Names the case in test listings rather than dumping its bytes.
void PrintTo(const GoldenCase& c, std::ostream* out) {
    *out << c.name;
}

static time_t wallTime(const GoldenCase& c) {
    struct tm date = {};
    date.tm_year = c.year - 1900;
    date.tm_mon = c.month - 1;
    date.tm_mday = c.day;
    date.tm_hour = c.hour;
    date.tm_min = c.minute;
    date.tm_sec = c.second;
    return timegm(&date);
}

static std::string envFolder(const char* name) {
    const char* value = getenv(name);
    return value ? std::string(value) + "/" : std::string();
}

// Only the last frame is rasterised at full size; the ones before just advance the scene.
static bool renderGolden(const GoldenCase& c, std::vector<uint8_t>* rgb) {
    SaverSettings chosen = defaultSettings();
    c.choose(&chosen);
    std::string folder = envFolder("LUMIVANE_BUILD_DIR");
    if (!openOffscreenScene(WIDTH, HEIGHT, chosen, 1, wallTime(c), folder.c_str())) return false;
    setOffscreenDrawArea(1, 1);
    for (uint32_t t = c.step; t < c.lastTicks; t += c.step) drawOffscreenFrame(t, false);
    setOffscreenDrawArea(WIDTH, HEIGHT);
    drawOffscreenFrame(c.lastTicks, false);
    readOffscreenPixels(rgb);
    closeOffscreenScene(c.lastTicks);
    return true;
}

static bool readPng(const std::string& path, std::vector<uint8_t>* rgb) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    if (image.width != WIDTH || image.height != HEIGHT) {
        png_image_free(&image);
        return false;
    }
    rgb->resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr) != 0;
}

static bool writePng(const std::string& path, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> rgba((size_t)WIDTH * HEIGHT * 4, 255);
    for (size_t i = 0; i < (size_t)WIDTH * HEIGHT; i++)
        for (size_t k = 0; k < 3; k++) rgba[i * 4 + k] = rgb[i * 3 + k];
    std::vector<uint8_t> png;
    if (!encodePng(rgba.data(), WIDTH, HEIGHT, &png)) return false;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    return fclose(file) == 0 && written;
}

// Counts the differing pixels and paints them red over a dimmed copy of the golden frame.
static size_t compareFrames(const std::vector<uint8_t>& golden, const std::vector<uint8_t>& frame,
                            std::vector<uint8_t>* difference) {
    size_t differing = 0;
    difference->resize(golden.size());
    for (size_t p = 0; p < golden.size(); p += 3) {
        bool differs = false;
        for (size_t k = 0; k < 3; k++) differs |= abs(golden[p + k] - frame[p + k]) > CHANNEL_SLACK;
        differing += differs;
        for (size_t k = 0; k < 3; k++)
            (*difference)[p + k] = differs ? (k == 0 ? 255 : 0) : golden[p + k] / 4;
    }
    return differing;
}

class GoldenFrame : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenFrame, MatchesTheReviewedPicture) {
    const GoldenCase& c = GetParam();
    std::string build = envFolder("LUMIVANE_BUILD_DIR");
    ASSERT_EQ(access((build + "main.pak").c_str(), R_OK), 0) << "no built archives in " << build;
    std::vector<uint8_t> frame;
    ASSERT_TRUE(renderGolden(c, &frame)) << "no headless GL context";

    std::string goldenPath = std::string(LUMIVANE_GOLDEN_DIR) + c.name + ".png";
    const char* update = getenv("LUMIVANE_UPDATE_GOLDEN");
    if (update && *update == '1') {
        ASSERT_TRUE(writePng(goldenPath, frame)) << "cannot write " << goldenPath;
        return;
    }
    std::vector<uint8_t> golden;
    ASSERT_TRUE(readPng(goldenPath, &golden)) << "no " << WIDTH << "x" << HEIGHT << " picture " << goldenPath
                                              << " (scripts/update-golden.sh makes it)";
    std::vector<uint8_t> difference;
    size_t differing = compareFrames(golden, frame, &difference);
    if (differing <= (size_t)WIDTH * HEIGHT / MISMATCH_SHARE) return;
    std::string out = build + "golden-out/";
    std::string newPath = out + c.name + ".new.png";
    std::string diffPath = out + c.name + ".diff.png";
    mkdir(out.c_str(), 0755);
    bool saved = writePng(newPath, frame) && writePng(diffPath, difference);
    ADD_FAILURE() << differing << " of " << WIDTH * HEIGHT << " pixels differ from " << goldenPath << "; "
                  << (saved ? "new frame " + newPath + ", differences (red) " + diffPath
                            : "could not write the new frame to " + out);
}

INSTANTIATE_TEST_SUITE_P(Frames, GoldenFrame, ::testing::ValuesIn(goldenCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             return std::string(info.param.name);
                         });

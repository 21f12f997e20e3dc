// The asset builder's archives: every entry the scene loads is there and parses, pictures decode
// to 32-bit RGBA, two builds are byte-identical, every model draws something, the readouts sit
// inside their plates, and the Windows icon holds each of its sizes.
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "content/layout.h"
#include "effects/effect_name.h"
#include "pak/archive.h"
#include "pak/little_endian.h"
#include "pak/mesh.h"
#include "pak/model_layout.h"
#include "tests/pak/temp_dir.h"

namespace {

struct SceneArchive {
    const char* file;
    std::vector<std::string> models;
};

// Every model the scene loads, by archive, with the names it asks for.
std::vector<SceneArchive> sceneModels() {
    std::vector<SceneArchive> list = {
        {"main.pak", {candlesEntry, thinksEntry, flameEntry, bubbleEntry, signatureEntry}},
        {"debug.pak", {axisMarkerEntry}},
        {"clock.pak",
         {dialEntry, secondHandEntry, minuteHandEntry, hourHandEntry, clockPlateEntry, clockPlateAmEntry,
          colonEntry, amEntry, pmEntry}},
        {"calendar.pak",
         {pageEntry, pageRussianEntry, weekdaysEntry, weekdaysRussianEntry, emptyCellEntry, todayEntry}},
        {"utils.pak", {frameRateLabelEntry}},
    };
    for (int d = 0; d <= 9; d++) {
        list[2].models.push_back(std::to_string(d));
        list[4].models.push_back(std::to_string(d));
    }
    for (int m = 1; m <= 12; m++) list[3].models.push_back("m" + std::to_string(m));
    for (int day = 1; day <= 31; day++) list[3].models.push_back(std::to_string(day));
    return list;
}

std::string buildDir() {
    const char* dir = getenv("LUMIVANE_BUILD_DIR");
    return dir ? std::string(dir) + "/" : std::string("./");
}

bool runBuilder(const std::string& folder) {
    const std::string command = "'" + buildDir() + "lumivane_assets' '" + folder + "'";
    return std::system(command.c_str()) == 0;
}

// One build shared by the tests of this file.
class AssetArchives : public ::testing::Test {
   protected:
    static TempDir* folder;
    static bool built;
    static void SetUpTestSuite() {
        folder = new TempDir();
        built = runBuilder(folder->path);
    }
    static void TearDownTestSuite() {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(built) << "lumivane_assets failed"; }
    static bool open(PakArchive* archive, const char* file) {
        std::string error;
        return archive->load(folder->file(file).c_str(), &error);
    }
};
TempDir* AssetArchives::folder = nullptr;
bool AssetArchives::built = false;

struct ParsedMesh {
    std::string texture;
    MeshMaterial material;
    uint32_t triangles;
};

// Walks a model entry with the loader's own layout code; the blocks must fill it exactly.
bool parseModel(PakEntry entry, std::vector<ParsedMesh>* meshes, std::string* problem) {
    const uint8_t* cursor = nullptr;
    int32_t count = 0;
    if (!readModelHeader(entry.bytes, entry.size, &cursor, &count)) {
        *problem = "bad header";
        return false;
    }
    const uint8_t* end = entry.bytes + entry.size;
    for (int32_t i = 0; i < count; i++) {
        MeshBlockLayout block;
        const char* why = "";
        if (!readMeshBlock(cursor, end, &block, &why)) {
            *problem = why;
            return false;
        }
        ParsedMesh mesh;
        mesh.texture = block.textureName;
        readMeshMaterial(block.material, &mesh.material);
        mesh.triangles = block.triangleCount;
        for (uint32_t v = 0; v < block.triangleCount * 9; v++) {
            double value[2];
            std::memcpy(&value[0], block.vertices + 8 * v, 8);
            std::memcpy(&value[1], block.normals + 8 * v, 8);
            if (!std::isfinite(value[0]) || !std::isfinite(value[1])) {
                *problem = "non-finite vertex or normal";
                return false;
            }
        }
        meshes->push_back(mesh);
        cursor += block.blockSize;
    }
    if (cursor != end) {
        *problem = "bytes left after the last block";
        return false;
    }
    return true;
}

TEST_F(AssetArchives, EverySceneModelParsesAndNamesTexturesThatExist) {
    bool plasma = false, fire = false;
    for (const SceneArchive& scene : sceneModels()) {
        PakArchive archive;
        ASSERT_TRUE(open(&archive, scene.file)) << scene.file;
        for (const std::string& name : scene.models) {
            SCOPED_TRACE(std::string(scene.file) + " " + name);
            const PakEntry entry = archive.findEntry(name.c_str());
            ASSERT_NE(entry.bytes, nullptr);
            std::vector<ParsedMesh> meshes;
            std::string problem;
            ASSERT_TRUE(parseModel(entry, &meshes, &problem)) << problem;
            ASSERT_FALSE(meshes.empty());
            for (const ParsedMesh& mesh : meshes) {
                EXPECT_GT(mesh.triangles, 0u) << mesh.texture;
                if (mesh.texture.size() > 1 && mesh.texture[1] == '#') {
                    EffectName effect;
                    ASSERT_TRUE(parseEffectName(mesh.texture.c_str(), &effect)) << mesh.texture;
                    plasma = plasma || effect.kind == EFFECT_PLASMA;
                    if (effect.kind == EFFECT_FIRE) {
                        fire = true;
                        EXPECT_EQ(effect.width & (effect.width - 1), 0)
                            << "fire width must be a power of two";
                        EXPECT_GE(effect.height, 2);
                    }
                } else {
                    EXPECT_NE(archive.findEntry(mesh.texture.c_str()).bytes, nullptr) << mesh.texture;
                }
            }
        }
    }
    EXPECT_TRUE(plasma) << "no mesh uses a Plasma texture";
    EXPECT_TRUE(fire) << "no mesh uses a Fire texture";
}

// The overlay is drawn without lighting and after the scene, so all its meshes are blended.
TEST_F(AssetArchives, OverlayModelsAreBlended) {
    const std::vector<SceneArchive> list = sceneModels();
    for (size_t a = 2; a < list.size(); a++) {
        PakArchive archive;
        ASSERT_TRUE(open(&archive, list[a].file));
        for (const std::string& name : list[a].models) {
            std::vector<ParsedMesh> meshes;
            std::string problem;
            ASSERT_TRUE(parseModel(archive.findEntry(name.c_str()), &meshes, &problem)) << name;
            for (const ParsedMesh& mesh : meshes)
                EXPECT_TRUE(mesh.material.transparent) << list[a].file << " " << name;
        }
    }
}

TEST_F(AssetArchives, EveryPictureDecodesToRgbaBytes) {
    int pictures = 0;
    for (const SceneArchive& scene : sceneModels()) {
        PakArchive archive;
        ASSERT_TRUE(open(&archive, scene.file));
        for (size_t i = 0; i < archive.names.size(); i++) {
            const std::string& name = archive.names[i];
            if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0) continue;
            SCOPED_TRACE(std::string(scene.file) + " " + name);
            SDL_RWops* stream = SDL_RWFromConstMem(archive.entries[i].bytes, (int)archive.entries[i].size);
            SDL_Surface* surface = IMG_Load_RW(stream, 1);
            ASSERT_NE(surface, nullptr) << IMG_GetError();
            EXPECT_EQ(surface->format->BytesPerPixel, 4);
            EXPECT_EQ(surface->pitch, surface->w * 4);
            const uint8_t probe[4] = {1, 2, 3, 4};
            uint32_t word;
            std::memcpy(&word, probe, 4);
            // Bytes R, G, B, A in memory order, whatever the host's byte order.
            EXPECT_EQ(SDL_MapRGBA(surface->format, 1, 2, 3, 4), word);
            SDL_FreeSurface(surface);
            pictures++;
        }
    }
    EXPECT_GT(pictures, 60);
}

// Decodes a picture entry into RGBA bytes; empty when it is missing or does not decode.
std::vector<uint8_t> decodedPicture(const PakArchive& archive, const char* name, int* width) {
    std::vector<uint8_t> pixels;
    const PakEntry entry = archive.findEntry(name);
    if (!entry.bytes) return pixels;
    SDL_Surface* surface = IMG_Load_RW(SDL_RWFromConstMem(entry.bytes, (int)entry.size), 1);
    if (!surface) return pixels;
    *width = surface->w;
    for (int y = 0; y < surface->h; y++) {
        const uint8_t* row = (const uint8_t*)surface->pixels + y * surface->pitch;
        pixels.insert(pixels.end(), row, row + surface->w * 4);
    }
    SDL_FreeSurface(surface);
    return pixels;
}

// A glyph the fonts lack would leave a blank picture, or one equal to its neighbours'.
TEST_F(AssetArchives, TextPicturesShowTheirGlyphs) {
    PakArchive calendar, clock;
    ASSERT_TRUE(open(&calendar, "calendar.pak"));
    ASSERT_TRUE(open(&clock, "clock.pak"));
    // Weekday rows: one label over each of the seven columns (8 units apart on a 56-unit tile).
    for (const char* row : {"day.png", "day_rus.png"}) {
        int width = 0;
        const std::vector<uint8_t> pixels = decodedPicture(calendar, row, &width);
        ASSERT_FALSE(pixels.empty()) << row;
        const int height = (int)(pixels.size() / 4) / width;
        for (int column = 0; column < 7; column++) {
            const int centre = (int)((column * 8 + 4) * width / 56.0);
            int opaque = 0;
            for (int y = 0; y < height; y++)
                for (int x = centre - width / 20; x <= centre + width / 20; x++)
                    opaque += pixels[(size_t)(y * width + x) * 4 + 3] > 128;
            EXPECT_GT(opaque, 10) << row << " column " << column;
        }
    }
    std::vector<std::string> names;
    for (int m = 1; m <= 12; m++) names.push_back("month" + std::to_string(m) + ".png");
    for (int d = 1; d <= 31; d++) names.push_back("day" + std::to_string(d) + ".png");
    std::vector<std::vector<uint8_t>> seen;
    for (const std::string& name : names) {
        int width = 0;
        seen.push_back(decodedPicture(calendar, name.c_str(), &width));
        ASSERT_FALSE(seen.back().empty()) << name;
        for (size_t i = 0; i + 1 < seen.size(); i++)
            EXPECT_FALSE(seen[i] == seen.back()) << name << " repeats " << names[i];
    }
    seen.clear();
    for (int d = 0; d <= 9; d++) {
        int width = 0;
        seen.push_back(decodedPicture(clock, ("digit" + std::to_string(d) + ".png").c_str(), &width));
        ASSERT_FALSE(seen.back().empty()) << d;
        for (size_t i = 0; i + 1 < seen.size(); i++) EXPECT_FALSE(seen[i] == seen.back()) << "digit " << d;
    }
}

TEST(AssetBuilder, TwoBuildsAreByteIdentical) {
    TempDir first, second;
    ASSERT_TRUE(runBuilder(first.path));
    ASSERT_TRUE(runBuilder(second.path));
    std::vector<std::string> files = {"lumivane.ico"};
    for (const SceneArchive& scene : sceneModels()) files.push_back(scene.file);
    for (const std::string& file : files) {
        const std::vector<uint8_t> a = readBytes(first.file(file.c_str()));
        const std::vector<uint8_t> b = readBytes(second.file(file.c_str()));
        EXPECT_FALSE(a.empty()) << file;
        EXPECT_TRUE(a == b) << file << " differs between two builds";
    }
}

// The Windows icon: a directory of square pictures from 16 to 256 pixels, each decoding to the
// size its entry gives, opaque in the middle and clear in the corner.
TEST_F(AssetArchives, IconHoldsEverySizeAsAPicture) {
    const std::vector<uint8_t> ico = readBytes(folder->file("lumivane.ico"));
    ASSERT_GE(ico.size(), 6u);
    ASSERT_EQ(ico[2] | ico[3] << 8, 1) << "not an icon";
    const int count = ico[4] | ico[5] << 8;
    std::vector<int> sizes;
    for (int i = 0; i < count; i++) {
        ASSERT_LE(6u + 16u * (i + 1), ico.size());
        const uint8_t* entry = &ico[6 + 16 * i];
        const int size = entry[0] ? entry[0] : 256;
        const uint32_t bytes = readLe32(entry + 8), offset = readLe32(entry + 12);
        ASSERT_LE((uint64_t)offset + bytes, ico.size()) << size;
        SDL_Surface* picture = IMG_Load_RW(SDL_RWFromConstMem(&ico[offset], (int)bytes), 1);
        ASSERT_NE(picture, nullptr) << size;
        EXPECT_EQ(picture->w, size);
        EXPECT_EQ(picture->h, size);
        ASSERT_EQ(picture->format->BytesPerPixel, 4);
        const uint8_t* pixels = (const uint8_t*)picture->pixels;
        const int alpha = picture->format->Ashift / 8;
        EXPECT_EQ(pixels[(size / 2) * picture->pitch + (size / 2) * 4 + alpha], 255) << size;
        EXPECT_EQ(pixels[alpha], 0) << size;
        SDL_FreeSurface(picture);
        sizes.push_back(size);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 256}));
}

TEST(AssetBuilder, FailsClearlyWithoutAnOutputFolder) {
    const std::string command = "'" + buildDir() + "lumivane_assets' /nonexistent/folder 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
}

// Runs model_preview on every model of an archive in one go and collects the size of what each
// drew. The child gets the sanitizers' fast unwinder: the slow one deadlocks inside Mesa's shader
// compiler when it registers its code's unwind tables, and the tool's leaks are not under test.
// The caller's options (such as those the sanitizer run needs for its preloaded drivers) are kept.
bool previewSilhouettes(const std::string& archive, const std::vector<std::string>& models,
                        const std::string& out, std::vector<std::pair<int, int>>* sizes) {
    std::string command = "ASAN_OPTIONS=\"${ASAN_OPTIONS:-}:detect_leaks=0:fast_unwind_on_malloc=1\" '" +
                          buildDir() + "model_preview' --size 160x120 --lit --time 600 '" + archive + "'";
    for (const std::string& model : models) command += " '" + model + "' '" + out + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return false;
    int w = 0, h = 0;
    while (std::fscanf(pipe, " silhouette %d x %d", &w, &h) == 2) sizes->push_back(std::make_pair(w, h));
    return pclose(pipe) == 0 && sizes->size() == models.size();
}

// The preview fits each model's bounds to 80% of the view. Models whose pictures fill their
// geometry (the 3D models, plates, dial, page) then fill at least half of it in one direction;
// texts and marks cover part of their tiles but must still show something readable.
TEST_F(AssetArchives, EveryModelDrawsASilhouetteOfItsSize) {
    const std::vector<std::string> filling = {
        candlesEntry,     thinksEntry,     flameEntry,           bubbleEntry,
        axisMarkerEntry,  dialEntry,       secondHandEntry,      minuteHandEntry,
        hourHandEntry,    clockPlateEntry, clockPlateAmEntry,    pageEntry,
        pageRussianEntry, weekdaysEntry,   weekdaysRussianEntry, todayEntry};
    for (const SceneArchive& scene : sceneModels()) {
        std::vector<std::pair<int, int>> sizes;
        ASSERT_TRUE(
            previewSilhouettes(folder->file(scene.file), scene.models, folder->file("preview.png"), &sizes))
            << scene.file;
        for (size_t i = 0; i < sizes.size(); i++) {
            const std::string& name = scene.models[i];
            const int w = sizes[i].first, h = sizes[i].second;
            bool fills = false;
            for (const std::string& f : filling) fills = fills || f == name;
            if (fills) {
                EXPECT_TRUE(w >= 80 || h >= 60) << scene.file << " " << name << ": " << w << " x " << h;
            } else {
                EXPECT_TRUE(w >= 3 && h >= 3) << scene.file << " " << name << ": " << w << " x " << h;
            }
        }
    }
}

// The x and y extent of a model's vertices; false when it is missing or does not parse.
struct Box {
    double left, bottom, right, top;
};

bool modelBox(const PakArchive& archive, const std::string& name, Box* box) {
    PakEntry entry = archive.findEntry(name.c_str());
    const uint8_t* cursor = nullptr;
    int32_t count = 0;
    if (!entry.bytes || !readModelHeader(entry.bytes, entry.size, &cursor, &count) || count < 1) return false;
    const uint8_t* end = entry.bytes + entry.size;
    *box = {INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (int32_t i = 0; i < count; i++) {
        MeshBlockLayout block;
        const char* why = "";
        if (!readMeshBlock(cursor, end, &block, &why)) return false;
        for (uint32_t v = 0; v < block.triangleCount * 3; v++) {
            double p[2];
            std::memcpy(p, block.vertices + 24 * v, sizeof p);
            box->left = std::min(box->left, p[0]);
            box->right = std::max(box->right, p[0]);
            box->bottom = std::min(box->bottom, p[1]);
            box->top = std::max(box->top, p[1]);
        }
        cursor += block.blockSize;
    }
    return true;
}

Box movedBy(Box box, double x, double y) {
    return {box.left + x, box.bottom + y, box.right + x, box.top + y};
}

bool inside(const Box& inner, const Box& outer) {
    return inner.left >= outer.left && inner.right <= outer.right && inner.bottom >= outer.bottom &&
           inner.top <= outer.top;
}

// The union of the boxes of the named models, placed at (x, y).
Box placedBoxes(const PakArchive& archive, const std::vector<std::string>& names, double x, double y) {
    Box all = {INFINITY, INFINITY, -INFINITY, -INFINITY};
    for (const std::string& name : names) {
        Box box;
        EXPECT_TRUE(modelBox(archive, name, &box)) << name;
        box = movedBy(box, x, y);
        all = {std::min(all.left, box.left), std::min(all.bottom, box.bottom), std::max(all.right, box.right),
               std::max(all.top, box.top)};
    }
    return all;
}

std::vector<std::string> numberNames(int first, int last) {
    std::vector<std::string> names;
    for (int n = first; n <= last; n++) names.push_back(std::to_string(n));
    return names;
}

// The layout table against the built pictures: whatever a slot or cell can show lies inside the
// plate or page behind it and clear of its neighbours.
TEST_F(AssetArchives, ReadoutsSitInsideTheirPlates) {
    PakArchive clock, calendar, utils;
    ASSERT_TRUE(open(&clock, "clock.pak") && open(&calendar, "calendar.pak") && open(&utils, "utils.pak"));

    const std::vector<std::string> digits = numberNames(0, 9);
    for (int hours24 = 0; hours24 <= 1; hours24++) {
        Box plate;
        ASSERT_TRUE(modelBox(clock, hours24 ? clockPlateEntry : clockPlateAmEntry, &plate));
        std::vector<Box> shown;
        for (const ClockSlot& slot : clockSlots) {
            const int selector = hours24 ? slot.selector24 : slot.selector12;
            if (selector == 0) continue;
            std::vector<std::string> names = digits;
            if (selector == 5) names = {colonEntry};
            if (selector == 8) names = {amEntry, pmEntry};
            shown.push_back(placedBoxes(clock, names, slot.x, 0));
            EXPECT_TRUE(inside(shown.back(), plate)) << "slot at " << slot.x << (hours24 ? ", 24 hours" : "");
        }
        for (size_t a = 0; a < shown.size(); a++)
            for (size_t b = a + 1; b < shown.size(); b++)
                EXPECT_TRUE(shown[a].right <= shown[b].left || shown[b].right <= shown[a].left)
                    << "slots " << a << " and " << b << (hours24 ? ", 24 hours" : "");
    }

    for (const char* pageName : {pageEntry, pageRussianEntry}) {
        Box page;
        ASSERT_TRUE(modelBox(calendar, pageName, &page));
        page = movedBy(page, calendarPageX, calendarPageY);
        std::vector<std::string> cellNames = numberNames(1, 31);
        cellNames.push_back(todayEntry);
        cellNames.push_back(emptyCellEntry);
        for (int cell = 0; cell < 42; cell++)
            EXPECT_TRUE(
                inside(placedBoxes(calendar, cellNames, calendarCellX(cell), calendarCellY(cell)), page))
                << pageName << " cell " << cell;
        EXPECT_TRUE(inside(
            placedBoxes(calendar, {weekdaysEntry, weekdaysRussianEntry}, calendarPageX, calendarWeekdaysY),
            page));
        std::vector<std::string> months;
        for (int m = 1; m <= 12; m++) months.push_back("m" + std::to_string(m));
        EXPECT_TRUE(inside(placedBoxes(calendar, months, calendarPageX, calendarMonthY), page)) << pageName;
    }

    // The frame rate has no plate: its digits stand clear of each other and right of the label.
    const Box label = placedBoxes(utils, {frameRateLabelEntry}, 0, 0);
    for (int i = 0; i < 3; i++) {
        const Box digit = placedBoxes(utils, digits, frameRateDigitX[i], 0);
        EXPECT_LE(label.right, digit.left) << "digit " << i;
        if (i == 0) continue;  // units first: each next digit stands left of the one before
        EXPECT_LE(digit.right, placedBoxes(utils, digits, frameRateDigitX[i - 1], 0).left) << "digit " << i;
    }
}

}  // namespace

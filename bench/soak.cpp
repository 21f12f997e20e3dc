// Soak: the full scene drawn offscreen frame after frame with a simulated clock, for hours of
// scene time, to show that nothing piles up: resident memory, live nodes, archives open in the
// pak library, picture textures and effect textures are sampled every simulated hour and must
// not grow after the first one.
//
// Usage: soak [hours]   (24 by default; archives from LUMIVANE_PATH, LUMIVANE_BUILD_DIR or the
//                        build folder above the program's)
// Passes: `hours` of 16 ms frames, the same of 250 ms frames, and two hours of 16 ms frames from
// 23:00 on 31 December (midnight, a month end and a year end). Both clocks the scene reads follow
// the frames: frameTicks, and the wall clock behind the clock and the calendar.
//
// Every frame runs the whole scene (animation, node births and deaths, model loads, texture
// generators, every GL call), but the GL calls go to a GL that draws nothing (support/null_gl.cpp):
// Mesa spends over a millisecond a frame even on a 1 x 1 area, which would make a day of 16 ms
// frames (5.4 million of them) take hours. Its textures keep their pixels, so GL objects that pile
// up still show, as a count and in resident memory.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "bench/support/null_gl.h"
#include "content/clock.h"
#include "content/scene.h"
#include "effects/effect_textures.h"
#include "pak/library.h"
#include "pak/mesh.h"
#include "scene/node.h"

namespace {
const uint32_t kHourMs = 3600u * 1000u;

struct Sample {
    long residentKb;
    int nodes;        // live nodes in both trees at the end of the hour
    int fewestNodes;  // the fewest seen at any simulated minute of the hour: a page change or a
                      // burst of bubbles passes, what piles up stays
    int archives;
    int pictureTextures;
    int effects;
    int glTextures;
    bool balanced;  // every reference held is one that a live node or mesh accounts for
};

long residentKb() {
    FILE* f = fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int countNodes(const SceneNode* node) {
    int count = 1;
    for (size_t i = 0; i < node->children.size(); i++) count += countNodes(node->children[i]);
    return count;
}

int liveNodes() {
    return (sceneRoot ? countNodes(sceneRoot) : 0) + (overlayRoot ? countNodes(overlayRoot) : 0);
}

int pictureTextures() {
    int count = 0;
    for (size_t a = 0; a < pakLibrary.archives.size(); a++) {
        const RefTable<PictureTexture>& textures = pakLibrary.archives.items[a].textures;
        for (size_t i = 0; i < textures.size(); i++) count += textures.items[i].id != 0;
    }
    return count;
}

// What the live tree should hold: an archive reference per loaded model and per picture mesh, a
// picture texture user per picture mesh with a texture, an effect user per effect mesh with one.
struct Held {
    long archiveRefs, textureRefs, effectRefs;
};

void addHeld(const SceneNode* node, Held* held) {
    held->archiveRefs += (long)node->pakNames.size();
    for (size_t i = 0; i < node->meshes.size(); i++) {
        const MeshPart* mesh = node->meshes[i];
        if (mesh->isEffectTexture) {
            held->effectRefs += mesh->texture != 0;
        } else {
            held->archiveRefs++;
            held->textureRefs += mesh->texture != 0;
        }
    }
    for (size_t i = 0; i < node->children.size(); i++) addHeld(node->children[i], held);
}

bool referencesBalance() {
    Held tree = {0, 0, 0};
    if (sceneRoot) addHeld(sceneRoot, &tree);
    if (overlayRoot) addHeld(overlayRoot, &tree);
    Held library = {0, 0, 0};
    for (size_t a = 0; a < pakLibrary.archives.size(); a++) {
        library.archiveRefs += pakLibrary.archives.refs[a];
        const RefTable<PictureTexture>& textures = pakLibrary.archives.items[a].textures;
        for (size_t i = 0; i < textures.size(); i++) library.textureRefs += textures.refs[i];
    }
    for (size_t i = 0; i < effectTextures.effects.size(); i++)
        library.effectRefs += effectTextures.effects.refs[i];
    // And every GL texture alive belongs to the library or to the effect manager.
    return tree.archiveRefs == library.archiveRefs && tree.textureRefs == library.textureRefs &&
           tree.effectRefs == library.effectRefs &&
           nullGlTextureCount() == pictureTextures() + (int)effectTextures.effects.size();
}

Sample takeSample(int fewestNodes) {
    Sample s;
    s.residentKb = residentKb();
    s.nodes = liveNodes();
    s.fewestNodes = fewestNodes;
    s.archives = (int)pakLibrary.archives.size();
    s.pictureTextures = pictureTextures();
    s.effects = (int)effectTextures.effects.size();
    s.glTextures = nullGlTextureCount();
    s.balanced = referencesBalance();
    return s;
}

// The offscreen scene shows its wall time without a time zone, so the passes start in UTC.
time_t wallTimeAt(int year, int month, int day, int hour) {
    struct tm when = {};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    return timegm(&when);
}

// Memory may settle a little after the first hour (allocator pools); more than this is growth.
const long kResidentSlackKb = 1024;
// The clock face alone changes the tree by a node or two (a fourth digit from ten o'clock).
const int kNodeSlack = 2;

// Draws `hours` of frames `stepMs` apart from the wall time `start`; prints one row per hour and
// returns false when anything grew after the first or a reference is held that nothing accounts for.
// Picture textures are not compared between hours: which digits and pages are shown decides them;
// the balance of references covers them instead.
bool runPass(const char* label, const std::string& folder, time_t start, int hours, uint32_t stepMs) {
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;  // every overlay element
    beginOffscreenScene(1024, 768, chosen, 1, start, folder.c_str());
    char when[64];
    strftime(when, sizeof when, "%Y-%m-%d %H:%M", gmtime(&start));
    printf("%s: %d h of %u ms frames from %s\n", label, hours, stepMs, when);
    printf("  hour  resident KB  nodes  fewest nodes  archives  pictures  effects  GL textures  balanced\n");

    std::vector<Sample> samples;
    uint32_t ticks = 0;
    int fewestNodes = INT_MAX;
    uint32_t nextMinute = 60000;
    for (int hour = 1; hour <= hours; hour++) {
        uint32_t hourEnd = (uint32_t)hour * kHourMs;
        while (ticks < hourEnd) {
            ticks += stepMs;
            drawOffscreenFrame(ticks, false);
            if (ticks >= nextMinute) {
                int nodes = liveNodes();
                if (nodes < fewestNodes) fewestNodes = nodes;
                nextMinute += 60000;
            }
        }
        Sample s = takeSample(fewestNodes);
        samples.push_back(s);
        printf("  %4d  %11ld  %5d  %12d  %8d  %8d  %7d  %11d  %8s\n", hour, s.residentKb, s.nodes,
               s.fewestNodes, s.archives, s.pictureTextures, s.effects, s.glTextures,
               s.balanced ? "yes" : "NO");
        fflush(stdout);
        fewestNodes = INT_MAX;
    }
    bool steady = true;
    const Sample& first = samples[0];
    for (size_t i = 0; i < samples.size(); i++) {
        const Sample& s = samples[i];
        const char* grown = nullptr;
        if (s.residentKb > first.residentKb + kResidentSlackKb) grown = "resident memory grew";
        if (s.fewestNodes > first.fewestNodes + kNodeSlack) grown = "live nodes grew";
        if (s.archives > first.archives) grown = "archives grew";
        if (s.effects > first.effects) grown = "effect textures grew";
        if (!s.balanced) grown = "references held that no live node accounts for";
        if (grown) {
            printf("  FAIL: %s in hour %zu\n", grown, i + 1);
            steady = false;
        }
    }
    int32_t teardown = endOffscreenScene(ticks);
    if (teardown < 0) {
        printf("  FAIL: the tree did not dismantle\n");
        steady = false;
    }
    return steady;
}

}  // namespace

int main(int argc, char** argv) {
    int hours = argc > 1 ? atoi(argv[1]) : 24;
    if (hours < 2 || argc > 2) {
        fprintf(stderr, "usage: soak [hours]   (at least 2)\n");
        return 2;
    }
    std::string folder = nullGlArchiveFolder();
    if (access((folder + "main.pak").c_str(), R_OK) != 0) {
        fprintf(stderr, "soak: no main.pak in %s (build the assets first)\n", folder.c_str());
        return 1;
    }

    bool steady = runPass("16 ms frames", folder, wallTimeAt(2026, 3, 10, 9), hours, 16);
    steady = runPass("250 ms frames", folder, wallTimeAt(2026, 3, 10, 9), hours, 250) && steady;
    steady = runPass("new year", folder, wallTimeAt(2026, 12, 31, 23), 2, 16) && steady;
    printf(steady ? "soak: nothing grew after the first hour\n" : "soak: growth found\n");
    return steady ? 0 : 1;
}

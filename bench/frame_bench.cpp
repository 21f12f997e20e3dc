// Frame cost of the full scene on the headless GL context, against an empty frame of the same size,
// and how much of it is spent on the CPU side (animation, traversal, texture generators, GL calls)
// rather than in rasterising.
//
// Usage: frame_bench [--default-display] [--by-picture] [frames [width height]]   (archives from
// LUMIVANE_PATH, LUMIVANE_BUILD_DIR or the build folder above the program's; --default-display skips
// Mesa's surfaceless EGL platform, as on drivers that lack it; --by-picture then shows what each
// picture's meshes cost: the frame's processor time with and without their triangles)
#include <GL/gl.h>
#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "content/frame.h"
#include "content/scene.h"
#include "effects/effect_textures.h"
#include "pak/library.h"
#include "pak/mesh.h"
#include "platform/heap_trim.h"
#include "platform/install_path.h"
#include "platform/offscreen_gl.h"
#include "scene/node.h"

static const uint32_t frameStep = 16;  // simulated ms per frame: a 60 Hz run

static double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

static bool hasArchives(const std::string& folder) {
    return access((folder + "main.pak").c_str(), R_OK) == 0;
}

// LUMIVANE_PATH or LUMIVANE_BUILD_DIR; else the install folder (the program's own), or its parent,
// since the benchmark lives in the build folder's bench/.
static std::string archiveFolder() {
    const char* env = getenv("LUMIVANE_PATH");
    if (!env || !*env) env = getenv("LUMIVANE_BUILD_DIR");
    if (env && *env) return std::string(env) + "/";
    std::string folder = installPath.installDirectory();
    return hasArchives(folder) ? folder : folder + "../";
}

// Processor time of the whole process, the renderer's threads included: unlike the wall clock it
// hardly changes when other programs load the machine.
static double processCpuMs() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

// Milliseconds per frame over `frames` frames from *ticks on; *cpu gets the processor time.
static double timeFrames(int frames, uint32_t* ticks, bool finish, double* cpu = nullptr) {
    double start = nowMs();
    double cpuStart = processCpuMs();
    for (int i = 0; i < frames; i++) {
        *ticks += frameStep;
        drawOffscreenFrame(*ticks, finish);
    }
    if (!finish) glFinish();
    if (cpu) *cpu = (processCpuMs() - cpuStart) / frames;
    return (nowMs() - start) / frames;
}

static double timeEmptyFrames(int frames) {
    double start = nowMs();
    for (int i = 0; i < frames; i++) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
    return (nowMs() - start) / frames;
}

// Meshes and triangles the tree holds now (the transparent ones drawn last included).
static void countTree(const SceneNode* node, int* meshes, long* triangles) {
    for (size_t i = 0; i < node->meshes.size(); i++) {
        ++*meshes;
        *triangles += node->meshes[i]->triangleCount;
    }
    for (size_t i = 0; i < node->children.size(); i++) countTree(node->children[i], meshes, triangles);
}

// Each part finished before the next is timed: main scene, overlay, and the transparent meshes
// drawn last.
struct PartTimes {
    double marks[4];
};

static void markPart(int32_t mark, void* data) {
    if (mark > 0) glFinish();
    ((PartTimes*)data)->marks[mark] = nowMs();
}

// One frame drawn in its three parts. Adds each part's milliseconds to parts[0..2].
static void timeFrameParts(uint32_t ticks, double parts[3]) {
    PartTimes times;
    drawFrame(sceneRoot, overlayRoot, ticks, markPart, &times);
    for (int32_t i = 0; i < 3; i++) parts[i] += times.marks[i + 1] - times.marks[i];
}

// Pictures told apart by name with their digits left out: the day numbers, clock digits and
// month titles each count as one.
static std::string pictureGroup(const char* name) {
    if (name[0] != '\0' && name[1] == '#') return name;  // an effect texture: its name is its make
    std::string group;
    for (const char* c = name; *c; c++) {
        if (*c >= '0' && *c <= '9') {
            if (group.empty() || group.back() != '#') group += '#';
        } else {
            group += *c;
        }
    }
    return group;
}

// A group's meshes, emptied for a frame: no triangles, the same state changes.
struct EmptiedMesh {
    MeshPart* mesh;
    int32_t triangleCount;
    uint32_t geometryList;
};

static void emptyMeshes(SceneNode* node, const std::string& group, std::vector<EmptiedMesh>* emptied) {
    for (size_t i = 0; i < node->meshes.size(); i++) {
        MeshPart* mesh = node->meshes[i];
        if (pictureGroup(mesh->textureName.c_str()) != group) continue;
        emptied->push_back(EmptiedMesh{mesh, mesh->triangleCount, mesh->geometryList});
        mesh->triangleCount = 0;
        mesh->geometryList = 0;
    }
    for (size_t i = 0; i < node->children.size(); i++) emptyMeshes(node->children[i], group, emptied);
}

// Gives the emptied meshes still in the tree their triangles back. A bubble or digit that died
// during the frame was freed with it, so only meshes found in the tree are touched (its display
// list is left behind: a few lists in a benchmark run).
static void restoreMeshes(SceneNode* node, const std::vector<EmptiedMesh>& emptied) {
    for (size_t i = 0; i < node->meshes.size(); i++) {
        MeshPart* mesh = node->meshes[i];
        if (mesh->triangleCount != 0 || mesh->geometryList != 0) continue;
        for (size_t j = 0; j < emptied.size(); j++) {
            if (emptied[j].mesh != mesh) continue;
            mesh->triangleCount = emptied[j].triangleCount;
            mesh->geometryList = emptied[j].geometryList;
        }
    }
    for (size_t i = 0; i < node->children.size(); i++) restoreMeshes(node->children[i], emptied);
}

// Processor milliseconds of one finished frame, the group's meshes emptied if one is named.
static double frameWithout(const std::string& group, uint32_t* ticks) {
    std::vector<EmptiedMesh> emptied;
    if (!group.empty()) {
        emptyMeshes(sceneRoot, group, &emptied);
        emptyMeshes(overlayRoot, group, &emptied);
    }
    double start = processCpuMs();
    *ticks += frameStep;
    drawOffscreenFrame(*ticks, true);
    double spent = processCpuMs() - start;
    restoreMeshes(sceneRoot, emptied);
    restoreMeshes(overlayRoot, emptied);
    return spent;
}

struct PictureCost {
    std::string group;
    int meshes;
    long triangles;
    double saved;  // processor ms per frame
};

static void countPictures(const SceneNode* node, std::vector<PictureCost>* costs) {
    for (size_t i = 0; i < node->meshes.size(); i++) {
        const MeshPart* mesh = node->meshes[i];
        std::string group = pictureGroup(mesh->textureName.c_str());
        size_t j = 0;
        while (j < costs->size() && (*costs)[j].group != group) j++;
        if (j == costs->size()) costs->push_back(PictureCost{group, 0, 0, 0.0});
        (*costs)[j].meshes++;
        (*costs)[j].triangles += mesh->triangleCount;
    }
    for (size_t i = 0; i < node->children.size(); i++) countPictures(node->children[i], costs);
}

static double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each group's saving: frames with and without its triangles, alternating, so that the machine's
// drifting speed cancels out; the median of the pairs' differences counts.
static void reportByPicture(int pairs, uint32_t* ticks) {
    std::vector<PictureCost> costs;
    countPictures(sceneRoot, &costs);
    countPictures(overlayRoot, &costs);
    std::vector<double> wholeFrames;
    for (size_t i = 0; i < costs.size(); i++) {
        std::vector<double> differences;
        for (int pair = 0; pair < pairs; pair++) {
            double with = frameWithout("", ticks);
            differences.push_back(with - frameWithout(costs[i].group, ticks));
            wholeFrames.push_back(with);
        }
        costs[i].saved = median(differences);
    }
    std::sort(costs.begin(), costs.end(),
              [](const PictureCost& a, const PictureCost& b) { return a.saved > b.saved; });
    double whole = median(wholeFrames);
    printf("processor time per frame %.3f ms (median); without each picture's triangles:\n", whole);
    for (size_t i = 0; i < costs.size(); i++) {
        printf("  %-26s %3d meshes %6ld triangles  %7.3f ms  %5.1f%%\n", costs[i].group.c_str(),
               costs[i].meshes, costs[i].triangles, costs[i].saved, 100.0 * costs[i].saved / whole);
    }
}

// A field of /proc/self/smaps_rollup, in MiB.
static double rollupMb(const char* field) {
    FILE* f = fopen("/proc/self/smaps_rollup", "r");
    if (!f) return 0.0;
    char line[256];
    double kb = 0.0;
    size_t length = strlen(field);
    while (fgets(line, sizeof line, f))
        if (strncmp(line, field, length) == 0 && line[length] == ':') kb = atof(line + length + 1);
    fclose(f);
    return kb / 1024.0;
}

// Bytes of every level GL holds for the texture (4 a texel, as uploaded).
static long textureBytes(uint32_t texture) {
    glBindTexture(GL_TEXTURE_2D, texture);
    long bytes = 0;
    for (GLint level = 0;; level++) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (w <= 0 || h <= 0) return bytes;
        bytes += 4L * w * h;
    }
}

// Where the process's private memory goes once start-up is over (after the heap it freed went back).
static void reportMemory() {
    double mib = 1024.0 * 1024.0;
    long archiveBytes = 0, pictureBytes = 0, fittedBytes = 0;
    for (size_t a = 0; a < pakLibrary.archives.size(); a++) {
        const LibraryArchive& archive = pakLibrary.archives.items[a];
        for (size_t e = 0; e < archive.archive->entries.size(); e++)
            if (archive.archive->entries[e].bytes) archiveBytes += archive.archive->entries[e].size;
        for (size_t t = 0; t < archive.textures.size(); t++) {
            long bytes = textureBytes(archive.textures.items[t].id);
            pictureBytes += bytes;
            if (archive.fitted) fittedBytes += bytes;
        }
    }
    struct mallinfo2 heap = mallinfo2();
    printf("memory                 %.1f MiB anonymous, %.1f MiB resident\n", rollupMb("Anonymous"),
           rollupMb("Rss"));
    // Blocks of their own (hblkhd) are heap in use too: the large ones, textures among them.
    double inUse = (double)(heap.uordblks + heap.hblkhd);
    printf("  heap                 %.1f MiB in use, %.1f MiB free but held\n", inUse / mib,
           heap.fordblks / mib);
    printf("  picture textures     %.1f MiB (the overlay's, fitted to the screen, %.1f MiB)\n",
           pictureBytes / mib, fittedBytes / mib);
    printf("  open archives        %.1f MiB of entry bytes held\n", archiveBytes / mib);
    // The programs the renderer generates for each combination of lights, texturing and tests the
    // scene draws with, and their compiled variants; the frame's colour and depth buffers; display
    // lists and the context.
    printf("  the renderer's own   %.1f MiB (the rest of the heap)\n",
           (inUse - pictureBytes - archiveBytes) / mib);
}

static double timeGenerators(int calls) {
    double start = nowMs();
    for (int i = 0; i < calls; i++) effectTextures.updateEffectTextures();
    glFinish();
    return (nowMs() - start) / calls;
}

int main(int argc, char** argv) {
    bool defaultDisplay = argc > 1 && strcmp(argv[1], "--default-display") == 0;
    if (defaultDisplay) {
        argc--;
        argv++;
    }
    bool byPicture = argc > 1 && strcmp(argv[1], "--by-picture") == 0;
    if (byPicture) {
        argc--;
        argv++;
    }
    int frames = argc > 1 ? atoi(argv[1]) : 300;
    int width = argc > 3 ? atoi(argv[2]) : 1024;
    int height = argc > 3 ? atoi(argv[3]) : 768;
    if (frames < 1 || width < 1 || height < 1) {
        fprintf(stderr, "usage: frame_bench [--default-display] [--by-picture] [frames [width height]]\n");
        return 2;
    }
    std::string folder = archiveFolder();
    if (!hasArchives(folder)) {
        fprintf(stderr, "frame_bench: no main.pak in %s (build the assets first)\n", folder.c_str());
        return 1;
    }
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    const time_t wallTime = 1773493507;  // 2026-03-14 13:05:07: the same overlay in every run
    if (!openOffscreenGl(width, height, defaultDisplay)) {
        fprintf(stderr, "frame_bench: no headless GL context\n");
        closeOffscreenGl();
        return 1;
    }
    beginOffscreenScene(width, height, chosen, 1, wallTime, folder.c_str());
    uint32_t ticks = 1000;
    timeFrames(60, &ticks, true);  // warm up: overlay built, textures uploaded, bubbles rising
    if (byPicture) {
        reportByPicture(frames, &ticks);
        return closeOffscreenScene(ticks) < 0 ? 1 : 0;
    }

    double sceneCpu = 0.0;
    double scene = timeFrames(frames, &ticks, true, &sceneCpu);
    double empty = timeEmptyFrames(frames);
    double submit = 0.0;  // until the frame's GL calls return, rasterising left to glFinish
    for (int i = 0; i < frames; i++) {
        double start = nowMs();
        ticks += frameStep;
        drawOffscreenFrame(ticks, false);
        submit += nowMs() - start;
        glFinish();
    }
    submit /= frames;
    double parts[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < frames; i++) timeFrameParts(ticks += frameStep, parts);
    setOffscreenDrawArea(1, 1);
    double tinyCpu = 0.0;
    double tiny = timeFrames(frames, &ticks, true, &tinyCpu);
    setOffscreenDrawArea(width, height);
    double generators = timeGenerators(frames);
    double generatorShare = generators * frameStep / 30.0;  // regenerated every 30 ms of scene time

    printf("frames                 %d at %dx%d, %u ms of scene time each\n", frames, width, height,
           frameStep);
    printf("renderer               %s (EGL %s display)\n", (const char*)glGetString(GL_RENDERER),
           offscreenGlDisplay());
    printf("scene frame            %.3f ms  (%.1f frames per second)\n", scene, 1000.0 / scene);
    printf("  processor time       %.3f ms per frame, all threads\n", sceneCpu);
    printf("empty frame            %.3f ms\n", empty);
    printf("ratio scene/empty      %.2f\n", scene / empty);
    printf("  main scene           %.3f ms (opaque meshes)\n", parts[0] / frames);
    printf("  overlay              %.3f ms\n", parts[1] / frames);
    printf("  transparent, last    %.3f ms\n", parts[2] / frames);
    printf("CPU side, 1x1 area     %.3f ms per frame (processor time %.3f ms)\n", tiny, tinyCpu);
    printf("CPU side, submit only  %.3f ms per frame (GL calls return, rasterising pending)\n", submit);
    printf("texture generators     %.3f ms per update, %.3f ms per frame on average\n", generators,
           generatorShare);
    int meshes = 0;
    long triangles = 0;
    countTree(sceneRoot, &meshes, &triangles);
    countTree(overlayRoot, &meshes, &triangles);
    printf("tree                   %d meshes, %ld triangles\n", meshes, triangles);
    returnFreeHeap();
    reportMemory();
    int32_t teardown = closeOffscreenScene(ticks);
    return teardown < 0 ? 1 : 0;
}

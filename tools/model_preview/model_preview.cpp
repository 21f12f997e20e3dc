// model_preview: draws a model entry through the screensaver's own mesh and node code, or the
// whole scene, into a PNG without a window.
//   model_preview [options] <archive file> <entry> <out.png> [<entry> <out.png> ...]
//   model_preview [options] --scene <install folder> <out.png>
// Options: --size WxH, --tilt (the candles' placement: -76 degrees about x), --lit (a warm key
// light), --time MS (scene or effect time to run before the picture), --clock analog|12|24|small,
// --russian, --fps, --no-calendar.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "app/video.h"
#include "effects/effect_textures.h"
#include "pak/archive.h"
#include "pak/library.h"
#include "pak/mesh.h"
#include "pak/png_writer.h"
#include "platform/offscreen_gl.h"
#include "scene/animator.h"
#include "scene/node.h"

struct PreviewOptions {
    int32_t width;
    int32_t height;
    bool tilt;
    bool lit;
    bool scene;
    uint32_t time;
    SaverSettings settings;
    std::vector<const char*> arguments;
};

static bool parseOptions(int argc, char** argv, PreviewOptions* o) {
    o->width = 640;
    o->height = 480;
    o->tilt = false;
    o->lit = false;
    o->scene = false;
    o->time = 0;
    o->settings = defaultSettings();
    o->settings.showCalendar = true;
    o->settings.showClock = true;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(a, "--size") && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &o->width, &o->height) != 2 || o->width <= 0 ||
                o->height <= 0)
                return false;
        } else if (!std::strcmp(a, "--time") && hasValue) {
            o->time = (uint32_t)std::strtoul(argv[++i], nullptr, 10);
        } else if (!std::strcmp(a, "--clock") && hasValue) {
            const char* kind = argv[++i];
            o->settings.showClock = std::strcmp(kind, "off") != 0;
            o->settings.analogClock = !std::strcmp(kind, "analog");
            o->settings.clock24Hours = !std::strcmp(kind, "24");
            o->settings.largeClock = std::strcmp(kind, "small") != 0;
        } else if (!std::strcmp(a, "--tilt")) {
            o->tilt = true;
        } else if (!std::strcmp(a, "--lit")) {
            o->lit = true;
        } else if (!std::strcmp(a, "--scene")) {
            o->scene = true;
        } else if (!std::strcmp(a, "--russian")) {
            o->settings.russianCalendar = true;
        } else if (!std::strcmp(a, "--fps")) {
            o->settings.showFrameRate = true;
        } else if (!std::strcmp(a, "--no-calendar")) {
            o->settings.showCalendar = false;
        } else if (a[0] == '-' && a[1] == '-') {
            return false;
        } else {
            o->arguments.push_back(a);
        }
    }
    if (o->scene) return o->arguments.size() == 2;
    return o->arguments.size() >= 3 && o->arguments.size() % 2 == 1;
}

// Reads the frame back, top row first, and writes it as PNG. Prints the size of the silhouette
// (pixels that differ from the black background) for scripts and tests.
static bool savePicture(const char* path, int32_t width, int32_t height) {
    std::vector<uint8_t> pixels((size_t)width * (size_t)height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::vector<uint8_t> topDown(pixels.size());
    const size_t row = (size_t)width * 4;
    int32_t left = width, right = -1, top = height, bottom = -1;
    for (int32_t y = 0; y < height; y++) {
        const uint8_t* source = &pixels[row * (size_t)(height - 1 - y)];
        uint8_t* target = &topDown[row * (size_t)y];
        for (int32_t x = 0; x < width; x++) {
            for (int i = 0; i < 3; i++) target[4 * x + i] = source[4 * x + i];
            target[4 * x + 3] = 255;
            if (source[4 * x] + source[4 * x + 1] + source[4 * x + 2] > 6) {
                left = x < left ? x : left;
                right = x > right ? x : right;
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
            }
        }
    }
    std::vector<uint8_t> png;
    if (!encodePng(topDown.data(), width, height, &png)) return false;
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const bool closed = std::fclose(file) == 0;
    std::printf("silhouette %d x %d\n", right >= left ? right - left + 1 : 0,
                bottom >= top ? bottom - top + 1 : 0);
    return written && closed;
}

static int renderScene(const PreviewOptions& o) {
    std::string folder = o.arguments[0];
    if (folder.empty() || folder.back() != '/') folder += '/';
    // The clock and calendar show the real local time; the scene runs in 30 ms frames up to --time.
    time_t now = std::time(nullptr);
    struct tm* local = std::localtime(&now);
    time_t wallTime = local ? timegm(local) : now;
    if (!openOffscreenScene(o.width, o.height, o.settings, 1, wallTime, folder.c_str())) {
        std::fprintf(stderr, "model_preview: no headless GL context\n");
        return 1;
    }
    uint32_t t = 0;
    do {
        drawOffscreenFrame(t, false);
        t += 30;
    } while (t <= o.time);
    const bool saved = savePicture(o.arguments[1], o.width, o.height);
    closeOffscreenScene(t);
    if (!saved) std::fprintf(stderr, "model_preview: cannot write %s\n", o.arguments[1]);
    return saved ? 0 : 1;
}

static double readDouble(const uint8_t* bytes) {
    double value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// Bounds of the node's meshes after its own rotation about x.
static bool modelBounds(const SceneNode* node, double angleX, double low[3], double high[3]) {
    const double c = std::cos(angleX * 3.14159265358979323846 / 180.0);
    const double s = std::sin(angleX * 3.14159265358979323846 / 180.0);
    bool any = false;
    for (size_t m = 0; m < node->meshes.size(); m++) {
        const MeshPart* mesh = node->meshes[m];
        for (int32_t v = 0; v < mesh->triangleCount * 3; v++) {
            const double x = readDouble(mesh->vertices + 24 * v), y = readDouble(mesh->vertices + 24 * v + 8);
            const double z = readDouble(mesh->vertices + 24 * v + 16);
            const double p[3] = {x, y * c - z * s, y * s + z * c};
            for (int i = 0; i < 3; i++) {
                if (!any || p[i] < low[i]) low[i] = p[i];
                if (!any || p[i] > high[i]) high[i] = p[i];
            }
            any = true;
        }
    }
    return any;
}

static void setKeyLight() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat position[4] = {-0.45f, 0.55f, 1.0f, 0.0f};
    const GLfloat ambient[4] = {0.15f, 0.13f, 0.1f, 1.0f};
    const GLfloat diffuse[4] = {1.0f, 0.9f, 0.72f, 1.0f};
    const GLfloat specular[4] = {0.9f, 0.85f, 0.7f, 1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);
}

// Draws one model entry, fitted into the view, and saves the picture.
static bool renderEntry(const PreviewOptions& o, const std::string& file, const char* entry,
                        const char* out) {
    SceneNode* node = newNode();
    node->loadModel(file.c_str(), entry);
    const double angle = o.tilt ? -76.0 : 0.0;
    double low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    if (!modelBounds(node, angle, low, high)) {
        std::fprintf(stderr, "model_preview: %s has no model \"%s\" with vertices\n", file.c_str(), entry);
        node->destroyNode();
        delete node;
        return false;
    }
    // Effect textures get their pictures from their updates: run them as the scene would.
    for (uint32_t t = 0; t <= o.time; t += 30) {
        frameTicks = t;
        effectTextures.updateEffectTextures();
    }
    if (o.lit) setKeyLight();
    // Fit the bounds into 80% of the view at a fixed distance.
    const double tanHalf = std::tan(22.5 * 3.14159265358979323846 / 180.0);
    const double aspect = (double)o.width / o.height;
    const double halfW = (high[0] - low[0]) * 0.5, halfH = (high[1] - low[1]) * 0.5;
    const double distance = 60.0;
    double k = 0.8 * distance * tanHalf / (halfH > 1e-9 ? halfH : 1e-9);
    const double kw = 0.8 * distance * tanHalf * aspect / (halfW > 1e-9 ? halfW : 1e-9);
    k = kw < k ? kw : k;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0.0, 0.0, -distance);
    glScaled(k, k, k);
    glTranslated(-(low[0] + high[0]) * 0.5, -(low[1] + high[1]) * 0.5, -(low[2] + high[2]) * 0.5);
    glEnable(GL_NORMALIZE);
    node->setRotation(angle, 0.0, 0.0);
    node->draw();
    drawDeferredMeshes();
    const bool saved = savePicture(out, o.width, o.height);
    if (o.lit) {
        glDisable(GL_LIGHT1);
        glDisable(GL_LIGHTING);
    }
    node->destroyNode();
    delete node;
    if (!saved) std::fprintf(stderr, "model_preview: cannot write %s\n", out);
    return saved;
}

static int renderModels(const PreviewOptions& o) {
    const std::string path = o.arguments[0];
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    // The library ends the process without a word on a bad archive; say what is wrong first.
    PakArchive probe;
    std::string error;
    if (!probe.load(path.c_str(), &error)) {
        std::fprintf(stderr, "model_preview: cannot read %s: %s\n", path.c_str(), error.c_str());
        return 1;
    }
    if (!openOffscreenGl(o.width, o.height)) {
        std::fprintf(stderr, "model_preview: no headless GL context\n");
        return 1;
    }
    applyGlState();
    Viewport view;
    view.setProjection(o.width, o.height);
    pakLibrary.setBasePath(folder);
    pakLibrary.keepsEntryBytes = true;  // the outline below is drawn from the meshes' arrays
    bool ok = true;
    for (size_t i = 1; i + 1 < o.arguments.size(); i += 2)
        ok = renderEntry(o, file, o.arguments[i], o.arguments[i + 1]) && ok;
    closeOffscreenGl();
    return ok ? 0 : 1;
}

int main(int argc, char** argv) {
    PreviewOptions options;
    if (!parseOptions(argc, argv, &options)) {
        std::fprintf(
            stderr,
            "usage: model_preview [--size WxH] [--tilt] [--lit] [--time MS] <archive> <entry> <out.png> ...\n"
            "       model_preview [--size WxH] [--time MS] [--clock analog|12|24|small|off] [--russian] "
            "[--fps] [--no-calendar] --scene <install folder> <out.png>\n");
        return 2;
    }
    return options.scene ? renderScene(options) : renderModels(options);
}

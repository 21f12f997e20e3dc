// Composition: at every common screen shape, through the sway's whole cycle, each flame's bright
// part stays inside the picture and clear of the overlay (panels, digits, labels). Measured from
// the projected geometry of what is drawn, with the built archives.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "content/lights.h"
#include "content/offscreen_scene.h"
#include "pak/mesh.h"
#include "scene/node.h"

struct ScreenRect {
    double left, bottom, right, top;  // window pixels, y up
};

struct Shape {
    const char* name;
    int32_t width, height;
};

// Sizes with the ratio of 5:4, 4:3, 16:10, 16:9 and 21:9 screens; only the ratio matters here.
static const Shape shapes[] = {
    {"5x4", 1280, 1024}, {"4x3", 1024, 768}, {"16x10", 1440, 900}, {"16x9", 1920, 1080}, {"21x9", 2560, 1080},
};

// The sway's slowest motion turns once in about 90 s; the random phases differ per seed.
static const uint32_t sampleStep = 1500;
static const uint32_t sampleEnd = 92000;
static const unsigned seeds[] = {1, 2, 3, 4, 5, 6, 7, 8};

static int32_t viewWidth, viewHeight;
static std::vector<ScreenRect> flameRects, overlayRects;

// The window rectangle around the vertices of meshes [first, count) under the current matrices.
static bool projectMeshes(const SceneNode* node, size_t first, ScreenRect* rect) {
    GLdouble modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const GLint view[4] = {0, 0, viewWidth, viewHeight};
    bool any = false;
    for (size_t m = first; m < node->meshes.size(); m++) {
        const MeshPart* mesh = node->meshes[m];
        for (int32_t v = 0; v < mesh->triangleCount * 3; v++) {
            double p[3];
            memcpy(p, mesh->vertices + (size_t)v * sizeof p, sizeof p);
            if (node->transform.scaled) {  // a node's scale reaches only its own meshes, when they are drawn
                p[0] *= node->transform.scale.x;
                p[1] *= node->transform.scale.y;
                p[2] *= node->transform.scale.z;
            }
            double x, y, z;
            gluProject(p[0], p[1], p[2], modelview, projection, view, &x, &y, &z);
            if (!any) *rect = {x, y, x, y};
            any = true;
            rect->left = x < rect->left ? x : rect->left;
            rect->right = x > rect->right ? x : rect->right;
            rect->bottom = y < rect->bottom ? y : rect->bottom;
            rect->top = y > rect->top ? y : rect->top;
        }
    }
    return any;
}

// Runs after the billboard turn, so the matrices are those the flame is drawn with. The halo (the
// flame's first mesh) is a faint glow meant to spill; the bright part is the fire and its core.
static void recordFlame(int32_t phase, int32_t) {
    ScreenRect rect;
    if (phase == 1 && projectMeshes(currentNode, 1, &rect)) flameRects.push_back(rect);
}

// One rectangle per overlay part (the calendar, the clock, the frame rate, the signature): the
// union of what its nodes draw, since a flame under the gap between two digits is under the panel.
static void recordOverlay(int32_t phase, int32_t) {
    ScreenRect rect;
    if (phase != 1 || !projectMeshes(currentNode, 0, &rect)) return;
    const SceneNode* part = currentNode;
    while (part->parent && part->parent != overlayRoot) part = part->parent;
    size_t index = 0;
    while (index < overlayRoot->children.size() && overlayRoot->children[index] != part) index++;
    if (overlayRects.size() <= index) overlayRects.resize(index + 1, {1e9, 1e9, -1e9, -1e9});
    ScreenRect& u = overlayRects[index];
    u.left = rect.left < u.left ? rect.left : u.left;
    u.bottom = rect.bottom < u.bottom ? rect.bottom : u.bottom;
    u.right = rect.right > u.right ? rect.right : u.right;
    u.top = rect.top > u.top ? rect.top : u.top;
}

static bool hasCallback(const SceneNode* node, DrawCallback function) {
    for (const DrawCallbackEntry& entry : node->drawCallbacks)
        if (entry.function == function) return true;
    return false;
}

// Flames are the nodes drawn unlit in the scene; every overlay node with meshes is measured.
static void watch(SceneNode* node, bool overlay) {
    if (overlay && node->hasMeshes && !hasCallback(node, recordOverlay))
        node->addDrawCallback(recordOverlay, 0);
    if (!overlay && hasCallback(node, drawUnlit) && !hasCallback(node, recordFlame))
        node->addDrawCallback(recordFlame, 0);
    for (SceneNode* child : node->children) watch(child, overlay);
}

static bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

static std::string builtInstall() {
    const char* build = getenv("LUMIVANE_BUILD_DIR");
    std::string folder = build ? std::string(build) + "/" : "";
    return access((folder + "main.pak").c_str(), R_OK) == 0 ? folder : "";
}

class Composition : public ::testing::TestWithParam<Shape> {};

TEST_P(Composition, FlamesStayInViewAndClearOfTheOverlay) {
    const Shape& shape = GetParam();
    std::string install = builtInstall();
    ASSERT_FALSE(install.empty()) << "no built archives in LUMIVANE_BUILD_DIR";
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    viewWidth = shape.width;
    viewHeight = shape.height;
    double closestEdge = 1e9;
    int32_t failures = 0;
    for (unsigned seed : seeds) {
        ASSERT_TRUE(openOffscreenScene(shape.width, shape.height, chosen, seed, 1773493507, install.c_str()))
            << "no headless GL context";
        setOffscreenDrawArea(1, 1);  // the camera stays that of the full size; only geometry is read
        for (uint32_t t = sampleStep; t <= sampleEnd; t += sampleStep) {
            watch(sceneRoot, false);
            watch(overlayRoot, true);
            flameRects.clear();
            overlayRects.clear();
            drawOffscreenFrame(t, false);
            EXPECT_EQ(flameRects.size(), 3u) << "flames drawn at " << t << " ms";
            for (const ScreenRect& f : flameRects) {
                double edge = f.left;
                edge = f.bottom < edge ? f.bottom : edge;
                edge = shape.width - f.right < edge ? shape.width - f.right : edge;
                edge = shape.height - f.top < edge ? shape.height - f.top : edge;
                closestEdge = edge < closestEdge ? edge : closestEdge;
                if (edge < 0 && failures++ < 5)
                    ADD_FAILURE() << "seed " << seed << ", " << t << " ms: a flame (" << f.left << ".."
                                  << f.right << ", " << f.bottom << ".." << f.top << ") leaves the "
                                  << shape.width << "x" << shape.height << " picture";
                for (const ScreenRect& o : overlayRects)
                    if (overlaps(f, o) && failures++ < 5)
                        ADD_FAILURE()
                            << "seed " << seed << ", " << t << " ms: a flame (" << f.left << ".." << f.right
                            << ", " << f.bottom << ".." << f.top << ") passes under the overlay (" << o.left
                            << ".." << o.right << ", " << o.bottom << ".." << o.top << ")";
            }
        }
        closeOffscreenScene(sampleEnd);
    }
    RecordProperty("closest_edge_px", (int)closestEdge);
    printf("%s: closest approach of a flame to the edge %.1f px\n", shape.name, closestEdge);
}

INSTANTIATE_TEST_SUITE_P(Shapes, Composition, ::testing::ValuesIn(shapes),
                         [](const ::testing::TestParamInfo<Shape>& info) {
                             return std::string(info.param.name);
                         });

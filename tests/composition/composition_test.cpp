// Composition: at every common screen shape, through the sway's whole cycle, each flame's bright
// part and the whole glass stay inside the picture and clear of the overlay (panels, digits,
// labels). Measured from the projected geometry of what is drawn, with the built archives.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/offscreen_scene.h"
#include "app/settings.h"
#include "content/layout.h"
#include "content/lights.h"
#include "content/scene.h"
#include "pak/library.h"
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
static std::vector<ScreenRect> flameRects, glassRects, overlayRects;

// The window rectangle around the vertices of meshes [first, end) under the current matrices.
static bool projectMeshes(const SceneNode* node, size_t first, size_t end, ScreenRect* rect) {
    GLdouble modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const GLint view[4] = {0, 0, viewWidth, viewHeight};
    bool any = false;
    for (size_t m = first; m < end && m < node->meshes.size(); m++) {
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
    if (phase == 1 && projectMeshes(currentNode, 1, currentNode->meshes.size(), &rect))
        flameRects.push_back(rect);
}

// The glass is the mesh of "thinks" that wears its picture.
static size_t glassMesh(const SceneNode* node) {
    for (size_t m = 0; m < node->meshes.size(); m++)
        if (node->meshes[m]->textureName == glassPictureEntry) return m;
    return node->meshes.size();
}

static void recordGlass(int32_t phase, int32_t) {
    ScreenRect rect;
    size_t m = glassMesh(currentNode);
    if (phase == 1 && projectMeshes(currentNode, m, m + 1, &rect)) glassRects.push_back(rect);
}

// One rectangle per overlay part (the calendar, the clock, the frame rate, the signature): the
// union of what its nodes draw, since a flame under the gap between two digits is under the panel.
static void recordOverlay(int32_t phase, int32_t) {
    ScreenRect rect;
    if (phase != 1 || !projectMeshes(currentNode, 0, currentNode->meshes.size(), &rect)) return;
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
    if (!overlay && glassMesh(node) < node->meshes.size() && !hasCallback(node, recordGlass))
        node->addDrawCallback(recordGlass, 0);
    for (SceneNode* child : node->children) watch(child, overlay);
}

static bool overlaps(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.bottom < b.top && b.bottom < a.top;
}

// The tests read the loaded meshes' arrays, which the library would otherwise let go once compiled.
static std::string builtInstall() {
    pakLibrary.keepsEntryBytes = true;
    const char* build = getenv("LUMIVANE_BUILD_DIR");
    std::string folder = build ? std::string(build) + "/" : "";
    return access((folder + "main.pak").c_str(), R_OK) == 0 ? folder : "";
}

class Composition : public ::testing::TestWithParam<Shape> {};

TEST_P(Composition, FlamesAndGlassStayInViewAndClearOfTheOverlay) {
    const Shape& shape = GetParam();
    std::string install = builtInstall();
    ASSERT_FALSE(install.empty()) << "no built archives in LUMIVANE_BUILD_DIR";
    SaverSettings chosen = defaultSettings();
    chosen.showFrameRate = true;
    viewWidth = shape.width;
    viewHeight = shape.height;
    double closestEdge = 1e9, glassEdge = 1e9;
    int32_t failures = 0;
    for (unsigned seed : seeds) {
        ASSERT_TRUE(openOffscreenScene(shape.width, shape.height, chosen, seed, 1773493507, install.c_str()))
            << "no headless GL context";
        setOffscreenDrawArea(1, 1);  // the camera stays that of the full size; only geometry is read
        for (uint32_t t = sampleStep; t <= sampleEnd; t += sampleStep) {
            watch(sceneRoot, false);
            watch(overlayRoot, true);
            flameRects.clear();
            glassRects.clear();
            overlayRects.clear();
            drawOffscreenFrame(t, false);
            EXPECT_EQ(flameRects.size(), 3u) << "flames drawn at " << t << " ms";
            EXPECT_EQ(glassRects.size(), 1u) << "glasses drawn at " << t << " ms";
            std::vector<ScreenRect> watched = flameRects;
            watched.insert(watched.end(), glassRects.begin(), glassRects.end());
            for (size_t i = 0; i < watched.size(); i++) {
                const ScreenRect& f = watched[i];
                const char* what = i < flameRects.size() ? "a flame" : "the glass";
                double edge = f.left;
                edge = f.bottom < edge ? f.bottom : edge;
                edge = shape.width - f.right < edge ? shape.width - f.right : edge;
                edge = shape.height - f.top < edge ? shape.height - f.top : edge;
                double& closest = i < flameRects.size() ? closestEdge : glassEdge;
                closest = edge < closest ? edge : closest;
                if (edge < 0 && failures++ < 5)
                    ADD_FAILURE() << "seed " << seed << ", " << t << " ms: " << what << " (" << f.left << ".."
                                  << f.right << ", " << f.bottom << ".." << f.top << ") leaves the "
                                  << shape.width << "x" << shape.height << " picture";
                for (const ScreenRect& o : overlayRects)
                    if (overlaps(f, o) && failures++ < 5)
                        ADD_FAILURE()
                            << "seed " << seed << ", " << t << " ms: " << what << " (" << f.left << ".."
                            << f.right << ", " << f.bottom << ".." << f.top << ") passes under the overlay ("
                            << o.left << ".." << o.right << ", " << o.bottom << ".." << o.top << ")";
            }
        }
        closeOffscreenScene(sampleEnd);
    }
    RecordProperty("closest_edge_px", (int)closestEdge);
    printf("%s: closest approach to the edge of a flame %.1f px, of the glass %.1f px\n", shape.name,
           closestEdge, glassEdge);
}

// Screen pixels per texel of each overlay picture on a 3840x2160 screen, the largest over the
// edges of its triangles: above 1 the picture is magnified and shows blurred.
static double mostMagnification;
static std::string mostMagnified;

static void recordTexelSize(int32_t phase, int32_t) {
    if (phase != 1) return;
    GLdouble modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const GLint view[4] = {0, 0, viewWidth, viewHeight};
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    for (const MeshPart* mesh : currentNode->meshes) {
        GLint size[2] = {0, 0};
        glBindTexture(GL_TEXTURE_2D, mesh->texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
        for (int32_t v = 0; v < mesh->triangleCount * 3; v++) {
            int32_t w = v % 3 == 2 ? v - 2 : v + 1;  // the next corner of the same triangle
            double p[2][3], st[2][2], screen[2][3];
            memcpy(p[0], mesh->vertices + (size_t)v * sizeof p[0], sizeof p[0]);
            memcpy(p[1], mesh->vertices + (size_t)w * sizeof p[1], sizeof p[1]);
            memcpy(st[0], mesh->texCoords + (size_t)v * sizeof st[0], sizeof st[0]);
            memcpy(st[1], mesh->texCoords + (size_t)w * sizeof st[1], sizeof st[1]);
            for (int k = 0; k < 2; k++) {
                if (currentNode->transform.scaled) {
                    p[k][0] *= currentNode->transform.scale.x;
                    p[k][1] *= currentNode->transform.scale.y;
                }
                gluProject(p[k][0], p[k][1], p[k][2], modelview, projection, view, &screen[k][0],
                           &screen[k][1], &screen[k][2]);
            }
            double ds = (st[1][0] - st[0][0]) * size[0], dt = (st[1][1] - st[0][1]) * size[1];
            double texels = sqrt(ds * ds + dt * dt);
            double dx = screen[1][0] - screen[0][0], dy = screen[1][1] - screen[0][1];
            if (texels < 1.0) continue;
            double ratio = sqrt(dx * dx + dy * dy) / texels;
            if (ratio > mostMagnification) {
                mostMagnification = ratio;
                mostMagnified = mesh->textureName;
            }
        }
    }
    glBindTexture(GL_TEXTURE_2D, (GLuint)bound);
}

static void watchTexels(SceneNode* node) {
    if (node->hasMeshes && !hasCallback(node, recordTexelSize)) node->addDrawCallback(recordTexelSize, 0);
    for (SceneNode* child : node->children) watchTexels(child);
}

// Every overlay picture (both clocks at both sizes, the calendar, the frame rate) has at least a
// texel for each pixel it covers on a 3840x2160 screen.
TEST(OverlayPictures, SharpAt4K) {
    std::string install = builtInstall();
    ASSERT_FALSE(install.empty()) << "no built archives in LUMIVANE_BUILD_DIR";
    viewWidth = 3840;
    viewHeight = 2160;
    for (int variant = 0; variant < 3; variant++) {
        SaverSettings chosen = defaultSettings();
        chosen.showFrameRate = true;
        chosen.analogClock = variant == 1;
        chosen.largeClock = variant != 2;
        mostMagnification = 0;
        ASSERT_TRUE(openOffscreenScene(3840, 2160, chosen, 1, 1773493507, install.c_str()));
        setOffscreenDrawArea(1, 1);
        for (uint32_t t = 100; t <= 6000; t += 100) {
            watchTexels(overlayRoot);
            drawOffscreenFrame(t, false);
        }
        closeOffscreenScene(6000);
        printf("variant %d: most magnified %s, %.2f pixels a texel\n", variant, mostMagnified.c_str(),
               mostMagnification);
        EXPECT_LE(mostMagnification, 1.0) << "variant " << variant << ": " << mostMagnified;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, Composition, ::testing::ValuesIn(shapes),
                         [](const ::testing::TestParamInfo<Shape>& info) {
                             return std::string(info.param.name);
                         });

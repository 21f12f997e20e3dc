#include "content/frame.h"

#include <GL/gl.h>

#include "content/layout.h"
#include "pak/mesh.h"
#include "platform/frame_ticks.h"
#include "scene/node.h"

static void markFrame(FrameMark mark, void* markData, int32_t at) {
    if (mark) mark(at, markData);
}

void drawFrame(SceneNode* scene, SceneNode* overlay, uint32_t ticks, FrameMark mark, void* markData) {
    frameTicks = ticks;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, (GLfloat)-eyeDepth);
    markFrame(mark, markData, 0);
    if (scene) scene->draw();
    markFrame(mark, markData, 1);
    if (overlay) overlay->draw();
    markFrame(mark, markData, 2);
    drawDeferredMeshes();
    markFrame(mark, markData, 3);
}

void freeRoot(SceneNode** root) {
    if (!*root) return;
    (*root)->destroyNode();
    delete *root;
    *root = nullptr;
}

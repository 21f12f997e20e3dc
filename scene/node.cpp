#include "scene/node.h"

#include <GL/gl.h>

#include <cstddef>

#include "pak/library.h"
#include "pak/mesh.h"

SceneNode* newNode() {
    SceneNode* node = new SceneNode();
    node->initNode();
    return node;
}

void SceneNode::initNode() {
    transform.initTransform();
    animator.initAnimator();
    script.initScript(&animator);
    dying = false;
    dead = false;
    drawCallbacks.clear();
    meshes.clear();
    pakNames.clear();
    meshCount = 0;
    hasMeshes = false;
    children.clear();
    parent = nullptr;
}

void SceneNode::unloadModels() {
    for (size_t i = 0; i < pakNames.size(); i++) pakLibrary.releaseArchive(pakNames[i].c_str());
    for (size_t i = 0; i < meshes.size(); i++) {
        if (!meshes[i]) continue;
        meshes[i]->releaseMeshPart();
        delete meshes[i];
    }
    std::vector<std::string>().swap(pakNames);
    std::vector<MeshPart*>().swap(meshes);
    meshCount = 0;
}

void SceneNode::destroyNode() {
    unloadModels();
    // The children are left alone: callers may already have freed them.
    std::vector<SceneNode*>().swap(children);
    std::vector<DrawCallbackEntry>().swap(drawCallbacks);
    script.destroyScript();
    animator.destroyAnimator();
}

// Models this small stay in memory once read: bubbles and digits come and go all the time, and a
// new one should not read the archive again.
static const uint32_t keptEntryBytes = 16384;

// The archive reference taken by getEntry is held for the node's life; pakNames balances it in
// destroyNode. Once every mesh is compiled the entry's bytes may go. A missing or damaged entry
// leaves a model without (further) meshes.
void SceneNode::loadModel(const char* pakName, const char* entryName) {
    pakNames.push_back(pakName);
    hasMeshes = true;
    PakEntry entry = pakLibrary.getEntry(pakName, entryName);
    const uint8_t* cursor = nullptr;
    int32_t count = 0;
    if (entry.bytes && readModelHeader(entry.bytes, entry.size, &cursor, &count)) {
        const uint8_t* end = entry.bytes + entry.size;
        for (int32_t i = 0; i < count; i++) {
            MeshPart* mesh = new MeshPart();
            mesh->initMeshPart();
            if (!mesh->parseMeshBlock(cursor, end, pakName)) {
                delete mesh;
                break;
            }
            meshes.push_back(mesh);
        }
    }
    meshCount = (int32_t)meshes.size();
    bool compiled = true;
    for (size_t i = 0; i < meshes.size(); i++) compiled = compiled && !meshes[i]->needsEntryBytes();
    if (entry.bytes && compiled && entry.size >= keptEntryBytes)
        pakLibrary.releaseEntryBytes(pakName, entryName);
}

bool SceneNode::addChild(SceneNode* child) {
    if (!child || child == this || child->parent) return false;
    for (SceneNode* up = parent; up; up = up->parent)
        if (up == child) return false;
    child->parent = this;
    children.push_back(child);
    return true;
}

void SceneNode::addDrawCallback(DrawCallback function, int32_t value) {
    drawCallbacks.push_back({function, value});
}

void SceneNode::markDying() {
    dying = true;
}

static void runDrawCallbacks(SceneNode* node, int32_t phase) {
    for (size_t i = 0; i < node->drawCallbacks.size(); i++)
        node->drawCallbacks[i].function(phase, node->drawCallbacks[i].value);
}

static void drawMeshes(SceneNode* node) {
    for (size_t i = 0; i < node->meshes.size(); i++) node->meshes[i]->drawMeshPart();
}

// Scale reaches only the node's own meshes, never its children.
static void drawOwnMeshes(SceneNode* node) {
    if (!node->transform.scaled) {
        drawMeshes(node);
        return;
    }
    glPushMatrix();
    node->transform.applyScale();
    glEnable(GL_NORMALIZE);
    drawMeshes(node);
    glDisable(GL_NORMALIZE);
    glPopMatrix();
}

// Dead children are deleted in order; the others keep their places.
static void removeDeadChildren(SceneNode* node) {
    for (size_t i = 0; i < node->children.size();) {
        SceneNode* child = node->children[i];
        if (!child->dead) {
            i++;
            continue;
        }
        child->destroyNode();
        delete child;
        node->children.erase(node->children.begin() + (ptrdiff_t)i);
    }
}

void SceneNode::draw() {
    currentNode = this;
    glPushMatrix();
    transform.applyTransform();
    if (!dying) {
        animator.updateAnimator();
        if (hasMeshes) {
            runDrawCallbacks(this, 1);
            drawOwnMeshes(this);
            runDrawCallbacks(this, 2);
        }
    }
    removeDeadChildren(this);
    if (dying && children.empty()) {
        dead = true;
    } else {
        // Index walk with the length read each step: callbacks may append children.
        for (size_t i = 0; i < children.size(); i++) {
            if (dying) children[i]->dying = true;
            runDrawCallbacks(this, 3);
            children[i]->draw();
            runDrawCallbacks(this, 4);
        }
    }
    glPopMatrix();
}

#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "scene/animator.h"
#include "scene/transform.h"

struct MeshPart;

// phase: 1 before the node's meshes, 2 after them, 3 before each child, 4 after each child
typedef void (*DrawCallback)(int32_t phase, int32_t value);

struct DrawCallbackEntry {
    DrawCallback function;
    int32_t value;
};

struct SceneNode {
    NodeTransform transform;
    Animator animator;
    AnimScript script;
    bool dying;
    bool dead;
    std::vector<DrawCallbackEntry> drawCallbacks;
    std::vector<MeshPart*> meshes;      // owned, in load order
    std::vector<std::string> pakNames;  // one archive reference per loadModel call
    int32_t meshCount;
    bool hasMeshes;
    std::vector<SceneNode*> children;
    SceneNode* parent;  // null for roots and loose nodes; guards addChild

    void initNode();
    void destroyNode();  // releases meshes and archive references; children are not touched
    void loadModel(const char* pakName, const char* entryName);
    void unloadModels();  // gives back every loaded model's meshes and archive references
    bool addChild(
        SceneNode* child);  // false (nothing changes) for itself, a node already in a tree, or an ancestor
    void addDrawCallback(DrawCallback function, int32_t value);
    void markDying();
    void draw();

    void setPosition(double x, double y, double z) { transform.setPosition(x, y, z); }
    void setRotation(double x, double y, double z) { transform.setRotation(x, y, z); }
    void setScale(double x, double y, double z) { transform.setScale(x, y, z); }
    void addPosition(double x, double y, double z) { transform.addPosition(x, y, z); }
    void addRotation(double x, double y, double z) { transform.addRotation(x, y, z); }
};

SceneNode* newNode();  // new + initNode

extern SceneNode* currentNode;  // the node whose draw ran last

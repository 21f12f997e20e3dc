#include "scene/node.h"

SceneNode* newNode() {
    SceneNode* node = new SceneNode();
    node->initNode();
    return node;
}

#include "content/scene.h"

#include "app/app_state.h"
#include "scene/node.h"

void buildScene() {
    sceneRoot = newNode();
    overlayRoot = newNode();
}

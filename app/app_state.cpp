#include "app/app_state.h"

#include <cstdlib>
#include <ctime>

#include "effects/effect_textures.h"
#include "pak/library.h"
#include "pak/mesh.h"
#include "platform/install_path.h"
#include "scene/animator.h"
#include "scene/node.h"

// Defined in one file so that static construction runs in this order (and destruction in reverse).
PakLibrary pakLibrary;
EffectTextures effectTextures;
std::vector<MeshPart*> deferredMeshes;
// The meshes' "?#" textures are the effect textures.
EffectTextureGetter effectTextureGetter = [](const char* name) {
    return effectTextures.getEffectTexture(name);
};
EffectTextureReleaser effectTextureReleaser = [](const char* name) {
    effectTextures.releaseEffectTexture(name);
};

namespace {
struct RandomSeed {
    RandomSeed() { srand((unsigned)time(nullptr)); }
};
RandomSeed randomSeed;
}  // namespace

InstallPath installPath = [] {
    InstallPath path;
    path.loadInstallPath();
    return path;
}();

uint32_t frameTicks = 0;
AnimTrack* currentTrack = nullptr;
SceneNode* currentNode = nullptr;

Viewport* viewport = nullptr;
SaverSettings* settings = nullptr;
SDL_Surface* screenSurface = nullptr;

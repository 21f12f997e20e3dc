// Any bytes as a whole model entry loaded by a node, the way the scene loads "svechi": the mesh
// blocks, the texture names in them, effect textures made and run from those names, and every
// reference given back when the node goes. Needs a GL context (Mesa, headless).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "effects/effect_textures.h"
#include "pak/library.h"
#include "platform/offscreen_gl.h"
#include "scene/node.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!openOffscreenGl(16, 16)) {
        fprintf(stderr, "model_entry: no offscreen GL context\n");
        exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each block may ask for a 2048 x 2048 effect (16 MB): bound the blocks, not the names.
    if (size > 2048) return 0;
    // The archive lives in memory under a name no file has; the library shares it as if opened.
    PakArchive* archive = new PakArchive();
    archive->addEntry("model", data, (uint32_t)size);
    pakLibrary.archives.add("fuzz.pak", LibraryArchive{archive, false, {}, {}});

    SceneNode node;
    node.initNode();
    node.loadModel("fuzz.pak", "model");
    effectTextures.updateEffectTextures();
    node.destroyNode();
    pakLibrary.releaseArchive("fuzz.pak");
    // Every texture and archive reference taken for the model was given back.
    if (!pakLibrary.archives.empty() || !effectTextures.effects.empty()) __builtin_trap();
    return 0;
}

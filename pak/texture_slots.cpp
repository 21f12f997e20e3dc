#include <GL/gl.h>

#include "pak/archive.h"
#include "pak/picture.h"

// The first entry of that name gets one more user; its picture is decoded and uploaded on first
// use. A picture that does not decode still counts a user and yields texture 0.
uint32_t PakArchive::acquireTexture(const char* entryName) {
    int i = textures.find(entryName);
    if (i < 0) return 0;
    if (textures.items[i] == 0)
        textures.items[i] = decodePictureTexture(entries[i].bytes, entries[i].size, mipmapped);
    return textures.acquire(i);
}

void PakArchive::dropTexture(uint32_t textureId) {
    if (textureId == 0) return;
    for (size_t i = 0; i < textures.size(); i++) {
        if (textures.items[i] != textureId || !textures.release((int)i)) continue;
        GLuint id = textureId;
        glDeleteTextures(1, &id);
        textures.items[i] = 0;
    }
}

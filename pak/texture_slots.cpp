#include <GL/gl.h>

#include <cstring>

#include "pak/archive.h"
#include "pak/picture.h"

// The first entry of that name gets one more user; its picture is decoded and uploaded on first
// use. A picture that does not decode still counts a user and yields texture 0.
uint32_t PakArchive::acquireTexture(const char* entryName) {
    size_t length = strlen(entryName);
    for (size_t i = 0; i < names.size(); i++) {
        if (names[i].size() != length || memcmp(names[i].data(), entryName, length) != 0) continue;
        if (textureIds[i] == 0)
            textureIds[i] = decodePictureTexture(entries[i].bytes, entries[i].size, mipmapped);
        textureRefs[i]++;
        return textureIds[i];
    }
    return 0;
}

void PakArchive::dropTexture(uint32_t textureId) {
    if (textureId == 0) return;
    for (size_t i = 0; i < textureIds.size(); i++) {
        if (textureIds[i] != textureId) continue;
        textureRefs[i]--;
        if (textureRefs[i] > 0) continue;
        GLuint id = textureId;
        glDeleteTextures(1, &id);
        textureIds[i] = 0;
    }
}

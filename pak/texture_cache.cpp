#include <GL/gl.h>

#include "pak/library.h"
#include "pak/picture.h"

// The first entry of that name gets one more user; its picture is decoded and uploaded while it
// has no texture. A picture that does not decode still counts a user and yields texture 0; a
// missing entry counts nothing.
uint32_t LibraryArchive::acquireTexture(const char* entryName) {
    PakEntry entry = archive->findEntry(entryName);
    if (!entry.bytes) return 0;
    int i = textures.find(entryName);
    if (i < 0) i = textures.add(entryName, 0, 0);
    if (textures.items[i] == 0)
        textures.items[i] = decodePictureTexture(entry.bytes, entry.size, mipmapped, unseenLevels);
    return textures.acquire(i);
}

// The texture goes with its last user; a later request decodes and uploads it anew.
void LibraryArchive::dropTexture(uint32_t textureId) {
    if (textureId == 0) return;
    int i = textures.findItem(textureId);
    if (i < 0 || !textures.release(i)) return;
    GLuint id = textureId;
    glDeleteTextures(1, &id);
    textures.remove(i);
}

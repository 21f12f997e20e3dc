#include <GL/gl.h>

#include <algorithm>

#include "pak/library.h"
#include "pak/picture.h"

// The first entry of that name gets one more user; its picture is decoded and uploaded while it
// has no texture. A missing entry or a picture that does not decode yields texture 0 and counts
// no user (its release of 0 gives nothing back); the failure is kept, so the same bytes are not
// decoded again on every request while the archive stays open.
uint32_t LibraryArchive::acquireTexture(const char* entryName) {
    int i = textures.find(entryName);
    if (i >= 0) return textures.acquire(i);
    PakEntry entry = archive->findEntry(entryName);
    if (!entry.bytes || std::find(undecodable.begin(), undecodable.end(), entryName) != undecodable.end())
        return 0;
    uint32_t id = decodePictureTexture(entry.bytes, entry.size, mipmapped, unseenLevels);
    if (id == 0) {
        undecodable.push_back(entryName);
        return 0;
    }
    textures.add(entryName, id);
    return id;
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

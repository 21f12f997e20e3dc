#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "pak/library.h"
#include "pak/picture.h"

namespace {
int findTexture(const RefTable<PictureTexture>& textures, uint32_t id) {
    for (size_t i = 0; i < textures.size(); i++)
        if (textures.items[i].id == id) return (int)i;
    return -1;
}
}  // namespace

// The first entry of that name gets one more user; its picture is decoded and uploaded while it
// has no texture. A missing entry or a picture that does not decode yields texture 0 and counts
// no user (its release of 0 gives nothing back); the failure is kept, so the same bytes are not
// decoded again on every request while the archive stays open. Once decoded, the entry's bytes
// are let go: the texture holds the picture now.
uint32_t LibraryArchive::acquireTexture(const char* entryName) {
    int i = textures.find(entryName);
    if (i >= 0) return textures.acquire(i).id;
    if (std::find(undecodable.begin(), undecodable.end(), entryName) != undecodable.end()) return 0;
    PakEntry entry = archive->loadEntry(entryName);
    if (!entry.bytes) return 0;
    PictureTexture texture = {0, 0, 0, 0, 0, 0, {0, 0, {}}};
    bool decoded = decodePicturePixels(entry.bytes, entry.size, &texture.source);
    archive->releaseEntry(entryName);
    if (!decoded) {
        undecodable.push_back(entryName);
        return 0;
    }
    texture.sourceWidth = texture.source.width;
    texture.sourceHeight = texture.source.height;
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    texture.id = id;
    if (fitted) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);  // no mipmaps to look for
    } else {
        uploadPicturePixels(texture.source);
        texture.width = texture.sourceWidth;
        texture.height = texture.sourceHeight;
        texture.source = PicturePixels{0, 0, {}};
    }
    textures.add(entryName, texture);
    return id;
}

// The texture goes with its last user; a later request decodes and uploads it anew.
void LibraryArchive::dropTexture(uint32_t textureId) {
    if (textureId == 0) return;
    int i = findTexture(textures, textureId);
    if (i < 0 || !textures.release(i)) return;
    GLuint id = textureId;
    glDeleteTextures(1, &id);
    textures.remove(i);
}

// Shrunk to the pixels it covers (never enlarged: the GL filters it up), so each texel meets one
// pixel: as sharp as the picture allows, with no mipmaps to build, hold or filter from. A picture
// fitted for an earlier screen is decoded again from the archive.
void LibraryArchive::fitTexture(uint32_t textureId, int32_t width, int32_t height, uint32_t screen) {
    int i = findTexture(textures, textureId);
    if (i < 0 || !fitted) return;
    PictureTexture& texture = textures.items[i];
    int32_t w = width >= 1 && width < texture.sourceWidth ? width : texture.sourceWidth;
    int32_t h = height >= 1 && height < texture.sourceHeight ? height : texture.sourceHeight;
    // Nearly its own size (a 4K screen), the picture is sharper drawn as it is: averaging it into
    // a tenth fewer texels would soften every edge by up to a texel.
    if (w * 10 >= texture.sourceWidth * 9 && h * 10 >= texture.sourceHeight * 9) {
        w = texture.sourceWidth;
        h = texture.sourceHeight;
    }
    if (texture.width == w && texture.height == h) {
        texture.fittedFor = screen;
        return;
    }
    if (texture.fittedFor == screen && texture.width != 0) return;  // another mesh fitted it already
    if (texture.source.rgba.empty()) {
        const char* name = textures.names[i].c_str();
        PakEntry entry = archive->loadEntry(name);
        bool decoded = entry.bytes && decodePicturePixels(entry.bytes, entry.size, &texture.source);
        archive->releaseEntry(name);
        if (!decoded || texture.source.width != texture.sourceWidth ||
            texture.source.height != texture.sourceHeight) {
            texture.source = PicturePixels{0, 0, {}};  // the file changed under us: keep what is uploaded
            texture.fittedFor = screen;
            return;
        }
    }
    PicturePixels shrunk;
    shrinkPicture(texture.source, w, h, &shrunk);
    glBindTexture(GL_TEXTURE_2D, textureId);
    uploadPicturePixels(shrunk);
    texture.width = w;
    texture.height = h;
    texture.fittedFor = screen;
    texture.source = PicturePixels{0, 0, {}};
}

#include "pak/picture.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
const Uint32 kRmask = 0x000000FF, kGmask = 0x0000FF00, kBmask = 0x00FF0000, kAmask = 0xFF000000;
#else
const Uint32 kRmask = 0xFF000000, kGmask = 0x00FF0000, kBmask = 0x0000FF00, kAmask = 0x000000FF;
#endif

bool isRgbaBytes(const SDL_PixelFormat* f) {
    return f->BytesPerPixel == 4 && f->Rmask == kRmask && f->Gmask == kGmask && f->Bmask == kBmask &&
           f->Amask == kAmask;
}

// A copy in the R,G,B,A byte layout; colour keys become transparent pixels, pictures without
// alpha come out opaque.
SDL_Surface* convertToRgba(SDL_Surface* surface) {
    SDL_Surface* model = SDL_CreateRGBSurface(SDL_SWSURFACE, 1, 1, 32, kRmask, kGmask, kBmask, kAmask);
    if (!model) return nullptr;
    SDL_Surface* converted = SDL_ConvertSurface(surface, model->format, SDL_SWSURFACE);
    SDL_FreeSurface(model);
    return converted;
}

// The next mipmap level down: each texel the rounded mean of the 2x2 block above it (a pair once
// one side is a single texel). Made here rather than by the driver: a software renderer makes each
// level with a draw of its own and compiles shaders for it, which was a third of the start-up.
void halveRgba(const uint8_t* src, int w, int h, std::vector<uint8_t>* out) {
    const int nw = w > 1 ? w / 2 : 1, nh = h > 1 ? h / 2 : 1;
    const size_t dx = w > 1 ? 4 : 0, dy = h > 1 ? (size_t)w * 4 : 0;
    out->resize((size_t)nw * nh * 4);
    for (int y = 0; y < nh; y++) {
        const uint8_t* row = src + (size_t)(h > 1 ? 2 * y : 0) * w * 4;
        uint8_t* to = out->data() + (size_t)y * nw * 4;
        for (int x = 0; x < nw; x++) {
            const uint8_t* p = row + (size_t)(w > 1 ? 2 * x : 0) * 4;
            for (int c = 0; c < 4; c++)
                to[x * 4 + c] = (uint8_t)((p[c] + p[dx + c] + p[dy + c] + p[dx + dy + c] + 2) >> 2);
        }
    }
}

int levelCount(int w, int h) {
    int count = 1;
    for (; w > 1 || h > 1; count++) {
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return count;
}

// Level 0 and, with `mipmapped`, every level down to 1x1; the first `unseen` levels are made but
// not uploaded (the 1x1 level always is).
void uploadLevels(const uint8_t* pixels, int w, int h, bool mipmapped, int32_t unseen) {
    if (!mipmapped) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        return;
    }
    const int skipped = std::max(0, std::min((int)unseen, levelCount(w, h) - 1));
    std::vector<uint8_t> above, level;
    for (int i = 0;; i++) {
        if (i >= skipped)
            glTexImage2D(GL_TEXTURE_2D, i - skipped, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        if (w == 1 && h == 1) return;
        halveRgba(pixels, w, h, &level);
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
        above.swap(level);
        pixels = above.data();
    }
}
}  // namespace

uint32_t uploadPictureTexture(SDL_Surface* surface, bool mipmapped, int32_t unseenLevels) {
    SDL_Surface* rgba = isRgbaBytes(surface->format) ? surface : convertToRgba(surface);
    if (!rgba) return 0;
    size_t rowBytes = (size_t)rgba->w * 4;
    std::vector<uint8_t> packed;
    if (SDL_MUSTLOCK(rgba)) SDL_LockSurface(rgba);
    const void* pixels = rgba->pixels;
    if ((size_t)rgba->pitch != rowBytes) {
        packed.resize(rowBytes * rgba->h);
        for (int y = 0; y < rgba->h; y++)
            memcpy(&packed[y * rowBytes], (const uint8_t*)rgba->pixels + (size_t)y * rgba->pitch, rowBytes);
        pixels = packed.data();
    }
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    uploadLevels((const uint8_t*)pixels, rgba->w, rgba->h, mipmapped, unseenLevels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (SDL_MUSTLOCK(rgba)) SDL_UnlockSurface(rgba);
    if (rgba != surface) SDL_FreeSurface(rgba);
    return id;
}

uint32_t decodePictureTexture(const uint8_t* bytes, uint32_t size, bool mipmapped, int32_t unseenLevels) {
    if (size > INT32_MAX) return 0;  // SDL streams count in int
    SDL_RWops* stream = SDL_RWFromMem((void*)bytes, (int)size);
    if (!stream) return 0;
    SDL_Surface* surface = IMG_Load_RW(stream, 1);  // closes the stream
    if (!surface) return 0;
    uint32_t id = uploadPictureTexture(surface, mipmapped, unseenLevels);
    SDL_FreeSurface(surface);
    return id;
}

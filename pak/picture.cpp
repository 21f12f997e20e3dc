#include "pak/picture.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#ifndef GL_GENERATE_MIPMAP
#define GL_GENERATE_MIPMAP 0x8191  // OpenGL 1.4; older headers (Windows' 1.1) lack it
#endif

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
bool driverMakesMipmaps() {
    const char* version = (const char*)glGetString(GL_VERSION);
    const char* extensions = (const char*)glGetString(GL_EXTENSIONS);
    int major = 0, minor = 0;
    if (version && sscanf(version, "%d.%d", &major, &minor) == 2 && (major > 1 || (major == 1 && minor >= 4)))
        return true;
    return extensions && strstr(extensions, "GL_SGIS_generate_mipmap");
}
}  // namespace

uint32_t uploadPictureTexture(SDL_Surface* surface, bool mipmapped) {
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
    mipmapped = mipmapped && driverMakesMipmaps();
    if (mipmapped) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, rgba->w, rgba->h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (SDL_MUSTLOCK(rgba)) SDL_UnlockSurface(rgba);
    if (rgba != surface) SDL_FreeSurface(rgba);
    return id;
}

uint32_t decodePictureTexture(const uint8_t* bytes, uint32_t size, bool mipmapped) {
    if (size > INT32_MAX) return 0;  // SDL streams count in int
    SDL_RWops* stream = SDL_RWFromMem((void*)bytes, (int)size);
    if (!stream) return 0;
    SDL_Surface* surface = IMG_Load_RW(stream, 1);  // closes the stream
    if (!surface) return 0;
    uint32_t id = uploadPictureTexture(surface, mipmapped);
    SDL_FreeSurface(surface);
    return id;
}

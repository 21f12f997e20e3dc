#include "pak/picture.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cmath>
#include <cstdint>
#include <cstring>

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

// Which source texels output texel i covers along one axis, and how much of each (the weights of
// one output texel add up to 1).
struct AxisTap {
    int32_t first;
    std::vector<float> weights;
};

void axisTaps(int32_t from, int32_t to, std::vector<AxisTap>* taps) {
    taps->assign((size_t)to, AxisTap{0, {}});
    const double step = (double)from / to;
    for (int32_t i = 0; i < to; i++) {
        const double low = i * step, high = (i + 1) * step;
        AxisTap& tap = (*taps)[(size_t)i];
        tap.first = (int32_t)std::floor(low);
        for (int32_t s = tap.first; s < from && s < high; s++) {
            const double covered = std::fmin(high, s + 1.0) - std::fmax(low, (double)s);
            tap.weights.push_back((float)(covered / step));
        }
    }
}

// One pass along rows (`across` true) or columns, over alpha-premultiplied texels.
void filterAxis(const std::vector<float>& in, int32_t w, int32_t h, bool across, int32_t to,
                std::vector<float>* out) {
    std::vector<AxisTap> taps;
    axisTaps(across ? w : h, to, &taps);
    const int32_t ow = across ? to : w, oh = across ? h : to;
    out->assign((size_t)ow * oh * 4, 0.0f);
    for (int32_t y = 0; y < oh; y++)
        for (int32_t x = 0; x < ow; x++) {
            const AxisTap& tap = taps[(size_t)(across ? x : y)];
            float* o = &(*out)[((size_t)y * ow + x) * 4];
            for (size_t k = 0; k < tap.weights.size(); k++) {
                const int32_t sx = across ? tap.first + (int32_t)k : x,
                              sy = across ? y : tap.first + (int32_t)k;
                const float* p = &in[((size_t)sy * w + sx) * 4];
                for (int c = 0; c < 4; c++) o[c] += p[c] * tap.weights[k];
            }
        }
}
}  // namespace

bool surfacePixels(SDL_Surface* surface, PicturePixels* out) {
    SDL_Surface* rgba = isRgbaBytes(surface->format) ? surface : convertToRgba(surface);
    if (!rgba) return false;
    const size_t rowBytes = (size_t)rgba->w * 4;
    out->width = rgba->w;
    out->height = rgba->h;
    out->rgba.resize(rowBytes * rgba->h);
    if (SDL_MUSTLOCK(rgba)) SDL_LockSurface(rgba);
    for (int y = 0; y < rgba->h; y++)
        memcpy(&out->rgba[y * rowBytes], (const uint8_t*)rgba->pixels + (size_t)y * rgba->pitch, rowBytes);
    if (SDL_MUSTLOCK(rgba)) SDL_UnlockSurface(rgba);
    if (rgba != surface) SDL_FreeSurface(rgba);
    return true;
}

bool decodePicturePixels(const uint8_t* bytes, uint32_t size, PicturePixels* out) {
    if (size > INT32_MAX) return false;  // SDL streams count in int
    SDL_RWops* stream = SDL_RWFromMem((void*)bytes, (int)size);
    if (!stream) return false;
    SDL_Surface* surface = IMG_Load_RW(stream, 1);  // closes the stream
    if (!surface) return false;
    bool ok = surfacePixels(surface, out);
    SDL_FreeSurface(surface);
    return ok;
}

void shrinkPicture(const PicturePixels& from, int32_t width, int32_t height, PicturePixels* out) {
    const int32_t w = width >= 1 && width < from.width ? width : from.width;
    const int32_t h = height >= 1 && height < from.height ? height : from.height;
    const size_t texels = (size_t)from.width * from.height;
    std::vector<float> a(texels * 4), b;
    for (size_t i = 0; i < texels; i++) {
        const float alpha = from.rgba[i * 4 + 3] / 255.0f;
        for (int c = 0; c < 3; c++) a[i * 4 + c] = from.rgba[i * 4 + c] * alpha;
        a[i * 4 + 3] = alpha;
    }
    filterAxis(a, from.width, from.height, true, w, &b);
    filterAxis(b, w, from.height, false, h, &a);
    out->width = w;
    out->height = h;
    out->rgba.resize((size_t)w * h * 4);
    for (size_t i = 0; i < (size_t)w * h; i++) {
        const float alpha = a[i * 4 + 3];
        for (int c = 0; c < 3; c++) {
            const float v = alpha > 0.0f ? a[i * 4 + c] / alpha : 0.0f;
            out->rgba[i * 4 + c] = (uint8_t)std::lround(std::fmin(std::fmax(v, 0.0f), 255.0f));
        }
        out->rgba[i * 4 + 3] = (uint8_t)std::lround(std::fmin(std::fmax(alpha * 255.0f, 0.0f), 255.0f));
    }
}

void uploadPicturePixels(const PicturePixels& picture) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 picture.rgba.data());
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

uint32_t uploadPictureTexture(SDL_Surface* surface) {
    PicturePixels picture;
    if (!surfacePixels(surface, &picture)) return 0;
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    uploadPicturePixels(picture);
    return id;
}

uint32_t decodePictureTexture(const uint8_t* bytes, uint32_t size) {
    PicturePixels picture;
    if (!decodePicturePixels(bytes, size, &picture)) return 0;
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    uploadPicturePixels(picture);
    return id;
}

// A small stand-in for SDL_image on Windows: PNG and BMP pictures only.
#include <SDL/SDL_image.h>
#include <png.h>

#include <cstring>
#include <vector>

// Pictures larger than this are refused rather than allocated.
enum { MAX_PICTURE_SIDE = 16384 };

// The stream's remaining bytes; false when it cannot be read.
static bool readStream(SDL_RWops* source, std::vector<uint8_t>* bytes) {
    uint8_t chunk[16384];
    for (;;) {
        int count = SDL_RWread(source, chunk, 1, sizeof chunk);
        if (count < 0) return false;
        if (count == 0) return true;
        bytes->insert(bytes->end(), chunk, chunk + count);
    }
}

static SDL_Surface* decodePng(const std::vector<uint8_t>& bytes) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        SDL_SetError("PNG: %s", image.message);
        return nullptr;
    }
    if (image.width == 0 || image.height == 0 || image.width > MAX_PICTURE_SIDE ||
        image.height > MAX_PICTURE_SIDE) {
        png_image_free(&image);
        SDL_SetError("PNG: unsupported size");
        return nullptr;
    }
    image.format = PNG_FORMAT_RGBA;
    // Bytes R, G, B, A in memory on a little-endian machine.
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, (int)image.width, (int)image.height, 32,
                                                0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    if (!surface) {
        png_image_free(&image);
        return nullptr;
    }
    if (!png_image_finish_read(&image, nullptr, surface->pixels, surface->pitch, nullptr)) {
        SDL_SetError("PNG: %s", image.message);
        SDL_FreeSurface(surface);
        return nullptr;
    }
    return surface;
}

SDL_Surface* IMG_Load_RW(SDL_RWops* source, int freeSource) {
    if (!source) return nullptr;
    std::vector<uint8_t> bytes;
    bool read = readStream(source, &bytes);
    if (freeSource) SDL_RWclose(source);
    if (!read) {
        SDL_SetError("cannot read the picture");
        return nullptr;
    }
    static const uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && memcmp(bytes.data(), pngSignature, 8) == 0) return decodePng(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return SDL_LoadBMP_RW(SDL_RWFromMem(bytes.data(), (int)bytes.size()), 1);
    SDL_SetError("unsupported picture format");
    return nullptr;
}

SDL_Surface* IMG_Load(const char* file) {
    return IMG_Load_RW(SDL_RWFromFile(file, "rb"), 1);
}

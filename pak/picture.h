#pragma once
#include <cstdint>
#include <vector>

struct SDL_Surface;

// Decoded pictures as GL wants them: bytes R, G, B, A in memory, rows packed at 4 * width, row 0
// the picture's top.
struct PicturePixels {
    int32_t width;
    int32_t height;
    std::vector<uint8_t> rgba;
};

// Any surface layout converted and packed; false when SDL cannot convert it.
bool surfacePixels(SDL_Surface* surface, PicturePixels* out);
bool decodePicturePixels(const uint8_t* bytes, uint32_t size, PicturePixels* out);  // false: does not decode
// The picture at width x height, each texel the area average of what it covers (colours weighted
// by their alpha, so the colour of clear texels never bleeds in). Only shrinks: an axis asked to
// grow keeps its texels, and the GL's own filtering enlarges it when drawn.
void shrinkPicture(const PicturePixels& from, int32_t width, int32_t height, PicturePixels* out);
// Into the bound texture's level 0, filtered linearly and without mipmaps.
void uploadPicturePixels(const PicturePixels& picture);

// New GL textures made that way; they stay bound. 0 on failure.
uint32_t uploadPictureTexture(SDL_Surface* surface);
uint32_t decodePictureTexture(const uint8_t* bytes, uint32_t size);  // 0 when the picture does not decode

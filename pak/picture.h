#pragma once
#include <cstdint>

struct SDL_Surface;

// GL textures from decoded pictures. GL wants 32-bit pixels with bytes R, G, B, A in memory and
// rows packed at 4 * width; surfaces in any other layout are converted first.
// With `mipmapped`, the texture gets every mipmap level and is filtered from them when drawn
// small; otherwise plainly (what pictures that are never drawn small want: mipmap
// filtering costs the software renderer dearly over large areas). `unseenLevels` mipmap levels
// the screen never samples are left out: the next level down becomes the texture's level 0
// (never below 1x1), which draws the same and holds a quarter of the memory per level.
uint32_t uploadPictureTexture(SDL_Surface* surface, bool mipmapped = false,
                              int32_t unseenLevels = 0);  // the new texture stays bound; 0 on failure
uint32_t decodePictureTexture(const uint8_t* bytes, uint32_t size, bool mipmapped = false,
                              int32_t unseenLevels = 0);  // 0 when the picture does not decode

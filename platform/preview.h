#pragma once
#include <cstdint>
#include <vector>

struct SDL_Surface;

// The preview inside the desktop's screensaver settings: a still picture in a child window of
// `parent`. Returns the process exit status.
int runPreview(unsigned long parent);

// The only preview width the picture is made for; any other width shows black.
const int32_t previewPictureWidth = 152;

// What a width x height preview window shows, as 0xRRGGBB values, the top row first: for the
// picture width, `picture` (a 24-bit surface, B,G,R bytes) unscaled from the top-left corner and
// black beyond it; for any other width, or without a usable 24-bit picture, black throughout.
void composePreview(const SDL_Surface* picture, int32_t width, int32_t height, std::vector<uint32_t>* pixels);

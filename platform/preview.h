#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct SDL_Surface;
struct SDL_RWops;

// The preview inside the desktop's screensaver settings: a still picture in a child window of
// `parent`. Returns the process exit status.
int runPreview(unsigned long parent);

// Preview mode (/p): the parent window, its client size and the child window.
extern unsigned long previewParent;
extern int32_t previewWidth;
extern int32_t previewHeight;
extern unsigned long previewWindow;

// The only preview width the picture is made for; any other width shows black.
const int32_t previewPictureWidth = 152;

// What a width x height preview window shows, as 0xRRGGBB values, the top row first: for the
// picture width, `picture` (a 24-bit surface, B,G,R bytes) unscaled from the top-left corner and
// black beyond it; for any other width, or without a usable 24-bit picture, black throughout.
void composePreview(const SDL_Surface* picture, int32_t width, int32_t height, std::vector<uint32_t>* pixels);
// The same on a display scaled to `dpi` (96 is 100%): a window of the picture width at that scaling,
// as the settings page draws its box (152 x dpi / 96 pixels), shows the picture enlarged to fill
// it, each window pixel taking the picture pixel under its centre; any other window as above.
void composeScaledPreview(const SDL_Surface* picture, int32_t width, int32_t height, uint32_t dpi,
                          std::vector<uint32_t>* pixels);

// True when the first bytes of a file (`header`, `headerSize` of them) describe an uncompressed
// 24-bit BMP of at most 4096 x 4096 pixels whose rows all lie within `fileSize` bytes.
bool previewHeaderUsable(const uint8_t* header, size_t headerSize, uint64_t fileSize);
// The picture in `file` (closed in any case) when its header is usable, decoded by SDL; null
// otherwise, so a damaged file is never decoded and nothing beyond its size is allocated.
SDL_Surface* loadPreviewBmp(SDL_RWops* file);

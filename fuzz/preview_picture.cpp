// Feeds arbitrary bytes to the preview's picture path, as a damaged preview.ppk would reach it:
// the header check, SDL's BMP reader, then the painter at the picture width and at another one.
#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/preview.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SDL_Surface* picture = loadPreviewBmp(SDL_RWFromConstMem(data, (int)size));
    std::vector<uint32_t> pixels;
    composePreview(picture, previewPictureWidth, 112, &pixels);
    composePreview(picture, 40, 30, &pixels);
    if (picture) SDL_FreeSurface(picture);
    return 0;
}

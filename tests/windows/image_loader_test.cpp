// The Windows build's own picture loader behind SDL_image's header.
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pak/png_writer.h"

static std::vector<uint8_t> testPng(int32_t width, int32_t height) {
    std::vector<uint8_t> rgba((size_t)width * height * 4);
    for (size_t i = 0; i < rgba.size(); i++) rgba[i] = (uint8_t)(i * 7);
    std::vector<uint8_t> png;
    encodePng(rgba.data(), width, height, &png);
    return png;
}

static SDL_Surface* load(const std::vector<uint8_t>& bytes) {
    return IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), (int)bytes.size()), 1);
}

TEST(ImageLoader, PngBecomesA32BitRgbaSurface) {
    std::vector<uint8_t> png = testPng(5, 3);
    ASSERT_FALSE(png.empty());
    SDL_Surface* surface = load(png);
    ASSERT_NE(nullptr, surface) << IMG_GetError();
    EXPECT_EQ(5, surface->w);
    EXPECT_EQ(3, surface->h);
    EXPECT_EQ(32, surface->format->BitsPerPixel);
    // Bytes R, G, B, A in memory, rows at the surface's pitch.
    const uint8_t* row = (const uint8_t*)surface->pixels + surface->pitch * 2;
    for (int i = 0; i < 5 * 4; i++) EXPECT_EQ((uint8_t)((2 * 5 * 4 + i) * 7), row[i]) << i;
    SDL_FreeSurface(surface);
}

TEST(ImageLoader, BmpGoesThroughSdl) {
    // A 2x1 24-bit picture: blue then red.
    std::vector<uint8_t> bmp = {'B', 'M', 62, 0, 0, 0, 0, 0,  0, 0, 54, 0, 0,   0, 40, 0, 0, 0,   2, 0, 0,
                                0,   1,   0,  0, 0, 1, 0, 24, 0, 0, 0,  0, 0,   8, 0,  0, 0, 0,   0, 0, 0,
                                0,   0,   0,  0, 0, 0, 0, 0,  0, 0, 0,  0, 255, 0, 0,  0, 0, 255, 0, 0};
    SDL_Surface* surface = load(bmp);
    ASSERT_NE(nullptr, surface) << IMG_GetError();
    EXPECT_EQ(2, surface->w);
    EXPECT_EQ(1, surface->h);
    SDL_FreeSurface(surface);
}

TEST(ImageLoader, DamagedOrUnknownPicturesGiveNull) {
    std::vector<uint8_t> png = testPng(16, 16);
    // Cuts into the pixel data (the last 12 bytes are the end marker, which is not needed).
    for (size_t cut : {(size_t)0, (size_t)4, (size_t)8, (size_t)33, png.size() / 2, png.size() - 13}) {
        std::vector<uint8_t> truncated(png.begin(), png.begin() + cut);
        SDL_Surface* surface = load(truncated);
        EXPECT_EQ(nullptr, surface) << "cut at " << cut;
        if (surface) SDL_FreeSurface(surface);
    }
    std::vector<uint8_t> corrupted = png;
    for (size_t i = 40; i < corrupted.size(); i += 5) corrupted[i] ^= 0x5a;
    SDL_Surface* surface = load(corrupted);
    EXPECT_EQ(nullptr, surface);
    if (surface) SDL_FreeSurface(surface);

    std::vector<uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'};
    EXPECT_EQ(nullptr, load(text));
    EXPECT_EQ(nullptr, IMG_Load_RW(nullptr, 1));
    EXPECT_EQ(nullptr, IMG_Load("Z:\\no\\such\\picture.png"));
}

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/preview.h"

// A 24-bit surface as SDL_LoadBMP makes one: bytes B, G, R; every pixel's bytes name its place.
static SDL_Surface* makePicture(int width, int height) {
    SDL_Surface* picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xff0000, 0x00ff00, 0x0000ff, 0);
    uint8_t* pixels = (uint8_t*)picture->pixels;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint8_t* bgr = pixels + y * picture->pitch + x * 3;
            bgr[0] = (uint8_t)x;
            bgr[1] = (uint8_t)y;
            bgr[2] = (uint8_t)(x + y);
        }
    }
    return picture;
}

static uint32_t expected(int x, int y) {
    return (uint32_t)(uint8_t)(x + y) << 16 | (uint32_t)(uint8_t)y << 8 | (uint8_t)x;
}

static bool allBlack(const std::vector<uint32_t>& pixels) {
    for (size_t i = 0; i < pixels.size(); i++)
        if (pixels[i] != 0) return false;
    return true;
}

TEST(ComposePreview, PictureWidthShowsThePictureRedFromByteTwo) {
    SDL_Surface* picture = makePicture(152, 112);
    uint8_t* first = (uint8_t*)picture->pixels;
    first[0] = 0x10;
    first[1] = 0x20;
    first[2] = 0x30;
    std::vector<uint32_t> pixels;
    composePreview(picture, 152, 112, &pixels);
    ASSERT_EQ(152u * 112u, pixels.size());
    EXPECT_EQ(0x302010u, pixels[0]);
    EXPECT_EQ(expected(151, 0), pixels[151]);
    EXPECT_EQ(expected(17, 93), pixels[93 * 152 + 17]);
    EXPECT_EQ(expected(151, 111), pixels.back());
    SDL_FreeSurface(picture);
}

// At 150% the settings page's box is 228 x 168: the picture fills it, each pixel the one under
// its centre; at 200% every picture pixel is a 2 x 2 square. A box one pixel wider is no picture
// box at that scaling, and at 96 dpi nothing changes.
TEST(ComposePreview, ScaledBoxShowsThePictureEnlarged) {
    SDL_Surface* picture = makePicture(152, 112);
    std::vector<uint32_t> pixels;
    composeScaledPreview(picture, 228, 168, 144, &pixels);
    ASSERT_EQ(228u * 168u, pixels.size());
    int wrong = 0;
    for (int y = 0; y < 168; y++)
        for (int x = 0; x < 228; x++)
            wrong +=
                pixels[(size_t)y * 228 + x] != expected((2 * x + 1) * 152 / 456, (2 * y + 1) * 112 / 336);
    EXPECT_EQ(0, wrong);
    composeScaledPreview(picture, 304, 224, 192, &pixels);
    ASSERT_EQ(304u * 224u, pixels.size());
    EXPECT_EQ(expected(75, 50), pixels[(size_t)101 * 304 + 151]);
    EXPECT_EQ(expected(151, 111), pixels.back());
    composeScaledPreview(picture, 231, 168, 144, &pixels);
    EXPECT_TRUE(allBlack(pixels));
    std::vector<uint32_t> unscaledPixels;
    composeScaledPreview(picture, 152, 112, 96, &pixels);
    composePreview(picture, 152, 112, &unscaledPixels);
    EXPECT_EQ(unscaledPixels, pixels);
    SDL_FreeSurface(picture);
}

// 150 * 3 bytes are padded to 452 a row: a stride of width * 3 would slide every row sideways.
TEST(ComposePreview, PaddedRowsAreSteppedByTheirPitch) {
    SDL_Surface* picture = makePicture(150, 40);
    ASSERT_EQ(452, picture->pitch);
    std::vector<uint32_t> pixels;
    composePreview(picture, 152, 50, &pixels);
    for (int y = 0; y < 40; y++) {
        EXPECT_EQ(expected(0, y), pixels[(size_t)y * 152]) << "row " << y;
        EXPECT_EQ(expected(149, y), pixels[(size_t)y * 152 + 149]) << "row " << y;
        // Beyond the picture the window stays black, to the right and below.
        EXPECT_EQ(0u, pixels[(size_t)y * 152 + 150]);
    }
    for (int x = 0; x < 152; x++) EXPECT_EQ(0u, pixels[45 * 152 + x]);
    SDL_FreeSurface(picture);
}

TEST(ComposePreview, TallerOrWiderPictureIsClippedToTheWindow) {
    SDL_Surface* picture = makePicture(200, 300);
    std::vector<uint32_t> pixels;
    composePreview(picture, 152, 20, &pixels);
    ASSERT_EQ(152u * 20u, pixels.size());
    EXPECT_EQ(expected(151, 19), pixels.back());
    SDL_FreeSurface(picture);
}

TEST(ComposePreview, OtherWidthsAreBlackThroughout) {
    SDL_Surface* picture = makePicture(152, 112);
    for (int width : {151, 153, 320}) {
        std::vector<uint32_t> pixels;
        composePreview(picture, width, 90, &pixels);
        EXPECT_EQ((size_t)width * 90, pixels.size());
        EXPECT_TRUE(allBlack(pixels)) << width;
    }
    SDL_FreeSurface(picture);
}

TEST(ComposePreview, MissingOrNot24BitPictureIsBlack) {
    std::vector<uint32_t> pixels;
    composePreview(nullptr, 152, 112, &pixels);
    EXPECT_EQ(152u * 112u, pixels.size());
    EXPECT_TRUE(allBlack(pixels));

    SDL_Surface* rgba = SDL_CreateRGBSurface(SDL_SWSURFACE, 152, 112, 32, 0xff0000, 0xff00, 0xff, 0xff000000);
    SDL_FillRect(rgba, nullptr, 0xffffffff);
    SDL_Surface* paletted = SDL_CreateRGBSurface(SDL_SWSURFACE, 152, 112, 8, 0, 0, 0, 0);
    SDL_FillRect(paletted, nullptr, 7);
    for (SDL_Surface* picture : {rgba, paletted}) {
        composePreview(picture, 152, 112, &pixels);
        EXPECT_TRUE(allBlack(pixels)) << (int)picture->format->BitsPerPixel;
        SDL_FreeSurface(picture);
    }

    composePreview(nullptr, 0, 112, &pixels);
    EXPECT_TRUE(pixels.empty());
}

// An uncompressed bottom-up BMP file, its pixel bytes all zero.
static std::vector<uint8_t> makeBmp(int32_t width, int32_t height, int bits) {
    uint32_t rowSize = ((uint32_t)((width < 0 ? -width : width) * bits / 8) + 3) & ~3u;
    uint32_t rows = (uint32_t)(height < 0 ? -height : height);
    std::vector<uint8_t> bmp(54 + rowSize * rows, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) bmp[at + i] = (uint8_t)(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, (uint32_t)bmp.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)width);
    put32(22, (uint32_t)height);
    bmp[26] = 1;
    bmp[28] = (uint8_t)bits;
    return bmp;
}

static SDL_Surface* loadFromMemory(std::vector<uint8_t>& bmp) {
    return loadPreviewBmp(SDL_RWFromMem(bmp.data(), (int)bmp.size()));
}

// A 24-bit BMP read the way the preview reads it: bottom-up rows with padding, B,G,R bytes.
TEST(LoadPreviewBmp, PaintsThePixelsOfA24BitFile) {
    std::vector<uint8_t> bmp = makeBmp(3, 2, 24);
    const int rowSize = 12;
    // File row 0 is the bottom row; the top row's first pixel holds (0x10, 0x20, 0x30).
    uint8_t* top = &bmp[54 + rowSize];
    top[0] = 0x10;
    top[1] = 0x20;
    top[2] = 0x30;
    bmp[54 + 6] = 0xaa;  // the bottom row's third pixel: blue
    SDL_Surface* picture = loadFromMemory(bmp);
    ASSERT_NE(nullptr, picture);
    std::vector<uint32_t> pixels;
    composePreview(picture, 152, 4, &pixels);
    EXPECT_EQ(0x302010u, pixels[0]);
    EXPECT_EQ(0xaau, pixels[152 + 2]);
    EXPECT_EQ(0u, pixels[152 + 3]);
    SDL_FreeSurface(picture);

    std::vector<uint8_t> topDown = makeBmp(152, -112, 24);
    picture = loadFromMemory(topDown);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(112, picture->h);
    SDL_FreeSurface(picture);
}

// Nothing that would paint black anyway is decoded, and no header may ask for more pixel bytes
// than the file holds.
TEST(LoadPreviewBmp, RefusesDamagedOrOtherFilesBeforeDecoding) {
    std::vector<uint8_t> good = makeBmp(152, 112, 24);
    EXPECT_TRUE(previewHeaderUsable(good.data(), good.size(), good.size()));
    for (size_t cut : {(size_t)0, (size_t)20, (size_t)53, (size_t)54, good.size() - 1}) {
        std::vector<uint8_t> truncated(good.begin(), good.begin() + (ptrdiff_t)cut);
        EXPECT_EQ(nullptr, loadFromMemory(truncated)) << cut;
    }
    std::vector<uint8_t> huge = makeBmp(152, 112, 24);
    huge[22] = 0xff;  // 112 rows become 255, more than the file holds
    EXPECT_EQ(nullptr, loadFromMemory(huge));
    huge[18] = 0x00;
    huge[19] = 0x00;
    huge[20] = 0x01;  // 65536 wide
    EXPECT_FALSE(previewHeaderUsable(huge.data(), huge.size(), UINT64_MAX));
    std::vector<uint8_t> negativeWidth = makeBmp(-152, 112, 24);
    EXPECT_FALSE(previewHeaderUsable(negativeWidth.data(), negativeWidth.size(), UINT64_MAX));

    std::vector<uint8_t> deep = makeBmp(152, 112, 32);
    std::vector<uint8_t> paletted = makeBmp(152, 112, 8);
    std::vector<uint8_t> compressed = makeBmp(152, 112, 24);
    compressed[30] = 1;
    std::vector<uint8_t> notBmp = makeBmp(152, 112, 24);
    notBmp[0] = 'P';
    for (std::vector<uint8_t>* bmp : {&deep, &paletted, &compressed, &notBmp})
        EXPECT_EQ(nullptr, loadFromMemory(*bmp));
    EXPECT_EQ(nullptr, loadPreviewBmp(nullptr));
}

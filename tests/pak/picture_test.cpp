#include "pak/picture.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include "tests/pak/picture_bytes.h"
#include "tests/support/gl_fixture.h"

namespace {
class PictureTest : public GlTest {
   protected:
    // The bound texture's texels as GL holds them, RGBA rows.
    std::vector<uint8_t> texels(uint32_t texture, int w, int h) {
        std::vector<uint8_t> out((size_t)w * h * 4, 0x5A);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    void expectSolid(uint32_t texture, int w, int h, const uint8_t rgba[4]) {
        ASSERT_NE(texture, 0u);
        GLint width = 0, height = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, w);
        EXPECT_EQ(height, h);
        std::vector<uint8_t> t = texels(texture, w, h);
        for (size_t i = 0; i < t.size(); i += 4) {
            ASSERT_EQ(memcmp(&t[i], rgba, 4), 0)
                << "texel " << i / 4 << ": " << (int)t[i] << " " << (int)t[i + 1] << " " << (int)t[i + 2]
                << " " << (int)t[i + 3];
        }
    }
};
}  // namespace

// Odd widths give 24-bit and 8-bit surfaces whose rows are padded; all must come out packed RGBA.
TEST_F(PictureTest, PicturesWithoutAlphaUploadOpaque) {
    const uint8_t orange[4] = {250, 120, 10, 255};
    std::vector<uint8_t> rgb = solidBmp(3, 5, 250, 120, 10);
    expectSolid(decodePictureTexture(rgb.data(), (uint32_t)rgb.size()), 3, 5, orange);
    std::vector<uint8_t> paletted = solidBmp(5, 3, 250, 120, 10, true);
    expectSolid(decodePictureTexture(paletted.data(), (uint32_t)paletted.size()), 5, 3, orange);
}

TEST_F(PictureTest, AlphaSurvivesDecoding) {
    const uint8_t tint[4] = {10, 20, 30, 40};
    std::vector<uint8_t> png = solidPng(4, 2, 10, 20, 30, 40);
    expectSolid(decodePictureTexture(png.data(), (uint32_t)png.size()), 4, 2, tint);
}

TEST_F(PictureTest, RgbaSurfacesWithPaddedRowsArePacked) {
    const int w = 3, h = 4, pitch = w * 4 + 8;
    std::vector<uint8_t> pixels((size_t)pitch * h, 0xEE);  // padding must not show up in the texture
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            uint8_t* p = &pixels[(size_t)y * pitch + x * 4];
            p[0] = (uint8_t)(x * 40);
            p[1] = (uint8_t)(y * 50);
            p[2] = 7;
            p[3] = 200;
        }
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceFrom(pixels.data(), w, h, 32, pitch, 0x000000FF, 0x0000FF00,
                                                    0x00FF0000, 0xFF000000);
    uint32_t texture = uploadPictureTexture(surface);
    SDL_FreeSurface(surface);
    std::vector<uint8_t> t = texels(texture, w, h);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const uint8_t* p = &t[(size_t)(y * w + x) * 4];
            EXPECT_EQ(p[0], x * 40);
            EXPECT_EQ(p[1], y * 50);
            EXPECT_EQ(p[2], 7);
            EXPECT_EQ(p[3], 200);
        }
    }
}

TEST_F(PictureTest, UndecodableBytesMakeNoTexture) {
    const uint8_t junk[] = "not a picture at all";
    EXPECT_EQ(decodePictureTexture(junk, sizeof junk), 0u);
    EXPECT_EQ(decodePictureTexture(junk, 0), 0u);
}

// Shrinking averages what each texel covers, by area and weighted by alpha (a clear texel's colour
// never bleeds in); an axis asked to grow keeps its texels.
TEST(PictureShrink, TexelsAverageWhatTheyCover) {
    PicturePixels square = {4, 2, {}};
    const uint8_t texels[8][4] = {{255, 0, 0, 255}, {255, 0, 0, 255}, {100, 40, 9, 200}, {100, 40, 9, 200},
                                  {0, 255, 0, 0},   {0, 255, 0, 0},   {100, 40, 9, 200}, {100, 40, 9, 200}};
    for (const uint8_t* t : texels) square.rgba.insert(square.rgba.end(), t, t + 4);
    PicturePixels out;
    shrinkPicture(square, 2, 1, &out);
    ASSERT_EQ(out.width, 2);
    ASSERT_EQ(out.height, 1);
    EXPECT_EQ(out.rgba, std::vector<uint8_t>({255, 0, 0, 128, 100, 40, 9, 200}));

    PicturePixels row = {3, 1, {0, 0, 0, 255, 90, 0, 0, 255, 180, 0, 0, 255}};
    shrinkPicture(row, 2, 5, &out);  // two thirds of a texel each
    ASSERT_EQ(out.width, 2);
    ASSERT_EQ(out.height, 1);
    EXPECT_EQ(out.rgba, std::vector<uint8_t>({30, 0, 0, 255, 150, 0, 0, 255}));
    shrinkPicture(row, 7, 1, &out);
    EXPECT_EQ(out.rgba, row.rgba);
}

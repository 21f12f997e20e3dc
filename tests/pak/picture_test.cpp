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

// Each level is the rounded mean of the one above, down to 1x1, so the texture is complete and
// small draws are filtered from it; a 4x2 picture checks the 2x2 and the single-row halvings.
// Levels the screen never samples are left out: the next one down becomes level 0, never past 1x1.
TEST_F(PictureTest, MipmapLevelsAreTheMeanOfTheLevelAbove) {
    uint8_t pixels[4 * 2 * 4];
    const uint8_t reds[8] = {0, 10, 20, 31, 100, 110, 120, 255};
    for (int i = 0; i < 8; i++) {
        pixels[i * 4] = reds[i];
        pixels[i * 4 + 1] = 40;
        pixels[i * 4 + 2] = (uint8_t)(i & 1 ? 255 : 0);
        pixels[i * 4 + 3] = 200;
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceFrom(pixels, 4, 2, 32, 16, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    uint32_t texture = uploadPictureTexture(surface, true);
    uint32_t withoutFinest = uploadPictureTexture(surface, true, 1);
    uint32_t onlyCoarsest = uploadPictureTexture(surface, true, 5);
    SDL_FreeSurface(surface);
    ASSERT_NE(texture, 0u);
    glBindTexture(GL_TEXTURE_2D, texture);
    uint8_t level1[2 * 4], level2[4];
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, level1);
    glGetTexImage(GL_TEXTURE_2D, 2, GL_RGBA, GL_UNSIGNED_BYTE, level2);
    const uint8_t want1[8] = {55,  40, 128, 200,
                              107, 40, 128, 200};  // (0+10+100+110+2)/4, (20+31+120+255+2)/4
    const uint8_t want2[4] = {81, 40, 128, 200};
    EXPECT_EQ(memcmp(level1, want1, 8), 0)
        << (int)level1[0] << " " << (int)level1[2] << " " << (int)level1[4];
    EXPECT_EQ(memcmp(level2, want2, 4), 0) << (int)level2[0] << " " << (int)level2[2];
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);

    uint8_t top[2 * 4], next[4];
    glBindTexture(GL_TEXTURE_2D, withoutFinest);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, top);
    glGetTexImage(GL_TEXTURE_2D, 1, GL_RGBA, GL_UNSIGNED_BYTE, next);
    EXPECT_EQ(memcmp(top, want1, 8), 0);
    EXPECT_EQ(memcmp(next, want2, 4), 0);
    expectSolid(onlyCoarsest, 1, 1, want2);
}

// The mesh and PNG writers against the readers the screensaver uses.
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "pak/mesh.h"
#include "pak/mesh_writer.h"
#include "pak/model_layout.h"
#include "pak/png_writer.h"

namespace {

MeshBuild twoTriangles(const char* texture) {
    MeshMaterial m = plainMaterial(0.25f, 0.5f, 0.75f, 0.5f);
    m.transparent = true;
    m.specular[0] = 0.125f;
    m.shininess = 12.0f;
    MeshBuild mesh;
    mesh.initMeshBuild(texture, m);
    for (int v = 0; v < 6; v++) {
        const double p[3] = {v * 1.5, -v * 0.25, 1e-3 * v}, n[3] = {0.0, 0.0, v % 2 ? 1.0 : -1.0};
        mesh.addVertex(p, n, v * 0.125, 1.0 - v * 0.125);
    }
    return mesh;
}

TEST(MeshWriter, BlocksHaveTheReadersLayout) {
    std::vector<MeshBuild> meshes = {twoTriangles("ab.png"), twoTriangles("x#Fire64 128")};
    // A name of six characters is stored as 7 bytes with its NUL: 149 + 7 + 2 * 192 = 540.
    EXPECT_EQ(meshBlockSize(meshes[0]), 540u);
    std::vector<uint8_t> bytes;
    writeModel(&bytes, meshes);
    const uint8_t* cursor = nullptr;
    int32_t count = 0;
    ASSERT_TRUE(readModelHeader(bytes.data(), (uint32_t)bytes.size(), &cursor, &count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(cursor, bytes.data() + 5);
    const uint8_t* end = bytes.data() + bytes.size();
    for (int i = 0; i < 2; i++) {
        MeshBlockLayout block;
        const char* problem = "";
        ASSERT_TRUE(readMeshBlock(cursor, end, &block, &problem)) << problem;
        EXPECT_STREQ(block.textureName, meshes[(size_t)i].textureName.c_str());
        EXPECT_EQ(block.blockSize, meshBlockSize(meshes[(size_t)i]));
        EXPECT_EQ(block.triangleCount, 2u);
        for (int k = 0; k < 80; k++)
            EXPECT_EQ(cursor[4 + block.textureNameLength + k], 0) << "reserved byte " << k;
        MeshMaterial m;
        readMeshMaterial(block.material, &m);
        EXPECT_TRUE(m.transparent);
        EXPECT_FALSE(m.alphaTested);
        EXPECT_FLOAT_EQ(m.diffuse[2], 0.75f);
        EXPECT_FLOAT_EQ(m.specular[0], 0.125f);
        EXPECT_FLOAT_EQ(m.shininess, 12.0f);
        double x, t;
        std::memcpy(&x, block.vertices + 5 * 24, 8);
        std::memcpy(&t, block.texCoords + 5 * 16 + 8, 8);
        EXPECT_DOUBLE_EQ(x, 7.5);
        EXPECT_DOUBLE_EQ(t, 0.375);
        cursor += block.blockSize;
    }
    EXPECT_EQ(cursor, end);
}

TEST(MeshWriter, WritesWholeTrianglesOnly) {
    MeshBuild mesh = twoTriangles("a");
    const double p[3] = {0, 0, 0};
    mesh.addVertex(p, p, 0, 0);  // a lone extra vertex is not a triangle
    EXPECT_EQ(mesh.triangleCount(), 2);
    std::vector<uint8_t> bytes;
    writeMeshBlock(&bytes, mesh);
    EXPECT_EQ(bytes.size(), meshBlockSize(mesh));
}

TEST(PngWriter, RoundTripsThroughTheDecoderAndRepeatsExactly) {
    const int w = 5, h = 3;
    std::vector<uint8_t> pixels((size_t)w * h * 4);
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = (uint8_t)(i * 37 + 11);
    std::vector<uint8_t> png, again;
    ASSERT_TRUE(encodePng(pixels.data(), w, h, &png));
    ASSERT_TRUE(encodePng(pixels.data(), w, h, &again));
    EXPECT_TRUE(png == again);
    const std::string text(png.begin(), png.end());
    EXPECT_EQ(text.find("tIME"), std::string::npos);
    SDL_Surface* surface = IMG_Load_RW(SDL_RWFromConstMem(png.data(), (int)png.size()), 1);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->format->BytesPerPixel, 4);
    ASSERT_EQ(surface->w, w);
    ASSERT_EQ(surface->h, h);
    for (int y = 0; y < h; y++)
        EXPECT_EQ(std::memcmp((uint8_t*)surface->pixels + y * surface->pitch, &pixels[(size_t)y * w * 4],
                              (size_t)w * 4),
                  0)
            << "row " << y;
    SDL_FreeSurface(surface);
}

TEST(PngWriter, RefusesEmptyPictures) {
    std::vector<uint8_t> png;
    const uint8_t pixel[4] = {0, 0, 0, 0};
    EXPECT_FALSE(encodePng(pixel, 0, 1, &png));
    EXPECT_FALSE(encodePng(nullptr, 1, 1, &png));
    EXPECT_TRUE(png.empty());
}

}  // namespace

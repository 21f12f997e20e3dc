#include "pak/mesh.h"

#include <GL/gl.h>

#include "pak/library.h"
#include "pak/model_layout.h"
#include "tests/pak/model_bytes.h"
#include "tests/pak/picture_bytes.h"
#include "tests/pak/temp_dir.h"
#include "tests/support/gl_fixture.h"

namespace {
// The fixed GL state the video set-up gives every frame, and "scene.pak" with two pictures.
class MeshTest : public GlTest {
   protected:
    TempDir dir;
    std::vector<MeshPart*> meshes;

    void SetUp() override {
        GlTest::SetUp();
        ASSERT_TRUE(writeBytes(dir.file("scene.pak"), pakBytes({{"red", solidBmp(2, 2, 255, 0, 0)},
                                                                {"green", solidBmp(2, 2, 0, 255, 0)}})));
        pakLibrary.setBasePath(dir.path);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glAlphaFunc(GL_GREATER, 0.9f);
        glClearColor(0, 0, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        deferredMeshes.clear();
        for (size_t i = 0; i < meshes.size(); i++) {
            meshes[i]->releaseMeshPart();
            delete meshes[i];
        }
        EXPECT_TRUE(pakLibrary.archives.empty()) << "every texture reference was given back";
        pakLibrary.setBasePath("0");
        GlTest::TearDown();
    }
    // Loads every block that fits, the way a node loads a model.
    int load(const uint8_t* bytes, uint32_t size) {
        const uint8_t* cursor;
        int32_t count;
        if (!readModelHeader(bytes, size, &cursor, &count)) return 0;
        int loaded = 0;
        for (int32_t i = 0; i < count; i++) {
            MeshPart* mesh = new MeshPart();
            mesh->initMeshPart();
            if (!mesh->parseMeshBlock(cursor, bytes + size, "scene.pak")) {
                delete mesh;
                break;
            }
            meshes.push_back(mesh);
            loaded++;
        }
        return loaded;
    }
    std::vector<uint8_t> centrePixel() {
        std::vector<uint8_t> rgba(4);
        glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
};

}  // namespace

TEST(ModelHeader, MarkerDecidesWhereTheCountIs) {
    std::vector<uint8_t> plain = modelBytes({quadMesh("red", 0)});
    std::vector<uint8_t> skipped = modelBytes({quadMesh("red", 0)}, true);
    const uint8_t* data;
    int32_t count;
    ASSERT_TRUE(readModelHeader(plain.data(), (uint32_t)plain.size(), &data, &count));
    EXPECT_EQ(data - plain.data(), 5);
    EXPECT_EQ(count, 1);
    ASSERT_TRUE(readModelHeader(skipped.data(), (uint32_t)skipped.size(), &data, &count));
    EXPECT_EQ(data - skipped.data(), 9);
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(readModelHeader(skipped.data(), 8, &data, &count));
    EXPECT_FALSE(readModelHeader(nullptr, 0, &data, &count));
    const uint8_t negative[] = {0, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(readModelHeader(negative, 5, &data, &count));
}

TEST(ModelLayout, BlockSizeFollowsNameAndTriangleCount) {
    std::vector<uint8_t> bytes = blockBytes(quadMesh("abcdef", 2));
    ASSERT_EQ(bytes.size(), 540u);  // 149 + 7 + 384
    MeshBlockLayout layout;
    const char* problem = nullptr;
    ASSERT_TRUE(readMeshBlock(bytes.data(), bytes.data() + bytes.size(), &layout, &problem));
    EXPECT_EQ(layout.blockSize, 540u);
    EXPECT_STREQ(layout.textureName, "abcdef");
    EXPECT_EQ(layout.vertices - bytes.data(), 156);
    EXPECT_EQ(layout.texCoords - bytes.data(), 156 + 288);
    MeshMaterial material;
    readMeshMaterial(layout.material, &material);
    EXPECT_FLOAT_EQ(material.diffuse[2], 0.75f);
    EXPECT_FLOAT_EQ(material.shininess, 8.0f);
}

TEST(ModelLayout, MalformedBlocksAreRefused) {
    std::vector<uint8_t> noNul = blockBytes(quadMesh("abcdef", 1));
    noNul[4 + 6] = 'g';  // the NUL was the name's last stored byte
    std::vector<uint8_t> hugeCount = blockBytes(quadMesh("abc", 1));
    memset(&hugeCount[144 + 4], 0xFF, 4);
    std::vector<uint8_t> hugeName = blockBytes(quadMesh("abc", 1));
    memset(&hugeName[0], 0xFF, 4);
    const std::vector<uint8_t>* cases[] = {&noNul, &hugeCount, &hugeName};
    for (const std::vector<uint8_t>* c : cases) {
        ExactBytes exact(*c, c->size());
        MeshBlockLayout layout;
        const char* problem = nullptr;
        EXPECT_FALSE(readMeshBlock(exact.bytes, exact.bytes + exact.size, &layout, &problem));
        EXPECT_NE(problem, nullptr);
    }
}

TEST_F(MeshTest, BlocksFollowEachOtherAndRouteTheirTextures) {
    std::vector<uint8_t> bytes = modelBytes(
        {quadMesh("abcdef", 2), quadMesh("?#Plasma8 8 1 2 3", 1), quadMesh("#red", 0), quadMesh("red", 1)},
        true);
    ASSERT_EQ(load(bytes.data(), (uint32_t)bytes.size()), 4);
    EXPECT_EQ(meshes[1]->textureName, "?#Plasma8 8 1 2 3");  // 540 bytes after the first block
    EXPECT_TRUE(meshes[1]->isEffectTexture);
    EXPECT_EQ(meshes[1]->textureOwner, "?#Plasma8 8 1 2 3");
    EXPECT_FALSE(meshes[2]->isEffectTexture);  // '#' first is an ordinary picture name
    EXPECT_EQ(meshes[2]->textureOwner, "scene.pak");
    EXPECT_EQ(meshes[2]->texture, 0u);  // there is no picture called "#red"
    EXPECT_NE(meshes[3]->texture, 0u);
    EXPECT_EQ(meshes[3]->triangleCount, 1);
    ASSERT_EQ(pakLibrary.archives.size(), 1u);
    EXPECT_EQ(pakLibrary.archives.refs[0], 3);  // one per archive texture, missing ones included
}

// Every prefix of a valid model loads exactly the blocks that lie wholly inside it.
TEST_F(MeshTest, TruncatedModelsLoadOnlyWholeBlocks) {
    std::vector<MeshBuild> blocks = {quadMesh("absent", 1), quadMesh("", 0), quadMesh("absent", 2)};
    std::vector<uint8_t> bytes = modelBytes(blocks, true);
    size_t blockEnds[3];
    size_t end = 9;
    for (int i = 0; i < 3; i++) blockEnds[i] = end += blockBytes(blocks[i]).size();
    for (size_t length = 0; length <= bytes.size(); length++) {
        ExactBytes exact(bytes, length);
        int expected = 0;
        while (expected < 3 && blockEnds[expected] <= length) expected++;
        ASSERT_EQ(load(exact.bytes, exact.size), expected) << length;
        for (size_t i = 0; i < meshes.size(); i++) {
            meshes[i]->releaseMeshPart();
            delete meshes[i];
        }
        meshes.clear();
    }
}

TEST_F(MeshTest, EmptyMeshStillBindsAndSetsItsMaterial) {
    std::vector<uint8_t> bytes = modelBytes({quadMesh("red", 0)});
    ASSERT_EQ(load(bytes.data(), (uint32_t)bytes.size()), 1);
    meshes[0]->drawMeshPart();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ((uint32_t)bound, meshes[0]->texture);
    float diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[1], 0.5f);
    EXPECT_EQ(centrePixel(), std::vector<uint8_t>({0, 0, 255, 255}));
}

TEST_F(MeshTest, OpaqueMeshDrawsAtOnceFromTheEntryBytes) {
    MeshBuild tested = quadMesh("red", 2);
    tested.material.alphaTested = true;
    std::vector<uint8_t> bytes = modelBytes({tested});
    ASSERT_EQ(load(bytes.data(), (uint32_t)bytes.size()), 1);
    meshes[0]->drawMeshPart();
    EXPECT_TRUE(deferredMeshes.empty());
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(centrePixel(), std::vector<uint8_t>({255, 0, 0, 255}));
}

// The geometry is handed to the driver once, yet drawn under whatever matrix is current, and
// given back with the mesh.
TEST_F(MeshTest, GeometryIsSentOnceAndFollowsTheMatrix) {
    std::vector<uint8_t> bytes = modelBytes({quadMesh("red", 2)});
    ASSERT_EQ(load(bytes.data(), (uint32_t)bytes.size()), 1);
    meshes[0]->drawMeshPart();
    uint32_t list = meshes[0]->geometryList;
    ASSERT_TRUE(glIsList(list));
    EXPECT_EQ(centrePixel(), std::vector<uint8_t>({255, 0, 0, 255}));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glTranslated(5, 5, 0);
    meshes[0]->drawMeshPart();
    EXPECT_EQ(centrePixel(), std::vector<uint8_t>({0, 0, 255, 255}));
    glLoadIdentity();
    meshes[0]->drawMeshPart();
    EXPECT_EQ(centrePixel(), std::vector<uint8_t>({255, 0, 0, 255}));
    EXPECT_EQ(list, meshes[0]->geometryList);
    meshes[0]->releaseMeshPart();
    delete meshes[0];
    meshes.clear();
    EXPECT_FALSE(glIsList(list));
}

// The far green quad is queued after the near red one: without depth writes or sorting it ends on top.
TEST_F(MeshTest, TransparentMeshesWaitAndKeepTheirQueueOrder) {
    std::vector<uint8_t> bytes =
        modelBytes({quadMesh("red", 2, true, -0.5), quadMesh("green", 2, true, 0.5)});
    ASSERT_EQ(load(bytes.data(), (uint32_t)bytes.size()), 2);
    glDisable(GL_DEPTH_TEST);
    meshes[0]->drawMeshPart();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT2);
    meshes[1]->drawMeshPart();
    glDisable(GL_LIGHT2);
    glDisable(GL_LIGHTING);
    ASSERT_EQ(deferredMeshes, std::vector<MeshPart*>({meshes[0], meshes[1]}));
    EXPECT_EQ(centrePixel(), std::vector<uint8_t>({0, 0, 255, 255}));
    EXPECT_FALSE(meshes[0]->savedDepthTest);
    EXPECT_FALSE(meshes[0]->savedLighting);
    EXPECT_TRUE(meshes[1]->savedDepthTest);
    EXPECT_TRUE(meshes[1]->savedLighting);
    EXPECT_TRUE(meshes[1]->savedLights[1]);
    EXPECT_FALSE(meshes[1]->savedLights[0]);

    glMatrixMode(GL_MODELVIEW);
    glTranslated(5, 5, 0);  // the saved matrices are used, not this one
    drawDeferredMeshes();
    EXPECT_TRUE(deferredMeshes.empty());
    GLboolean depthMask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_EQ(depthMask, GL_TRUE);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    std::vector<uint8_t> pixel = centrePixel();
    EXPECT_LT(pixel[0], 20);  // not the red quad, nor the blue background: the dimly lit green one
    EXPECT_LT(pixel[2], 20);
    EXPECT_GT(pixel[1], 0);
}

// Each queued mesh gets its own saved state, whatever the mesh before it was drawn under: the
// unlit green quad drawn after a lit one shows its texture unchanged.
TEST_F(MeshTest, EachDeferredMeshGetsOnlyItsOwnState) {
    std::vector<uint8_t> bytes =
        modelBytes({quadMesh("red", 2, true, -0.5), quadMesh("green", 2, true, 0.5)});
    ASSERT_EQ(load(bytes.data(), (uint32_t)bytes.size()), 2);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT2);
    glEnable(GL_NORMALIZE);
    meshes[0]->drawMeshPart();
    glDisable(GL_NORMALIZE);
    glDisable(GL_LIGHT2);
    glDisable(GL_LIGHTING);
    meshes[1]->drawMeshPart();
    drawDeferredMeshes();
    EXPECT_EQ(centrePixel(), std::vector<uint8_t>({0, 255, 0, 255}));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
}

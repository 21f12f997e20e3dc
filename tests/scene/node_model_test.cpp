#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "effects/effect_textures.h"
#include "pak/library.h"
#include "pak/little_endian.h"
#include "pak/mesh.h"
#include "scene/node.h"
#include "tests/support/gl_fixture.h"

namespace {

const char* kPak = "models.pak";
const char* kEffect = "?#Plasma16 16 1 2 3";

// One mesh block: name with its NUL, reserved bytes, an opaque material, T triangles of zeros.
void appendBlock(std::vector<uint8_t>* out, const char* texture, uint32_t triangles) {
    size_t nameLength = strlen(texture) + 1;
    putLe32(out, (uint32_t)nameLength);
    out->insert(out->end(), texture, texture + nameLength);
    out->insert(out->end(), 80 + 60, 0);
    putLe32(out, triangles);
    out->push_back(0);
    out->insert(out->end(), 192 * (size_t)triangles, 0);
}

int32_t archiveRefs(const char* name) {
    int i = pakLibrary.archives.find(name);
    return i < 0 ? 0 : pakLibrary.archives.refs[i];
}

// An archive in a fresh folder: a two-mesh model, its truncations and damaged mesh counts.
class NodeModelTest : public GlTest {
   protected:
    std::string folder;
    std::vector<uint8_t> model;
    size_t firstBlockEnd = 0;

    void SetUp() override {
        GlTest::SetUp();
        char pattern[] = "/tmp/lumivane-node-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        model.push_back(0);
        putLe32(&model, 2);
        appendBlock(&model, kEffect, 1);
        firstBlockEnd = model.size();
        appendBlock(&model, "absent.png", 2);
        PakArchive archive;
        archive.addEntry("model", model.data(), (uint32_t)model.size());
        for (size_t cut = 0; cut < model.size(); cut++)
            archive.addEntry("cut" + std::to_string(cut), model.data(), (uint32_t)cut);
        std::vector<uint8_t> damaged = model;
        damaged[1] = damaged[2] = damaged[3] = 0xFF;
        damaged[4] = 0x7F;  // 2^31 - 1 meshes claimed
        archive.addEntry("huge", damaged.data(), (uint32_t)damaged.size());
        damaged[4] = 0xFF;  // -1
        archive.addEntry("negative", damaged.data(), (uint32_t)damaged.size());
        ASSERT_TRUE(archive.save((folder + "/" + kPak).c_str()));
        pakLibrary.setBasePath(folder + "/");
    }
    void TearDown() override {
        unlink((folder + "/" + kPak).c_str());
        rmdir(folder.c_str());
        pakLibrary.setBasePath("0");
        GlTest::TearDown();
    }
};

TEST_F(NodeModelTest, ModelsAccumulateAndEveryReferenceIsGivenBack) {
    SceneNode* node = newNode();
    node->loadModel(kPak, "model");
    node->loadModel(kPak, "model");
    EXPECT_TRUE(node->hasMeshes);
    EXPECT_EQ(node->meshCount, 4);
    ASSERT_EQ(node->meshes.size(), 4u);
    EXPECT_TRUE(node->meshes[0]->isEffectTexture);
    EXPECT_FALSE(node->meshes[1]->isEffectTexture);
    EXPECT_EQ(node->pakNames, std::vector<std::string>({kPak, kPak}));
    EXPECT_EQ(archiveRefs(kPak), 4);  // two models, two archive textures
    EXPECT_EQ(effectTextures.effects.refs, std::vector<int32_t>({2}));
    node->draw();
    drawDeferredMeshes();
    node->destroyNode();
    delete node;
    EXPECT_EQ(archiveRefs(kPak), 0);
    EXPECT_TRUE(effectTextures.effects.empty());
}

TEST_F(NodeModelTest, MissingEntryGivesAModelNodeWithoutMeshes) {
    SceneNode* node = newNode();
    node->loadModel(kPak, "nothing here");
    EXPECT_TRUE(node->hasMeshes);
    EXPECT_EQ(node->meshCount, 0);
    EXPECT_EQ(node->pakNames.size(), 1u);
    EXPECT_EQ(archiveRefs(kPak), 1);
    node->destroyNode();
    delete node;
    EXPECT_EQ(archiveRefs(kPak), 0);
}

TEST_F(NodeModelTest, DamagedEntriesLoadOnlyTheBlocksThatFit) {
    for (size_t cut = 0; cut < model.size(); cut++) {
        SceneNode* node = newNode();
        node->loadModel(kPak, ("cut" + std::to_string(cut)).c_str());
        int32_t expected = cut >= firstBlockEnd ? 1 : 0;
        EXPECT_EQ(node->meshCount, expected) << "entry cut to " << cut << " bytes";
        EXPECT_EQ(node->meshCount, (int32_t)node->meshes.size());
        node->destroyNode();
        delete node;
    }
    SceneNode* node = newNode();
    node->loadModel(kPak, "huge");
    EXPECT_EQ(node->meshCount, 2);
    node->loadModel(kPak, "negative");
    EXPECT_EQ(node->meshCount, 2);
    node->destroyNode();
    delete node;
    EXPECT_EQ(archiveRefs(kPak), 0);
    EXPECT_TRUE(effectTextures.effects.empty());
}

}  // namespace

#include "effects/effect_textures.h"

#include <GL/gl.h>

#include <cstring>
#include <vector>

#include "content/motions.h"
#include "effects/fire.h"
#include "scene/animator.h"
#include "tests/support/gl_fixture.h"

namespace {

int generatorRuns = 0;
int32_t lastTime = 0;
void countRuns(int32_t time, int32_t, int32_t, uint8_t* pixels, void*) {
    generatorRuns++;
    lastTime = time;
    memset(pixels, 0x5A, 4);
}
void noDeleter(void*) {}

class EffectTexturesTest : public GlTest {
   protected:
    void TearDown() override {
        EXPECT_TRUE(effectTextures.effects.empty()) << "a test left a texture behind";
        GlTest::TearDown();
    }
};

TEST_F(EffectTexturesTest, SameNameSharesOneTextureUntilTheLastRelease) {
    const char* name = "?#Plasma32 32 0 90 160";
    uint32_t first = effectTextures.getEffectTexture(name);
    uint32_t second = effectTextures.getEffectTexture(name);
    ASSERT_NE(first, 0u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(effectTextures.effects.size(), 1u);
    EXPECT_EQ(effectTextures.effects.refs[0], 2);
    effectTextures.releaseEffectTexture(name);
    EXPECT_TRUE(glIsTexture(first));
    effectTextures.releaseEffectTexture(name);
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_TRUE(effectTextures.effects.names.empty());
    effectTextures.releaseEffectTexture(name);  // nothing left to release
}

TEST_F(EffectTexturesTest, NamesDifferingInFirstCharacterOrSeparatorAreIndependent) {
    const char* names[] = {"a#Fire16 16", "b#Fire16 16", "a#Fire16x16"};
    uint32_t ids[3];
    for (int i = 0; i < 3; i++) ids[i] = effectTextures.getEffectTexture(names[i]);
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_NE(ids[1], ids[2]);
    EXPECT_NE(ids[0], ids[2]);
    effectTextures.releaseEffectTexture(names[1]);
    EXPECT_TRUE(glIsTexture(ids[0]));
    EXPECT_FALSE(glIsTexture(ids[1]));
    EXPECT_EQ(effectTextures.effects.names[1], names[2]);
    effectTextures.releaseEffectTexture(names[0]);
    effectTextures.releaseEffectTexture(names[2]);
}

TEST_F(EffectTexturesTest, NamesOutsideTheGrammarRegisterNothing) {
    const char* bad[] = {"?#Smoke64 64", "?#Fire", "?#Fire64", "?#Fire0 64", "?#Plasma9999 16 1 2 3"};
    for (const char* name : bad) {
        EXPECT_EQ(effectTextures.getEffectTexture(name), 0u) << name;
        effectTextures.releaseEffectTexture(name);
    }
    EXPECT_EQ(effectTextures.getEffectTexture(nullptr), 0u);
    EXPECT_TRUE(effectTextures.effects.names.empty());
}

TEST_F(EffectTexturesTest, UpdateUploadsIntoTheSameTexture) {
    const char* name = "?#Plasma16 16 10 20 30";
    uint32_t id = effectTextures.getEffectTexture(name);
    EffectTexture* texture = effectTextures.effects.items[0];
    std::vector<uint8_t> read(16 * 16 * 4, 0xEE);
    glBindTexture(GL_TEXTURE_2D, id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
    EXPECT_EQ(read, std::vector<uint8_t>(read.size(), 0));  // transparent until the first update
    frameTicks = 0;
    effectTextures.updateEffectTextures();
    EXPECT_EQ(effectTextures.effects.items[0]->textureId, id);
    glBindTexture(GL_TEXTURE_2D, id);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, read.data());
    EXPECT_EQ(0, memcmp(read.data(), texture->pixels, read.size()));
    EXPECT_EQ(read[0], 18);  // pixel (0, 0): on the grid, level 128
    effectTextures.releaseEffectTexture(name);
}

TEST_F(EffectTexturesTest, ARequestAfterTheLastReleaseStartsAColdFire) {
    const char* name = "?#Fire32 32";
    effectTextures.getEffectTexture(name);
    for (int i = 0; i < 20; i++) effectTextures.updateEffectTextures();
    FireState* fire = (FireState*)effectTextures.effects.items[0]->userData;
    size_t cells = 32 * 35;
    EXPECT_NE(std::vector<uint8_t>(fire->heat, fire->heat + cells), std::vector<uint8_t>(cells, 0));
    effectTextures.releaseEffectTexture(name);
    effectTextures.getEffectTexture(name);
    fire = (FireState*)effectTextures.effects.items[0]->userData;
    EXPECT_EQ(std::vector<uint8_t>(fire->heat, fire->heat + cells), std::vector<uint8_t>(cells, 0));
    EXPECT_EQ(std::vector<uint8_t>(fire->nextHeat, fire->nextHeat + cells), std::vector<uint8_t>(cells, 0));
    effectTextures.releaseEffectTexture(name);
}

// A texture whose generator only counts its runs.
EffectTexture* countingTexture() {
    EffectTexture* texture = new EffectTexture();
    texture->generator = countRuns;
    texture->userDataDeleter = noDeleter;
    texture->width = texture->height = 1;
    texture->pixelBytes = 4;
    texture->pixels = new uint8_t[4]();
    texture->stepped = true;
    glGenTextures(1, &texture->textureId);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texture->pixels);
    return texture;
}

double runCallback(double elapsed) {
    AnimTrack track;
    track.initTrack(1, true, 0.0);
    track.setTrackAction(effectTrackCallback, 0);
    track.elapsed = elapsed;
    currentTrack = &track;
    effectTrackCallback(0);
    return track.elapsed;
}

// A frame several steps long runs them all (the fire keeps its speed at a low frame rate); what is
// left over is dropped, never banked and paid back later in a burst.
TEST_F(EffectTexturesTest, TrackCallbackRunsTheStepsItsFrameLasted) {
    EXPECT_EQ(runCallback(10.0), -20.0);  // no textures: time is spent all the same
    effectTextures.effects.add("counting", countingTexture());
    generatorRuns = 0;
    frameTicks = 0xFFFFFFF0u;
    const struct {
        double elapsed, left;
        int runs;
    } frames[] = {{45.0, 0.0, 1}, {15.0, -15.0, 1}, {-15.0, -15.0, 0},
                  {0.0, 0.0, 0},  {125.0, 0.0, 4},  {5000.0, 0.0, 8}};
    for (const auto& frame : frames) {
        int before = generatorRuns;
        EXPECT_EQ(runCallback(frame.elapsed), frame.left) << frame.elapsed;
        EXPECT_EQ(generatorRuns - before, frame.runs) << frame.elapsed;
    }
    EXPECT_EQ(lastTime, -16);  // the frame clock read as signed milliseconds
    effectTextures.releaseEffectTexture("counting");
}

}  // namespace

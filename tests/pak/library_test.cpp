#include "pak/library.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/pak/model_bytes.h"
#include "tests/pak/picture_bytes.h"
#include "tests/pak/temp_dir.h"
#include "tests/support/gl_fixture.h"

namespace {
// Runs the test inside a scratch folder that holds "main.pak" with a picture, a model-ish blob
// and a file that does not decode.
class PakLibraryTest : public GlTest {
   protected:
    TempDir dir;
    std::string oldCwd;
    PakLibrary library;

    void SetUp() override {
        GlTest::SetUp();
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        oldCwd = cwd;
        ASSERT_EQ(chdir(dir.path.c_str()), 0);
        writeArchive("main.pak", "model");
    }
    void TearDown() override {
        EXPECT_EQ(chdir(oldCwd.c_str()), 0);
        GlTest::TearDown();
    }
    void writeArchive(const std::string& path, const char* modelText) {
        ASSERT_TRUE(writeBytes(path, pakBytes({{"wood", solidBmp(4, 4, 90, 60, 30)},
                                               {"model", textBytes(modelText)},
                                               {"broken", textBytes("not a picture")}})));
    }
    // The texture cached for a picture of an open archive and its users; 0 and 0 while none.
    uint32_t textureOf(const char* pak, const char* entry) {
        const LibraryArchive* open = openOne(pak);
        int i = open ? open->textures.find(entry) : -1;
        return i < 0 ? 0 : open->textures.items[i];
    }
    int32_t usersOf(const char* pak, const char* entry) {
        const LibraryArchive* open = openOne(pak);
        int i = open ? open->textures.find(entry) : -1;
        return i < 0 ? 0 : open->textures.refs[i];
    }
    const LibraryArchive* openOne(const char* pak) {
        int i = library.archives.find(pak);
        if (i < 0) ADD_FAILURE() << pak << " is not open";
        return i < 0 ? nullptr : &library.archives.items[i];
    }
};
}  // namespace

TEST_F(PakLibraryTest, TextureLivesUntilItsLastRelease) {
    uint32_t first = library.getTexture("main.pak", "wood");
    uint32_t second = library.getTexture("main.pak", "wood");
    ASSERT_NE(first, 0u);
    EXPECT_EQ(first, second);
    ASSERT_EQ(library.archives.size(), 1u);
    EXPECT_EQ(library.archives.refs[0], 2);
    EXPECT_EQ(usersOf("main.pak", "wood"), 2);

    library.releaseTexture("main.pak", first);
    EXPECT_TRUE(glIsTexture(first));
    EXPECT_EQ(textureOf("main.pak", "wood"), first);
    library.getEntry("main.pak", "model");  // keeps the archive open to look at the slot
    library.releaseTexture("main.pak", first);
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_EQ(textureOf("main.pak", "wood"), 0u);
    EXPECT_EQ(usersOf("main.pak", "wood"), 0);
    uint32_t again = library.getTexture("main.pak", "wood");  // decoded and uploaded anew
    EXPECT_TRUE(glIsTexture(again));
    library.releaseTexture("main.pak", again);
    EXPECT_FALSE(glIsTexture(again));
    library.releaseArchive("main.pak");
    EXPECT_TRUE(library.archives.empty());
}

// A picture that does not decode is tried once while its archive stays open, and like a missing
// entry it holds no user: the archive references its requests took are all that come back.
TEST_F(PakLibraryTest, BrokenPicturesAreDecodedOnceAndLeakNothing) {
    EXPECT_EQ(library.getTexture("main.pak", "absent"), 0u);
    SDL_ClearError();
    EXPECT_EQ(library.getTexture("main.pak", "broken"), 0u);
    EXPECT_STRNE(SDL_GetError(), "") << "the first request decodes";
    SDL_ClearError();
    EXPECT_EQ(library.getTexture("main.pak", "broken"), 0u);
    EXPECT_STREQ(SDL_GetError(), "") << "later requests do not decode again";
    uint32_t wood = library.getTexture("main.pak", "wood");
    ASSERT_EQ(library.archives.size(), 1u);
    EXPECT_EQ(library.archives.refs[0], 4);
    EXPECT_EQ(usersOf("main.pak", "broken"), 0);
    EXPECT_EQ(usersOf("main.pak", "wood"), 1);

    library.releaseTexture("main.pak", 0);
    library.releaseTexture("main.pak", 0);
    library.releaseTexture("other.pak", 0);  // not open: ignored
    library.releaseArchive("other.pak");
    EXPECT_EQ(usersOf("main.pak", "wood"), 1);  // releases of 0 take no picture's user
    library.releaseTexture("main.pak", 0);
    EXPECT_TRUE(glIsTexture(wood));
    library.releaseTexture("main.pak", wood);
    EXPECT_FALSE(glIsTexture(wood));
    EXPECT_TRUE(library.archives.empty());
}

TEST_F(PakLibraryTest, ArchiveIsSharedAndReadAgainAfterItsLastRelease) {
    PakEntry first = library.getEntry("main.pak", "model");
    PakEntry second = library.getEntry("main.pak", "model");
    EXPECT_EQ(first.bytes, second.bytes);
    ASSERT_EQ(library.archives.size(), 1u);
    EXPECT_EQ(library.archives.refs[0], 2);
    writeArchive("main.pak", "changed on disk");  // invisible while the archive stays open
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 5u);
    library.releaseArchive("main.pak");
    library.releaseArchive("main.pak");
    library.releaseArchive("main.pak");
    EXPECT_TRUE(library.archives.empty());
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 15u);
    EXPECT_EQ(library.getEntry("main.pak", "absent").bytes, nullptr);
    EXPECT_EQ(library.archives.refs[0], 2);
}

// The cache is kept per archive: the same entry name in two archives is two textures, each made
// with its own archive's mipmapping choice (here without the finest level) and deleted with its
// own last user.
TEST_F(PakLibraryTest, EachArchiveHasItsOwnPictureTextures) {
    writeArchive("overlay.pak", "model");
    library.mipmapPictures("overlay.pak", 1);
    uint32_t plain = library.getTexture("main.pak", "wood");
    uint32_t overlay = library.getTexture("overlay.pak", "wood");
    ASSERT_NE(plain, 0u);
    ASSERT_NE(overlay, 0u);
    EXPECT_NE(plain, overlay);
    GLint filter = 0;
    glBindTexture(GL_TEXTURE_2D, plain);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, overlay);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 2);  // the 4x4 picture's second level
    library.releaseTexture("main.pak", plain);
    EXPECT_FALSE(glIsTexture(plain));
    EXPECT_TRUE(glIsTexture(overlay));
    library.releaseTexture("overlay.pak", overlay);
    EXPECT_FALSE(glIsTexture(overlay));
    EXPECT_TRUE(library.archives.empty());
}

TEST_F(PakLibraryTest, NamesAreExactAndTheBasePathIsGluedOn) {
    writeArchive("Main.pak", "other case");
    ASSERT_EQ(mkdir("install", 0700), 0);
    writeArchive("install/main.pak", "installed");
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 5u);
    EXPECT_EQ(library.getEntry("Main.pak", "model").size, 10u);
    EXPECT_EQ(library.archives.size(), 2u);
    library.releaseArchive("main.pak");
    library.setBasePath(dir.path + "install/");
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 9u);
    EXPECT_EQ(library.archives.names, std::vector<std::string>({"Main.pak", "main.pak"}));
}

// Only the whole base "0" means the working directory: a relative folder such as "0inst/" is a
// folder like any other.
TEST_F(PakLibraryTest, OnlyTheWholeZeroMeansTheWorkingDirectory) {
    ASSERT_EQ(mkdir("0inst", 0700), 0);
    writeArchive("0inst/main.pak", "in 0inst");
    library.setBasePath("0inst/");
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 8u);
    library.releaseArchive("main.pak");
    library.setBasePath("0");
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 5u);
}

TEST(PakLibraryDeathTest, MissingOrDamagedArchiveEndsTheProcess) {
    TempDir dir;
    std::vector<uint8_t> damaged = pakBytes({{"a", textBytes("abc")}});
    damaged.pop_back();
    ASSERT_TRUE(writeBytes(dir.file("damaged.pak"), damaged));
    PakLibrary library;
    library.setBasePath(dir.path);
    EXPECT_EXIT(library.openArchive("absent.pak"), testing::ExitedWithCode(1), "^$");
    EXPECT_EXIT(library.openArchive("damaged.pak"), testing::ExitedWithCode(1), "^$");
}

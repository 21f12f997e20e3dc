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
        return i < 0 ? 0 : open->textures.items[i].id;
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
    writeArchive("main.pak", "changed on disk");  // invisible while the archive holds the bytes
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 5u);
    // Let go, they are read again from the file as it is now; a decoded picture's go at once.
    library.releaseEntryBytes("main.pak", "model");
    EXPECT_EQ(library.archives.items[0].archive->findEntry("model").bytes, nullptr);
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 15u);
    uint32_t wood = library.getTexture("main.pak", "wood");
    EXPECT_EQ(library.archives.items[0].archive->findEntry("wood").bytes, nullptr);
    EXPECT_GT(library.getEntry("main.pak", "wood").size, 0u);
    library.releaseTexture("main.pak", wood);
    library.releaseArchive("main.pak");
    library.releaseArchive("main.pak");
    library.releaseArchive("main.pak");
    library.releaseArchive("main.pak");
    library.releaseArchive("main.pak");
    EXPECT_TRUE(library.archives.empty());
    EXPECT_EQ(library.getEntry("main.pak", "model").size, 15u);
    EXPECT_EQ(library.getEntry("main.pak", "absent").bytes, nullptr);
    EXPECT_EQ(library.archives.refs[0], 2);
}

// The cache is kept per archive: the same entry name in two archives is two textures, each made
// the way its archive asks and deleted with its own last user. A fitted archive's picture is
// uploaded when its drawn size is known, only ever shrunk, kept for the rest of that screen, and
// decoded again from the file for the next one.
TEST_F(PakLibraryTest, EachArchiveHasItsOwnPictureTextures) {
    writeArchive("overlay.pak", "model");
    library.fitPictures("overlay.pak");
    uint32_t plain = library.getTexture("main.pak", "wood");
    uint32_t overlay = library.getTexture("overlay.pak", "wood");
    ASSERT_NE(plain, 0u);
    ASSERT_NE(overlay, 0u);
    EXPECT_NE(plain, overlay);
    auto size = [](uint32_t texture) {
        GLint w = 0, h = 0, filter = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        return std::to_string(w) + "x" + std::to_string(h) + (filter == GL_LINEAR ? " linear" : " other");
    };
    EXPECT_EQ(size(plain), "4x4 linear");
    EXPECT_EQ(size(overlay), "0x0 linear");
    library.fitTexture("main.pak", plain, 2, 2);  // not a fitted archive: left alone
    library.fitTexture("overlay.pak", overlay, 2, 1);
    EXPECT_EQ(size(plain), "4x4 linear");
    EXPECT_EQ(size(overlay), "2x1 linear");
    library.fitTexture("overlay.pak", overlay, 3, 3);  // another mesh of the same screen
    EXPECT_EQ(size(overlay), "2x1 linear");
    library.newScreen(0, 0);
    library.fitTexture("overlay.pak", overlay, 9, 3);
    EXPECT_EQ(size(overlay), "4x3 linear");
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

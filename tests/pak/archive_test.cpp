#include "pak/archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/pak/model_bytes.h"
#include "tests/pak/temp_dir.h"

namespace {
std::vector<TestEntry> sampleEntries() {
    std::vector<uint8_t> binary;
    for (int i = 0; i < 300; i++) binary.push_back((uint8_t)(i * 7));
    return {{"main", textBytes("first")},
            {"", textBytes("nameless")},
            {"empty", {}},
            {"main", textBytes("second")},
            {"models/fps", binary},
            {std::string(127, 'n'), textBytes("long")}};
}

// Loads from an exactly sized heap copy so that any read past the end is caught by ASan.
bool loadExact(PakArchive& archive, const std::vector<uint8_t>& bytes, size_t length, std::string* error) {
    ExactBytes exact(bytes, length);
    return archive.loadBytes(exact.bytes, exact.size, error);
}

void expectEmpty(const PakArchive& archive) {
    EXPECT_TRUE(archive.entries.empty());
    EXPECT_TRUE(archive.names.empty());
}
}  // namespace

TEST(PakArchive, LoadThenSaveReproducesTheFile) {
    TempDir dir;
    std::vector<uint8_t> original = pakBytes(sampleEntries());
    ASSERT_TRUE(writeBytes(dir.file("in.pak"), original));
    PakArchive archive;
    std::string error;
    ASSERT_TRUE(archive.load(dir.file("in.pak").c_str(), &error)) << error;
    ASSERT_EQ(archive.entries.size(), 6u);
    ASSERT_TRUE(archive.save(dir.file("out.pak").c_str()));
    EXPECT_EQ(readBytes(dir.file("out.pak")), original);
}

TEST(PakArchive, LookupsAreExactAndFirstMatchWins) {
    PakArchive archive;
    std::vector<uint8_t> bytes = pakBytes(sampleEntries());
    ASSERT_TRUE(archive.loadBytes(bytes.data(), bytes.size(), nullptr));
    PakEntry first = archive.findEntry("main");
    ASSERT_EQ(first.size, 5u);
    EXPECT_EQ(memcmp(first.bytes, "first", 5), 0);
    EXPECT_EQ(archive.findEntry("Main").bytes, nullptr);
    EXPECT_EQ(archive.findEntry("mai").size, 0u);
    EXPECT_EQ(archive.findEntry("").size, 8u);
    PakEntry empty = archive.findEntry("empty");
    EXPECT_NE(empty.bytes, nullptr);
    EXPECT_EQ(empty.size, 0u);
    EXPECT_EQ(archive.findEntry("models/fps").size, 300u);
}

TEST(PakArchive, ZeroOrNegativeCountIsEmpty) {
    const std::vector<std::vector<uint8_t>> files = {{0, 0, 0, 0}, {0xFB, 0xFF, 0xFF, 0xFF, 'x', 'y'}};
    for (size_t i = 0; i < files.size(); i++) {
        PakArchive archive;
        EXPECT_TRUE(archive.loadBytes(files[i].data(), files[i].size(), nullptr));
        expectEmpty(archive);
    }
}

TEST(PakArchive, EveryTruncationIsRefusedWithOneLine) {
    std::vector<uint8_t> bytes = pakBytes(sampleEntries());
    for (size_t length = 0; length < bytes.size(); length++) {
        PakArchive archive;
        std::string error;
        ASSERT_FALSE(loadExact(archive, bytes, length, &error)) << length;
        expectEmpty(archive);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(PakArchive, DamagedRecordsAreRefused) {
    std::vector<uint8_t> longName = pakBytes({{"a", textBytes("xyz")}});
    longName[4] = 128;
    std::vector<uint8_t> hugeSize = pakBytes({{"a", textBytes("xyz")}});
    hugeSize[6] = hugeSize[7] = hugeSize[8] = hugeSize[9] = 0xFF;  // 4 GB in a 13-byte file
    std::vector<uint8_t> tooManyEntries = pakBytes({{"a", textBytes("xyz")}});
    tooManyEntries[0] = 2;
    struct Case {
        std::vector<uint8_t> bytes;
        const char* says;
    } cases[] = {
        {longName, "over 127"}, {hugeSize, "larger than"}, {tooManyEntries, "before its name length"}};
    for (const Case& c : cases) {
        PakArchive archive;
        ASSERT_TRUE(archive.addEntry("kept?", "x", 1));
        std::string error;
        EXPECT_FALSE(loadExact(archive, c.bytes, c.bytes.size(), &error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        expectEmpty(archive);
    }
}

TEST(PakArchive, MissingFileIsReported) {
    TempDir dir;
    PakArchive archive;
    std::string error;
    EXPECT_FALSE(archive.load(dir.file("absent.pak").c_str(), &error));
    EXPECT_EQ(error, "No such file or directory");
    EXPECT_FALSE(archive.load(dir.path.c_str(), &error));  // a folder is not an archive
}

TEST(PakArchive, WriterRefusesWhatTheFormatCannotHold) {
    TempDir dir;
    PakArchive archive;
    EXPECT_TRUE(archive.addEntry(std::string(127, 'a'), "x", 1));
    EXPECT_FALSE(archive.addEntry(std::string(128, 'a'), "x", 1));
    EXPECT_FALSE(archive.addFile(dir.file("absent").c_str()));
    EXPECT_FALSE(archive.addFile(dir.path.c_str()));
    std::string longPath = dir.file(std::string(120, 'f'));
    ASSERT_TRUE(writeBytes(longPath, textBytes("data")));
    EXPECT_FALSE(archive.addFile(longPath.c_str()));
    EXPECT_EQ(archive.entries.size(), 1u);
    EXPECT_EQ(archive.names.size(), 1u);
}

TEST(PakArchive, AddFileNamesTheEntryByThePathAsGiven) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir.file("clock.bmp"), textBytes("picture")));
    PakArchive archive;
    ASSERT_TRUE(archive.addFile(dir.file("clock.bmp").c_str()));
    ASSERT_TRUE(archive.addEntry("fps", "\0\1\2", 3));
    PakEntry entry = archive.findEntry(dir.file("clock.bmp").c_str());
    ASSERT_EQ(entry.size, 7u);
    EXPECT_EQ(memcmp(entry.bytes, "picture", 7), 0);

    ASSERT_EQ(mkdir(dir.file("out").c_str(), 0700), 0);
    std::string failed;
    EXPECT_FALSE(archive.extractAll(dir.file("out/").c_str(), &failed));  // the first name holds folders
    EXPECT_EQ(failed, dir.file("out/") + dir.file("clock.bmp"));
    EXPECT_EQ(readBytes(dir.file("out/fps")), std::vector<uint8_t>({0, 1, 2}));
}

#include "app/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

static void expectDefaults(const SaverSettings& s) {
    EXPECT_FALSE(s.showFrameRate);
    EXPECT_TRUE(s.showClock);
    EXPECT_FALSE(s.analogClock);
    EXPECT_FALSE(s.clock24Hours);
    EXPECT_TRUE(s.largeClock);
    EXPECT_TRUE(s.showCalendar);
    EXPECT_FALSE(s.russianCalendar);
    EXPECT_FALSE(s.mouseMoveEnds);
    EXPECT_EQ(0u, s.reservedValue);
    EXPECT_EQ(0u, s.resolutionIndex);
    EXPECT_EQ(0, s.resolutionWidth());
    EXPECT_EQ(0, s.resolutionHeight());
    EXPECT_EQ(0, s.resolutionBits());
}

// version 1, mouse, reserved 0x01020304, index 3, then the seven flags
static std::vector<uint8_t> versionOneFile() {
    return {1, 0, 0, 0, 1, 4, 3, 2, 1, 3, 0, 0, 0, 1, 0, 1, 1, 0, 0, 7};
}

static SaverSettings readFrom(const std::vector<uint8_t>& bytes) {
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    return readSettings(in);
}

TEST(ReadSettings, VersionOneFieldsInFileOrder) {
    SaverSettings s = readFrom(versionOneFile());
    EXPECT_TRUE(s.mouseMoveEnds);
    EXPECT_EQ(0x01020304u, s.reservedValue);
    EXPECT_EQ(3u, s.resolutionIndex);
    EXPECT_EQ(1024, s.resolutionWidth());
    EXPECT_EQ(768, s.resolutionHeight());
    EXPECT_EQ(32, s.resolutionBits());
    EXPECT_TRUE(s.showFrameRate);
    EXPECT_FALSE(s.showClock);
    EXPECT_TRUE(s.analogClock);
    EXPECT_TRUE(s.clock24Hours);
    EXPECT_FALSE(s.largeClock);
    EXPECT_FALSE(s.showCalendar);
    EXPECT_TRUE(s.russianCalendar);  // any non-zero byte is true
}

TEST(ReadSettings, OtherVersionsGiveTheDefaults) {
    std::vector<uint8_t> file = versionOneFile();
    for (uint8_t version : {0, 2, 255}) {
        file[0] = version;
        expectDefaults(readFrom(file));
    }
    file[0] = 1;
    file[3] = 1;  // 0x01000001
    expectDefaults(readFrom(file));
}

TEST(ReadSettings, EveryTruncationGivesTheDefaults) {
    std::vector<uint8_t> file = versionOneFile();
    for (size_t length = 0; length < file.size(); length++) {
        std::vector<uint8_t> part(file.begin(), file.begin() + (ptrdiff_t)length);
        SCOPED_TRACE(length);
        expectDefaults(readFrom(part));
        expectDefaults(readSettingsBytes(part.data(), part.size()));
    }
}

TEST(ReadSettings, IndexPastTheTableIsTheDesktopMode) {
    std::vector<uint8_t> file = versionOneFile();
    for (uint8_t index : {10, 11, 255}) {
        file[9] = index;
        SaverSettings s = readFrom(file);
        EXPECT_EQ(0u, s.resolutionIndex);
        EXPECT_EQ(0, s.resolutionWidth());
        EXPECT_TRUE(s.mouseMoveEnds);  // the rest of the file still counts
    }
    SaverSettings direct = defaultSettings();
    direct.resolutionIndex = 0xFFFFFFFFu;
    EXPECT_EQ(0, direct.resolutionWidth());
    direct.resolutionIndex = 9;
    EXPECT_EQ(1600, direct.resolutionWidth());
    EXPECT_EQ(1200, direct.resolutionHeight());
}

TEST(WriteSettings, RoundTripsThroughTheFileAtomically) {
    char folder[] = "/tmp/lumivane-settings-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    std::string path = std::string(folder) + "/" + settingsFileName;
    SaverSettings s = readFrom(versionOneFile());
    s.russianCalendar = true;
    ASSERT_TRUE(writeSettingsFile(path, s));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<uint8_t> expected = versionOneFile();
    expected[19] = 1;
    EXPECT_EQ(std::string(expected.begin(), expected.end()), bytes);

    // Replacing leaves no temporary files behind.
    ASSERT_TRUE(writeSettingsFile(path, defaultSettings()));
    EXPECT_EQ(0, remove(path.c_str()));
    EXPECT_EQ(0, rmdir(folder));
    EXPECT_FALSE(writeSettingsFile(path, s));  // the folder is gone
}

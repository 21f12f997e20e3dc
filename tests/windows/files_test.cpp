#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <fstream>

#include "app/settings.h"
#include "pak/archive.h"
#include "platform/data_folder.h"
#include "platform/file_replace.h"
#include "tests/windows/scratch_folder.h"

TEST(CommonDataFile, LiesInTheAllUsersApplicationDataFolder) {
    char folder[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder));
    EXPECT_EQ(std::string(folder) + "\\nobrell_Lumivane_cfg", commonDataFile("nobrell_Lumivane_cfg"));
    EXPECT_EQ(commonDataFile(settingsFileName), settingsFilePath());
    DWORD attributes = GetFileAttributesA(folder);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ReplaceFile, ReplacesWholeAndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    std::string path = folder.file("nobrell_Lumivane_cfg");
    ASSERT_TRUE(replaceFile(path, "first version", 13));
    ASSERT_TRUE(replaceFile(path, "second", 6));
    EXPECT_EQ("second", readFileText(path));
    EXPECT_EQ(1u, folder.files().size());

    // An open reader does not see half a file and does not stop the writer for good.
    SaverSettings s = defaultSettings();
    s.clock24Hours = true;
    ASSERT_TRUE(writeSettingsFile(path, s));
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(readSettings(in).clock24Hours);
}

TEST(ReplaceFile, NextWriteRemovesWhatAnInterruptedWriteLeft) {
    ScratchFolder folder;
    std::string path = folder.file("nobrell_Lumivane_cfg");
    for (const char* name : {"nobrell_Lumivane_cfg.4242.tmp", "nobrell_Lumivane_cfg.x.tmp", "other.4242.tmp"})
        std::ofstream(folder.file(name)) << "left";
    // A temporary another writer still holds stays.
    std::string held = folder.file("nobrell_Lumivane_cfg.77.tmp");
    HANDLE writer = CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    ASSERT_TRUE(replaceFile(path, "new", 3));
    CloseHandle(writer);
    EXPECT_EQ("new", readFileText(path));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesA(folder.file("nobrell_Lumivane_cfg.4242.tmp").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(held.c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.file("nobrell_Lumivane_cfg.x.tmp").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(folder.file("other.4242.tmp").c_str()));
}

TEST(ReplaceFile, MissingFolderFailsWithoutLeftovers) {
    ScratchFolder folder;
    EXPECT_FALSE(replaceFile(folder.file("absent\\file"), "x", 1));
    EXPECT_TRUE(folder.files().empty());
}

TEST(ReplaceFile, FileHeldOpenByAReaderIsStillUpdated) {
    ScratchFolder folder;
    std::string path = folder.file("nobrell_Lumivane_cfg");
    ASSERT_TRUE(replaceFile(path, "old", 3));
    {
        // The running saver keeps its settings file open; renaming over it is refused then.
        std::ifstream reader(path, std::ios::binary);
        ASSERT_TRUE(reader.is_open());
        EXPECT_TRUE(replaceFile(path, "new!", 4));
    }
    EXPECT_EQ("new!", readFileText(path));
    EXPECT_EQ(1u, folder.files().size());
}

// A folder named outside every legacy code page: the programs' manifest makes the "A" calls
// UTF-8, so the settings and an archive under it are written and read back, and Windows' own
// wide-character view finds them under the same name.
TEST(NonAsciiFolder, SettingsAndArchivesAreWrittenAndRead) {
    ScratchFolder folder(
        "lumivane-\xd0\x9d\xd0\xb0\xd1\x81\xd1\x82\xd1\x80\xd0\xbe\xd0\xb9\xd0\xba\xd0\xb8");  // Настройки
    EXPECT_EQ((UINT)CP_UTF8, GetACP()) << "the manifest's code page is not in force";
    const std::string path = folder.file("nobrell_Lumivane_cfg");
    SaverSettings s = defaultSettings();
    s.clock24Hours = true;
    s.resolutionIndex = 3;
    ASSERT_TRUE(writeSettingsFile(path, s));
    std::string problem;
    SaverSettings read = loadSettingsFile(path, &problem);
    EXPECT_EQ("", problem);
    EXPECT_TRUE(read.clock24Hours);
    EXPECT_EQ(3u, read.resolutionIndex);

    PakArchive archive;
    ASSERT_TRUE(archive.addEntry("entry", "bytes", 5));
    const std::string pak = folder.file("main.pak");
    ASSERT_TRUE(archive.save(pak.c_str()));
    PakArchive loaded;
    ASSERT_TRUE(loaded.load(pak.c_str(), &problem)) << problem;
    EXPECT_EQ(5u, loaded.findEntry("entry").size);

    wchar_t wide[MAX_PATH];
    ASSERT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.c_str(), -1, wide, MAX_PATH), 0);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wide));
    EXPECT_NE(nullptr, wcsstr(wide, L"\x041d\x0430\x0441\x0442\x0440\x043e\x0439\x043a\x0438"));
}

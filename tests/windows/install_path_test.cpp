#include "platform/install_path.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/windows/scratch_folder.h"

static const char* const settingsKey = "Software\\Nobrell\\Lumivane\\Settings";

// Sets (or with null removes) the "Path" value for one test and puts the old one back after it.
class RegistryPath : public ::testing::Test {
   protected:
    bool hadValue = false;
    std::vector<char> oldValue;

    void SetUp() override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, settingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
        DWORD size = 0;
        if (RegQueryValueExA(key, "Path", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            oldValue.resize(size);
            hadValue = RegQueryValueExA(key, "Path", nullptr, nullptr, (BYTE*)oldValue.data(), &size) ==
                       ERROR_SUCCESS;
        }
        RegCloseKey(key);
    }
    void TearDown() override {
        if (hadValue)
            setValue(oldValue.data());
        else
            setValue(nullptr);
    }
    static void setValue(const char* value) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, settingsKey, 0, nullptr, 0,
                                                 KEY_SET_VALUE, nullptr, &key, nullptr));
        if (value)
            RegSetValueExA(key, "Path", 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
        else
            RegDeleteValueA(key, "Path");
        RegCloseKey(key);
    }
};

TEST_F(RegistryPath, FolderComesFromTheRegistryWithItsBackslash) {
    InstallPath path;
    setValue("C:\\Program Files\\Lumivane");
    path.loadInstallPath();
    EXPECT_TRUE(path.found);
    EXPECT_EQ("C:\\Program Files\\Lumivane\\", path.installDirectory());
    EXPECT_EQ("C:\\Program Files\\Lumivane\\main.pak", path.pathInInstall("main.pak"));
    EXPECT_EQ("C:\\Program Files\\Lumivane\\main.pak", path.scratch);

    setValue("D:\\Saver\\");
    path.loadInstallPath();
    EXPECT_EQ("D:\\Saver\\", path.installDirectory());
}

TEST_F(RegistryPath, MissingOrEmptyValueFindsNothing) {
    InstallPath path;
    setValue(nullptr);
    path.loadInstallPath();
    EXPECT_FALSE(path.found);
    EXPECT_EQ("", path.installDirectory());
    // Archives and programs are then looked up by their bare names.
    EXPECT_EQ("main.pak", path.pathInInstall("main.pak"));

    setValue("");
    path.loadInstallPath();
    EXPECT_FALSE(path.found);
}

// The probe program beside this test writes its working folder and command line to "report".
class LaunchProgram : public ::testing::Test {
   protected:
    ScratchFolder folder{"lumivane launch sc"};
    InstallPath path;

    void SetUp() override {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string probe = self;
        probe = probe.substr(0, probe.find_last_of('\\') + 1) + "launch_probe.exe";
        ASSERT_TRUE(CopyFileA(probe.c_str(), folder.file("probe.exe").c_str(), FALSE));
        path.data = folder.path;
        path.found = true;
    }
};

TEST_F(LaunchProgram, StartsTheProgramInItsFolderWithAnEmptyCommandLineAndWaits) {
    ASSERT_TRUE(path.launchProgram("probe.exe", true));
    // Waited for: the report is already complete.
    std::string report = readFileText(folder.file("report"));
    size_t first = report.find('\n');
    size_t second = report.find('\n', first + 1);
    ASSERT_NE(std::string::npos, second) << report;
    EXPECT_EQ(folder.path.substr(0, folder.path.size() - 1), report.substr(0, first));
    // The folder's spaces do not turn into arguments: the program's name alone.
    EXPECT_EQ("1", report.substr(first + 1, second - first - 1)) << report;
}

TEST_F(LaunchProgram, MissingProgramIsReported) {
    EXPECT_FALSE(path.launchProgram("absent.exe", true));
    EXPECT_FALSE(path.launchProgram("absent.exe", false));
}

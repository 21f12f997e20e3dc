#include "platform/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "app/settings.h"

TEST(CommonDataFile, OverrideFolderIsCreatedAndJoined) {
    char base[] = "/tmp/lumivane-data-XXXXXX";
    ASSERT_TRUE(mkdtemp(base));
    std::string folder = std::string(base) + "/a/b";
    setenv("LUMIVANE_DATA", folder.c_str(), 1);
    EXPECT_EQ(folder + "/nobrell_Lumivane_cfg", commonDataFile("nobrell_Lumivane_cfg"));
    struct stat info;
    EXPECT_EQ(0, stat(folder.c_str(), &info));
    EXPECT_TRUE(S_ISDIR(info.st_mode));

    setenv("LUMIVANE_DATA", (folder + "/").c_str(), 1);
    EXPECT_EQ(folder + "/x", commonDataFile("x"));

    // A file where the folder should be: no folder, no path.
    std::string blocked = std::string(base) + "/file";
    fclose(fopen(blocked.c_str(), "w"));
    setenv("LUMIVANE_DATA", blocked.c_str(), 1);
    EXPECT_EQ("", commonDataFile("x"));
    unsetenv("LUMIVANE_DATA");

    remove(blocked.c_str());
    rmdir(folder.c_str());
    rmdir((std::string(base) + "/a").c_str());
    rmdir(base);
}

// Runs on a shared machine: the user's own file wins, an administrator's system-wide one applies
// to users without one, and reading creates nothing.
TEST(SettingsReadPath, OwnFileFirstThenTheSystemWideOne) {
    char base[] = "/tmp/lumivane-shared-XXXXXX";
    ASSERT_TRUE(mkdtemp(base));
    std::string own = std::string(base) + "/home-data";
    std::string systemFolder = std::string(base) + "/system";
    std::string ownFile = own + "/lumivane/nobrell_Lumivane_cfg";
    std::string systemFile = systemFolder + "/nobrell_Lumivane_cfg";
    unsetenv("LUMIVANE_DATA");
    setenv("XDG_DATA_HOME", own.c_str(), 1);
    setenv("LUMIVANE_SYSTEM_DATA", systemFolder.c_str(), 1);

    EXPECT_EQ("", settingsReadPath());
    EXPECT_NE(0, access(own.c_str(), F_OK));  // nothing was created by looking
    EXPECT_NE(0, access(systemFolder.c_str(), F_OK));

    // Whoever may write the system-wide folder (here: whoever made it) writes there.
    SaverSettings shared = defaultSettings();
    shared.analogClock = true;
    ASSERT_EQ(systemFile, settingsFilePath());
    ASSERT_TRUE(writeSettingsFile(systemFile, shared));
    EXPECT_EQ(systemFile, settingsReadPath());

    // A folder where the own file should be is no file: the system-wide one still applies.
    ASSERT_EQ(0, system(("mkdir -p '" + ownFile + "'").c_str()));
    EXPECT_EQ(systemFile, settingsReadPath());
    rmdir(ownFile.c_str());
    ASSERT_TRUE(writeSettingsFile(ownFile, defaultSettings()));
    EXPECT_EQ(ownFile, settingsReadPath());

    // A private data folder sees no shared settings.
    std::string privateFolder = std::string(base) + "/private";
    setenv("LUMIVANE_DATA", privateFolder.c_str(), 1);
    EXPECT_EQ("", settingsReadPath());
    unsetenv("LUMIVANE_DATA");
    unsetenv("LUMIVANE_SYSTEM_DATA");
    unsetenv("XDG_DATA_HOME");
    std::string cleanup = std::string("rm -rf '") + base + "'";
    EXPECT_EQ(0, system(cleanup.c_str()));
}

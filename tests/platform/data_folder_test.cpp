#include "platform/data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

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

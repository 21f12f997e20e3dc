#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// Runs the built configuration program against a private data folder.
class ConfigTool : public ::testing::Test {
   protected:
    char folder[64] = "/tmp/lumivane-config-XXXXXX";
    std::string settingsPath;
    std::string program;  // the config program run
    std::string output;

    void SetUp() override {
        if (!getenv("LUMIVANE_BUILD_DIR")) GTEST_SKIP() << "LUMIVANE_BUILD_DIR is not set";
        ASSERT_TRUE(mkdtemp(folder));
        settingsPath = std::string(folder) + "/nobrell_Lumivane_cfg";
        program = std::string(getenv("LUMIVANE_BUILD_DIR")) + "/config";
    }
    void TearDown() override {
        remove(settingsPath.c_str());
        remove((std::string(folder) + "/config").c_str());
        rmdir(folder);
    }

    int run(const std::string& arguments) {
        return runAs("LUMIVANE_DATA='" + std::string(folder) + "'", arguments);
    }
    // `prefix` sets the environment (and may start the program as another user).
    int runAs(const std::string& prefix, const std::string& arguments) {
        // A program that blocks ends with status 124 instead of holding up the tests.
        std::string command = prefix + " timeout 20 '" + program + "' " + arguments + " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        output.clear();
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
        int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string fileBytes() {
        std::ifstream in(settingsPath, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
};

TEST_F(ConfigTool, ShowsTheDefaultsWithoutAFile) {
    ASSERT_EQ(0, run(""));
    EXPECT_NE(std::string::npos, output.find("showClock=true\n"));
    EXPECT_NE(std::string::npos, output.find("mouseMoveEnds=false\n"));
    EXPECT_NE(std::string::npos, output.find("resolutionIndex=0\n"));
    EXPECT_NE(std::string::npos, output.find("resolution=desktop\n"));
    EXPECT_EQ("", fileBytes());  // showing writes nothing
    ASSERT_EQ(0, run("--show"));
}

TEST_F(ConfigTool, SetWritesTheFileTheSaverReads) {
    ASSERT_EQ(0, run("--set resolutionIndex=3 mouseMoveEnds=true analogClock=1 showClock=false"));
    const char expected[] = {1, 0, 0, 0, 1, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0};
    EXPECT_EQ(std::string(expected, sizeof expected), fileBytes());

    ASSERT_EQ(0, run("--show"));
    EXPECT_NE(std::string::npos, output.find("resolution=1024x768\n"));
    EXPECT_NE(std::string::npos, output.find("analogClock=true\n"));
    EXPECT_NE(std::string::npos, output.find("showClock=false\n"));

    // Later changes keep the earlier ones.
    ASSERT_EQ(0, run("--set clock24Hours=true"));
    EXPECT_NE(std::string::npos, output.find("mouseMoveEnds=true\n"));
    ASSERT_EQ(0, run("--reset"));
    EXPECT_NE(std::string::npos, output.find("mouseMoveEnds=false\n"));
    EXPECT_EQ(20u, fileBytes().size());
}

TEST_F(ConfigTool, RefusesBadValuesAndWritesNothing) {
    const char* refused[] = {"--set resolutionIndex=10",
                             "--set resolutionIndex=-1",
                             "--set resolutionIndex=3x",
                             "--set showClock=yes",
                             "--set showClock=",
                             "--set colour=red",
                             "--set showClock",
                             "--set",
                             "--bogus",
                             "--set showClock=true reservedValue=4294967296"};
    for (const char* arguments : refused) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(2, run(arguments));
        EXPECT_EQ(1, std::count(output.begin(), output.end(), '\n'));
        EXPECT_EQ("", fileBytes());
    }
}

// A FIFO or a folder where the file belongs must not hold config up: the defaults, with one line
// on standard error.
TEST_F(ConfigTool, AnythingButARegularFileGivesTheDefaultsWithOneLine) {
    ASSERT_EQ(0, mkfifo(settingsPath.c_str(), 0600));
    ASSERT_EQ(0, run("--show"));
    EXPECT_NE(std::string::npos, output.find("resolution=desktop\n"));
    std::string line = "config: " + settingsPath + ": not a regular file; using the defaults\n";
    EXPECT_NE(std::string::npos, output.find(line)) << output;
    EXPECT_EQ(output.find("config:"), output.rfind("config:")) << output;
    ASSERT_EQ(0, remove(settingsPath.c_str()));

    ASSERT_EQ(0, mkdir(settingsPath.c_str(), 0700));
    ASSERT_EQ(0, run("--show"));
    EXPECT_NE(std::string::npos, output.find(line)) << output;
    EXPECT_NE(std::string::npos, output.find("showClock=true\n"));
}

// On a shared machine: looking creates nothing, the administrator's folder is made readable by
// all whatever root's umask, and a file another user cannot reach is reported, not taken for none.
TEST_F(ConfigTool, SystemWideSettingsReachEveryUserOrSayWhyNot) {
    ASSERT_EQ(0, chmod(folder, 0755));
    std::string systemFolder = std::string(folder) + "/var/lumivane";
    std::string systemFile = systemFolder + "/nobrell_Lumivane_cfg";
    std::string places = "env -u LUMIVANE_DATA LUMIVANE_SYSTEM_DATA='" + systemFolder + "' XDG_DATA_HOME='" +
                         folder + "/own' ";
    // Root may pass any folder: the other user is a real one. Without root the folder is shut
    // to everyone, its owner included.
    bool root = geteuid() == 0;
    std::string otherUser = places + (root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "");
    // The build may lie where the other user cannot go (a checkout under /root): all run a copy.
    std::string copy = std::string(folder) + "/config";
    ASSERT_EQ(0, system(("cp '" + program + "' '" + copy + "'").c_str()));
    program = copy;

    for (const char* looking : {"--help", "--show", "--set showClock=maybe"}) {
        SCOPED_TRACE(looking);
        EXPECT_EQ(strncmp(looking, "--set", 5) == 0 ? 2 : 0, runAs("umask 077;" + places, looking));
        EXPECT_NE(0, access((std::string(folder) + "/var").c_str(), F_OK)) << "created by looking";
        EXPECT_NE(0, access((std::string(folder) + "/own").c_str(), F_OK));
    }
    ASSERT_EQ(0, runAs("umask 077;" + places, "--set analogClock=true"));
    EXPECT_NE(std::string::npos, output.find("file=" + systemFile + "\n")) << output;
    struct stat info;
    for (std::string made : {systemFolder, std::string(folder) + "/var"}) {
        ASSERT_EQ(0, stat(made.c_str(), &info));
        EXPECT_EQ(0755u, info.st_mode & 07777) << made;
    }
    ASSERT_EQ(0, runAs(otherUser, "--show"));
    EXPECT_NE(std::string::npos, output.find("analogClock=true\n")) << output;
    EXPECT_EQ(std::string::npos, output.find("config:")) << output;

    ASSERT_EQ(0, chmod(systemFolder.c_str(), root ? 0700 : 0));
    ASSERT_EQ(0, runAs(otherUser, "--show"));
    EXPECT_NE(std::string::npos, output.find("analogClock=false\n")) << output;
    std::string line = "config: " + systemFile + ": " + strerror(EACCES) + "; using the defaults\n";
    EXPECT_NE(std::string::npos, output.find(line)) << output;
    EXPECT_EQ(output.find("config:"), output.rfind("config:")) << output;
    EXPECT_EQ(0, chmod(systemFolder.c_str(), 0755));
    EXPECT_EQ(0, system(("rm -rf '" + std::string(folder) + "/var'").c_str()));
}

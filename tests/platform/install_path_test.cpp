#include "platform/install_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

TEST(InstallPath, ConfiguredFolderGetsItsSeparator) {
    InstallPath path;
    setenv("LUMIVANE_PATH", "/opt/lumivane", 1);
    path.loadInstallPath();
    EXPECT_TRUE(path.found);
    EXPECT_EQ("/opt/lumivane/", path.installDirectory());
    EXPECT_EQ("/opt/lumivane/main.pak", path.pathInInstall("main.pak"));
    EXPECT_EQ("/opt/lumivane/main.pak", path.scratch);

    setenv("LUMIVANE_PATH", "/opt/lumivane/", 1);
    path.loadInstallPath();
    EXPECT_EQ("/opt/lumivane/", path.installDirectory());
    unsetenv("LUMIVANE_PATH");
}

TEST(InstallPath, DefaultsToTheProgramsOwnFolder) {
    unsetenv("LUMIVANE_PATH");
    InstallPath path;
    path.loadInstallPath();
    ASSERT_TRUE(path.found);
    char exe[4096];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(length, 0);
    std::string program(exe, (size_t)length);
    EXPECT_EQ(program.substr(0, program.rfind('/') + 1), path.installDirectory());
}

class LaunchProgram : public ::testing::Test {
   protected:
    char folder[64] = "/tmp/lumivane-launch-XXXXXX";
    InstallPath path;

    void SetUp() override {
        ASSERT_TRUE(mkdtemp(folder));
        std::ofstream script(std::string(folder) + "/probe");
        script << "#!/bin/sh\npwd > report\necho \"$#\" >> report\n";
        script.close();
        chmod((std::string(folder) + "/probe").c_str(), 0755);
        setenv("LUMIVANE_PATH", folder, 1);
        path.loadInstallPath();
        unsetenv("LUMIVANE_PATH");
    }
    void TearDown() override {
        remove((std::string(folder) + "/report").c_str());
        remove((std::string(folder) + "/probe").c_str());
        rmdir(folder);
    }
};

TEST_F(LaunchProgram, StartsTheProgramInItsFolderWithNoArguments) {
    ASSERT_TRUE(path.launchProgram("probe.exe", true));
    // Waited for: the report is complete.
    std::ifstream report(std::string(folder) + "/report");
    std::string cwd, count;
    std::getline(report, cwd);
    std::getline(report, count);
    EXPECT_EQ(folder, cwd);
    EXPECT_EQ("0", count);
}

TEST_F(LaunchProgram, MissingProgramIsReported) {
    EXPECT_FALSE(path.launchProgram("absent.exe", true));
}

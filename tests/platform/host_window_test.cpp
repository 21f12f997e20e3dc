#include "platform/host_window.h"

#include <gtest/gtest.h>

TEST(HostWindowId, WindowIdWordComesFirstThenTheEnvironmentThenRoot) {
    EXPECT_EQ(1234ul, hostWindowId("-window-id 1234", "0x99", 7));
    EXPECT_EQ(0x4a00007ul, hostWindowId("-root -window-id 0x4a00007", nullptr, 7));
    EXPECT_EQ(0x99ul, hostWindowId("-root", "0x99", 7));
    EXPECT_EQ(0x99ul, hostWindowId("", "0x99", 7));
    EXPECT_EQ(153ul, hostWindowId("", "153", 7));
    EXPECT_EQ(7ul, hostWindowId("-root", nullptr, 7));
    EXPECT_EQ(7ul, hostWindowId("--root", "", 7));
}

TEST(HostWindowId, NoWindowLeavesTheOwnMode) {
    EXPECT_EQ(0ul, hostWindowId("", nullptr, 7));
    EXPECT_EQ(0ul, hostWindowId("/p 1234", nullptr, 7));
    EXPECT_EQ(0ul, hostWindowId("-window-id", nullptr, 7));
    EXPECT_EQ(0ul, hostWindowId("-window-id 12ab", "", 7));
    EXPECT_EQ(0ul, hostWindowId("-window-id -root", nullptr, 0));
    EXPECT_EQ(0ul, hostWindowId("", "junk", 7));
    EXPECT_EQ(0ul, hostWindowId("", "0", 7));
    EXPECT_EQ(0ul, hostWindowId("", "99999999999999999999999", 7));
}

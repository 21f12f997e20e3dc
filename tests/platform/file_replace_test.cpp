#include "platform/file_replace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

// Temporaries an interrupted write left beside the file go with the next write that succeeds;
// nothing else there is touched: not a writer's temporary still held, not a link nor what it
// points at, not a folder, not another user's file, not a name of another shape.
TEST(ReplaceFile, NextWriteRemovesOnlyLeftTemporaries) {
    char folder[] = "/tmp/lumivane-leftovers-XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    std::string base = std::string(folder) + "/";
    std::string target = base + "target";
    std::ofstream(target) << "kept";
    struct Case {
        const char* name;
        char kind;  // f file, h file held by a live writer, l link, d folder, o another user's file
        bool removed;
    } cases[] = {
        {"nobrell_Lumivane_cfg.aB3xYz", 'f', true},
        {"nobrell_Lumivane_cfg.000000", 'f', true},
        {"nobrell_Lumivane_cfg.Held12", 'h', false},
        {"nobrell_Lumivane_cfg.Link12", 'l', false},
        {"nobrell_Lumivane_cfg.Dir123", 'd', false},
        {"nobrell_Lumivane_cfg.Other1", 'o', false},
        {"nobrell_Lumivane_cfg.abc", 'f', false},
        {"nobrell_Lumivane_cfg.abcdefg", 'f', false},
        {"nobrell_Lumivane_cfg.ab-xyz", 'f', false},
        {"nobrell_Lumivane_cfgXaB3xYz", 'f', false},
        {"other.aB3xYz", 'f', false},
    };
    int held = -1;
    for (const Case& c : cases) {
        std::string path = base + c.name;
        if (c.kind == 'l') {
            ASSERT_EQ(0, symlink(target.c_str(), path.c_str()));
        }
        if (c.kind == 'd') {
            ASSERT_EQ(0, mkdir(path.c_str(), 0700));
        }
        if (c.kind == 'f' || c.kind == 'h' || c.kind == 'o') std::ofstream(path) << "left";
        if (c.kind == 'h') {
            held = open(path.c_str(), O_RDONLY);
            ASSERT_EQ(0, flock(held, LOCK_EX));
        }
        if (c.kind == 'o' && geteuid() == 0) {
            ASSERT_EQ(0, chown(path.c_str(), 65534, 65534));
        }
    }
    ASSERT_TRUE(replaceFile(base + "nobrell_Lumivane_cfg", "new", 3));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool removed = c.removed || (c.kind == 'o' && geteuid() != 0);  // without root it is ours
        struct stat info;
        EXPECT_EQ(removed, lstat((base + c.name).c_str(), &info) != 0);
    }
    std::ifstream in(target);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ("kept", text);
    close(held);
    std::string cleanup = std::string("rm -rf '") + folder + "'";
    EXPECT_EQ(0, system(cleanup.c_str()));
}

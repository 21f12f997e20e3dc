// Runs the built pak program as a user would and checks its output, error lines and statuses.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>

#include "tests/pak/model_bytes.h"
#include "tests/pak/temp_dir.h"

namespace {
struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class PakToolTest : public ::testing::Test {
   protected:
    TempDir dir;

    // Runs "pak ARGS" inside the scratch folder.
    ToolRun pak(const std::string& args) {
        const char* build = getenv("LUMIVANE_BUILD_DIR");
        EXPECT_NE(build, nullptr) << "run through ctest";
        std::string command = "cd '" + dir.path + "' && '" + std::string(build ? build : ".") + "/pak' " +
                              args + " >stdout.txt 2>stderr.txt";
        int raw = system(command.c_str());
        ToolRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text("stdout.txt"), text("stderr.txt")};
        return run;
    }
    std::string text(const char* name) {
        std::vector<uint8_t> bytes = readBytes(dir.file(name));
        return std::string(bytes.begin(), bytes.end());
    }
    void put(const char* name, const std::vector<uint8_t>& bytes) {
        ASSERT_TRUE(writeBytes(dir.file(name), bytes));
    }
};

}  // namespace

TEST_F(PakToolTest, CreateListCatAndExtractRoundTrip) {
    put("fps", textBytes("frames"));
    ASSERT_EQ(mkdir(dir.file("models").c_str(), 0700), 0);
    put("models/candle", {0, 1, 2, 255});
    ToolRun create = pak("create new.pak fps models/candle");
    ASSERT_EQ(create.status, 0) << create.err;
    EXPECT_EQ(pak("list new.pak").out, "         6  fps\n         4  models/candle\n");
    EXPECT_EQ(pak("cat new.pak models/candle").out, std::string("\0\1\2\377", 4));
    ToolRun extract = pak("extract new.pak out/");
    ASSERT_EQ(extract.status, 0) << extract.err;
    EXPECT_EQ(readBytes(dir.file("out/models/candle")), std::vector<uint8_t>({0, 1, 2, 255}));
    EXPECT_EQ(text("out/fps"), "frames");
}

TEST_F(PakToolTest, InspectDescribesMeshesAndWhereAModelBreaks) {
    std::vector<uint8_t> model = modelBytes({quadMesh("wood", 2), quadMesh("?#Fire64 64", 1)}, true);
    std::vector<uint8_t> cut(model.begin(), model.end() - 1);
    put("m.pak", pakBytes({{"candle", model}, {"cut", cut}}));
    ToolRun good = pak("inspect m.pak candle");
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_NE(good.out.find("2 meshes"), std::string::npos);
    EXPECT_NE(good.out.find("mesh 0 at byte 9: texture \"wood\", 2 triangles"), std::string::npos)
        << good.out;
    EXPECT_NE(good.out.find("mesh 1 at byte 547: texture \"?#Fire64 64\", 1 triangles"), std::string::npos);
    EXPECT_NE(good.out.find("diffuse   0.25 0.5 0.75 1"), std::string::npos) << good.out;
    ToolRun bad = pak("inspect m.pak cut");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err,
              "pak: m.pak: entry \"cut\" is not a well-formed model: mesh 1 at byte 547: "
              "triangle count needs more bytes than the entry has left\n");
}

TEST_F(PakToolTest, ErrorsAreOneLineWithStatusOne) {
    std::vector<uint8_t> damaged = pakBytes({{"a", textBytes("abc")}});
    damaged[9] = 0xFF;  // size far beyond the file
    put("damaged.pak", damaged);
    put("ok.pak", pakBytes({{"a", textBytes("abc")}}));
    struct Case {
        const char* args;
        const char* err;
    } cases[] = {
        {"list absent.pak", "pak: absent.pak: No such file or directory\n"},
        {"list damaged.pak",
         "pak: damaged.pak: entry 0 at byte 4: size 4278190083 is larger than the 3 bytes left\n"},
        {"cat ok.pak b", "pak: ok.pak: no entry named \"b\"\n"},
        {"inspect ok.pak a",
         "pak: ok.pak: entry \"a\" is not a well-formed model: byte 0: entry of 3 bytes is too "
         "short for a model header\n"},
        {"create new.pak absent", "pak: new.pak: cannot add \"absent\": No such file or directory\n"},
    };
    for (const Case& c : cases) {
        ToolRun run = pak(c.args);
        EXPECT_EQ(run.status, 1) << c.args;
        EXPECT_EQ(run.err, c.err);
    }
    EXPECT_TRUE(readBytes(dir.file("new.pak")).empty()) << "no archive from a failed create";
}

// A hostile archive: every name that could land outside the prefix is refused with its own line,
// the rest is still written, and a name holding NUL is shown whole and can be asked for again.
TEST_F(PakToolTest, ExtractRefusesNamesOutsideThePrefixAndWritesTheRest) {
    std::string absolute = dir.file("absolute");
    put("evil.pak", pakBytes({{"../escaped", textBytes("x")},
                              {absolute, textBytes("x")},
                              {std::string("a\0b", 3), textBytes("nul")},
                              {"", textBytes("x")},
                              {"sub/../../up", textBytes("x")},
                              {"sub\\..\\..\\win", textBytes("x")},
                              {"CON", textBytes("x")},
                              {"nul.txt", textBytes("x")},
                              {"sub/Aux .pak", textBytes("x")},
                              {"com1/x", textBytes("x")},
                              {"sub\\lpt9.log", textBytes("x")},
                              {"com0", textBytes("com0")},
                              {"console.lpt1", textBytes("console")},
                              {"kept/file", textBytes("kept")}}));
    ToolRun run = pak("extract evil.pak out/");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "pak: evil.pak: entry \"../escaped\" would be written outside the prefix\n"
              "pak: evil.pak: entry \"" +
                  absolute +
                  "\" has an absolute name\n"
                  "pak: evil.pak: entry \"a\\x00b\" has a NUL byte in its name\n"
                  "pak: evil.pak: entry \"\" has an empty name\n"
                  "pak: evil.pak: entry \"sub/../../up\" would be written outside the prefix\n"
                  "pak: evil.pak: entry \"sub\\x5C..\\x5C..\\x5Cwin\" would be written outside the prefix\n"
                  "pak: evil.pak: entry \"CON\" has a name Windows keeps for a device\n"
                  "pak: evil.pak: entry \"nul.txt\" has a name Windows keeps for a device\n"
                  "pak: evil.pak: entry \"sub/Aux .pak\" has a name Windows keeps for a device\n"
                  "pak: evil.pak: entry \"com1/x\" has a name Windows keeps for a device\n"
                  "pak: evil.pak: entry \"sub\\x5Clpt9.log\" has a name Windows keeps for a device\n");
    EXPECT_EQ(text("out/com0"), "com0");
    EXPECT_EQ(text("out/console.lpt1"), "console");
    EXPECT_EQ(text("out/kept/file"), "kept");
    EXPECT_TRUE(readBytes(dir.file("escaped")).empty());
    EXPECT_TRUE(readBytes(dir.file("up")).empty());
    EXPECT_TRUE(readBytes(absolute).empty());
    EXPECT_TRUE(readBytes(dir.file("a")).empty());

    // An empty prefix must not turn the absolute name into a path of its own.
    EXPECT_EQ(pak("extract evil.pak ''").status, 1);
    EXPECT_TRUE(readBytes(absolute).empty());
    EXPECT_EQ(text("kept/file"), "kept");

    EXPECT_NE(pak("list evil.pak").out.find("         3  a\\x00b\n"), std::string::npos);
    EXPECT_EQ(pak("cat evil.pak 'a\\x00b'").out, "nul");
}

// Someone who may write in the target folder put links there: extracting writes through none of
// them, says so in one line each, and still writes and overwrites plain files.
TEST_F(PakToolTest, ExtractFollowsNoLinkFoundInTheTarget) {
    ASSERT_EQ(mkdir(dir.file("elsewhere").c_str(), 0700), 0);
    put("victim", textBytes("mine"));
    ASSERT_EQ(mkdir(dir.file("out").c_str(), 0700), 0);
    ASSERT_EQ(symlink(dir.file("elsewhere").c_str(), dir.file("out/folder").c_str()), 0);
    ASSERT_EQ(symlink(dir.file("victim").c_str(), dir.file("out/file").c_str()), 0);
    ASSERT_EQ(symlink(dir.file("absent").c_str(), dir.file("out/dangling").c_str()), 0);
    ASSERT_EQ(mkfifo(dir.file("out/fifo").c_str(), 0600), 0);
    put("out/old", textBytes("old"));
    put("links.pak", pakBytes({{"folder/planted", textBytes("x")},
                               {"file", textBytes("x")},
                               {"dangling", textBytes("x")},
                               {"fifo", textBytes("x")},
                               {"old", textBytes("new")},
                               {"sub/new", textBytes("new")}}));
    ToolRun run = pak("extract links.pak out/");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(
        run.err,
        "pak: links.pak: cannot write \"out/folder/planted\": a symbolic link is in the way (not followed)\n"
        "pak: links.pak: cannot write \"out/file\": a symbolic link is in the way (not followed)\n"
        "pak: links.pak: cannot write \"out/dangling\": a symbolic link is in the way (not followed)\n"
        "pak: links.pak: cannot write \"out/fifo\": not a regular file\n");
    EXPECT_EQ(text("victim"), "mine");
    EXPECT_TRUE(readBytes(dir.file("elsewhere/planted")).empty());
    EXPECT_TRUE(readBytes(dir.file("absent")).empty());
    EXPECT_EQ(text("out/old"), "new");
    EXPECT_EQ(text("out/sub/new"), "new");
}

TEST_F(PakToolTest, UsageErrorsGiveStatusTwo) {
    const char* wrong[] = {"", "list", "frobnicate a.pak", "create a.pak", "cat a.pak", "extract a.pak x y"};
    for (const char* args : wrong) {
        ToolRun run = pak(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err.rfind("usage: pak ", 0), 0u) << args;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1);
    }
}

// Replays what fuzzing found (fuzz/regressions/<target>/) and what it kept (fuzz/corpus/<target>/)
// through each target's own harness, in the plain and the sanitizer builds: an input that once
// crashed must not crash again, and a harness check that fails stops the program here too.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/pak/temp_dir.h"

#define REPLAY(name)                                                \
    extern "C" int replay_##name(const uint8_t* data, size_t size); \
    extern "C" __attribute__((weak)) int replay_init_##name(int* argc, char*** argv);
#include "fuzz_replay_table.h"
#undef REPLAY

namespace {
struct Harness {
    const char* name;
    int (*input)(const uint8_t* data, size_t size);
    int (*init)(int* argc, char*** argv);  // null when the target has none
};

#define REPLAY(name) {#name, replay_##name, replay_init_##name},
const Harness harnesses[] = {
#include "fuzz_replay_table.h"
};
#undef REPLAY

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> files;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return files;
    while (dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
    closedir(dir);
    return files;
}
}  // namespace

TEST(FuzzReplay, RegressionsAndKeptCorpusRunClean) {
    std::string fuzz = LUMIVANE_FUZZ_DIR;
    size_t total = 0;
    for (const Harness& harness : harnesses) {
        std::vector<std::string> inputs = filesIn(fuzz + "/regressions/" + harness.name);
        std::vector<std::string> kept = filesIn(fuzz + "/corpus/" + harness.name);
        inputs.insert(inputs.end(), kept.begin(), kept.end());
        if (harness.init && !inputs.empty()) harness.init(nullptr, nullptr);
        for (const std::string& path : inputs) {
            std::vector<uint8_t> bytes = readBytes(path);
            harness.input(bytes.data(), bytes.size());
        }
        printf("%-16s %zu inputs\n", harness.name, inputs.size());
        total += inputs.size();
    }
    EXPECT_GT(total, 0u) << "no kept inputs under fuzz/";
}

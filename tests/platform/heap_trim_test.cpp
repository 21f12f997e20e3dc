#include "platform/heap_trim.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static long anonymousKb() {
    FILE* f = fopen("/proc/self/smaps_rollup", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof line, f))
        if (strncmp(line, "Anonymous:", 10) == 0) kb = atol(line + 10);
    fclose(f);
    return kb;
}

// 32 MiB freed below a block still in use: the allocator keeps much of it until asked to give
// it back, and then most of that must go.
TEST(HeapTrim, FreedPagesBelowALiveBlockGoBack) {
    std::vector<char*> blocks;
    for (int i = 0; i < 512; i++) {
        char* block = (char*)malloc(64 * 1024);
        memset(block, 1, 64 * 1024);
        blocks.push_back(block);
    }
    char* last = (char*)malloc(64);
    for (char* block : blocks) free(block);
    long held = anonymousKb();
    ASSERT_GT(held, 8 * 1024);
    returnFreeHeap();
    EXPECT_LT(anonymousKb(), held / 2);
    free(last);
}

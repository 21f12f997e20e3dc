#pragma once
// The few POSIX file-tree calls the shared tests use, for the Windows build: mkdtemp and a
// depth-first nftw. Found before the toolchain's headers only by the Windows test programs.
#include <direct.h>
#include <dirent.h>
#include <io.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

struct FTW {
    int base;
    int level;
};
enum { FTW_F = 0, FTW_D = 1, FTW_DP = 5 };
enum { FTW_PHYS = 1, FTW_DEPTH = 8 };

inline char* mkdtemp(char* pattern) {
    if (!_mktemp(pattern) || _mkdir(pattern) != 0) return nullptr;
    return pattern;
}

// Calls `visit` for every entry below `path`, children before their folder (FTW_DEPTH order).
inline int nftw(const char* path, int (*visit)(const char*, const struct stat*, int, struct FTW*), int, int) {
    std::string root = path;
    while (root.size() > 1 && (root.back() == '/' || root.back() == '\\')) root.pop_back();
    struct stat info;
    if (stat(root.c_str(), &info) != 0) return -1;
    FTW position = {0, 0};
    if (!S_ISDIR(info.st_mode)) return visit(root.c_str(), &info, FTW_F, &position);
    if (DIR* dir = opendir(root.c_str())) {
        while (struct dirent* entry = readdir(dir)) {
            if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
            int result = nftw((root + "/" + entry->d_name).c_str(), visit, 0, 0);
            if (result != 0) {
                closedir(dir);
                return result;
            }
        }
        closedir(dir);
    }
    int result = visit(root.c_str(), &info, FTW_DP, &position);
    // remove() takes only files here; folders need their own call.
    if (result != 0 && _rmdir(root.c_str()) == 0) result = 0;
    return result;
}

#pragma once
// A scratch folder removed with everything in it when the test ends.
#include <ftw.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

struct TempDir {
    std::string path;  // ends with '/'

    TempDir() {
        char name[] = "/tmp/lumivane-pak-XXXXXX";
        path = std::string(mkdtemp(name)) + "/";
    }
    ~TempDir() {
        nftw(
            path.c_str(), [](const char* p, const struct stat*, int, struct FTW*) { return remove(p); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }
    std::string file(const std::string& name) const { return path + name; }
};

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    fwrite(bytes.data(), 1, bytes.size(), f);
    return fclose(f) == 0;
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return bytes;
    int c;
    while ((c = fgetc(f)) != EOF) bytes.push_back((uint8_t)c);
    fclose(f);
    return bytes;
}

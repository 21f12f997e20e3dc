// Any bytes as a .pak file: the loader must refuse or accept them without reading or allocating
// beyond them, and an accepted archive must describe exactly what the bytes hold. The same bytes
// as the file an archive reads a released entry back from (it may have changed since): the
// by-name read must keep within them too, and find exactly what the whole load found.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pak/archive.h"

static std::string fuzzFile() {
    static std::string path;
    if (path.empty()) {
        char name[] = "/tmp/fuzz-pak-XXXXXX";
        int fd = mkstemp(name);
        if (fd < 0) abort();
        close(fd);
        path = name;
    }
    return path;
}

// Reads `name` back from a file holding `data` through an archive that lists it, released.
static PakEntry readBack(PakArchive* onFile, const std::string& name) {
    for (size_t i = 0; i < onFile->entries.size(); i++) delete[] onFile->entries[i].bytes;
    onFile->names.assign(1, name);
    onFile->entries.assign(1, PakEntry{nullptr, 0});
    return onFile->loadEntry(name.c_str());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PakArchive archive;
    std::string error;
    bool loaded = archive.loadBytes(data, size, &error);
    FILE* f = fopen(fuzzFile().c_str(), "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) abort();
    PakArchive onFile;
    onFile.path = fuzzFile();
    if (!loaded) {
        if (error.empty() || error.find('\n') != std::string::npos || !archive.entries.empty())
            __builtin_trap();
        // The name the first record would have, had the file been whole.
        std::string name =
            size > 4 ? std::string((const char*)data + 5, std::min<size_t>(data[4], size - 5)) : "";
        PakEntry back = readBack(&onFile, name);
        if (back.bytes && back.size > size) __builtin_trap();
        return 0;
    }
    uint64_t stored = 4;
    volatile uint8_t sink = 0;
    for (size_t i = 0; i < archive.entries.size(); i++) {
        const PakEntry& entry = archive.entries[i];
        stored += 5 + archive.names[i].size() + entry.size;
        if (entry.size) sink = sink ^ entry.bytes[0] ^ entry.bytes[entry.size - 1];
    }
    if (stored > size || archive.names.size() != archive.entries.size()) __builtin_trap();
    if (!archive.names.empty()) {
        PakEntry first = archive.findEntry(archive.names[0].c_str());
        if (archive.names[0].find('\0') == std::string::npos && first.bytes != archive.entries[0].bytes)
            __builtin_trap();
    }
    for (size_t i = 0; i < archive.names.size() && i < 8; i++) {
        const std::string& name = archive.names[i];
        if (name.find('\0') != std::string::npos) continue;
        PakEntry whole = archive.findEntry(name.c_str());
        PakEntry back = readBack(&onFile, name);
        if (!back.bytes || back.size != whole.size || memcmp(back.bytes, whole.bytes, whole.size) != 0)
            __builtin_trap();
    }
    return 0;
}

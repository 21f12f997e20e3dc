// Any bytes as a .pak file: the loader must refuse or accept them without reading or allocating
// beyond them, and an accepted archive must describe exactly what the bytes hold.
#include <cstddef>
#include <cstdint>
#include <string>

#include "pak/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PakArchive archive;
    std::string error;
    if (!archive.loadBytes(data, size, &error)) {
        if (error.empty() || error.find('\n') != std::string::npos || !archive.entries.empty())
            __builtin_trap();
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
    return 0;
}

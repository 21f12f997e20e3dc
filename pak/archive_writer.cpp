#include <cstdio>
#include <cstring>

#include "pak/archive.h"
#include "pak/file_bytes.h"
#include "pak/little_endian.h"

// The authoring side of the archive: the saver only reads archives.

namespace {
void writeU32(FILE* f, uint32_t v) {
    std::vector<uint8_t> b;
    putLe32(&b, v);
    fwrite(b.data(), 1, b.size(), f);
}
}  // namespace

bool PakArchive::addFile(const char* path) {
    if (strlen(path) > kMaxNameLength) return false;
    std::vector<uint8_t> file;
    if (!readFileBytes(path, &file) || file.size() > UINT32_MAX) return false;
    return addEntry(path, file.data(), (uint32_t)file.size());
}

bool PakArchive::save(const char* path) const {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    writeU32(f, (uint32_t)entries.size());
    for (size_t i = 0; i < entries.size(); i++) {
        uint8_t nameLength = (uint8_t)names[i].size();
        fwrite(&nameLength, 1, 1, f);
        fwrite(names[i].data(), 1, names[i].size(), f);
        writeU32(f, entries[i].size);
        fwrite(entries[i].bytes, 1, entries[i].size, f);
    }
    bool ok = !ferror(f);
    return fclose(f) == 0 && ok;
}

bool PakArchive::extractAll(const char* prefix, std::string* failedPath) const {
    bool allWritten = true;
    for (size_t i = 0; i < entries.size(); i++) {
        std::string path = std::string(prefix) + names[i];
        if (writeFileBytes(path.c_str(), entries[i].bytes, entries[i].size)) continue;
        if (allWritten && failedPath) *failedPath = path;
        allWritten = false;
    }
    return allWritten;
}

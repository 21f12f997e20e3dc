#include "pak/archive.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "pak/file_bytes.h"
#include "pak/little_endian.h"

namespace {
__attribute__((format(printf, 1, 2))) std::string describe(const char* fmt, ...) {
    char line[200];
    va_list args;
    va_start(args, fmt);
    vsnprintf(line, sizeof line, fmt, args);
    va_end(args);
    return line;
}
}  // namespace

PakArchive::PakArchive() {}

PakArchive::~PakArchive() {
    clear();
}

void PakArchive::clear() {
    for (size_t i = 0; i < entries.size(); i++) delete[] entries[i].bytes;
    entries.clear();
    names.clear();
    path.clear();
}

bool PakArchive::load(const char* file, std::string* error, bool holdBytes) {
    clear();
    std::vector<uint8_t> bytes;
    if (!readFileBytes(file, &bytes)) {
        if (error) *error = strerror(errno);
        return false;
    }
    if (!loadBytes(bytes.data(), bytes.size(), error)) return false;
    path = file;
    for (size_t i = 0; i < entries.size() && !holdBytes; i++) {
        delete[] entries[i].bytes;
        entries[i].bytes = nullptr;
    }
    return true;
}

namespace {
// Where one entry record lies in the file.
struct RecordPlace {
    size_t nameAt;
    size_t nameLength;
    size_t dataAt;
    uint32_t size;
};

// Every size is checked against what is left before anything is read or allocated, so a damaged
// file can neither make us read past its end nor allocate more than it holds.
bool placeRecord(const uint8_t* data, size_t size, size_t pos, int32_t index, RecordPlace* place,
                 std::string* reason) {
    if (size - pos < 1) {
        *reason = describe("entry %d: file ends at byte %zu, before its name length", index, pos);
        return false;
    }
    if (data[pos] > PakArchive::kMaxNameLength) {
        *reason = describe("entry %d at byte %zu: name length %d is over 127", index, pos, data[pos]);
        return false;
    }
    place->nameAt = pos + 1;
    place->nameLength = data[pos];
    if (size - place->nameAt < place->nameLength + 4) {
        *reason = describe("entry %d at byte %zu: file ends inside its name or size", index, pos);
        return false;
    }
    place->size = readLe32(data + place->nameAt + place->nameLength);
    place->dataAt = place->nameAt + place->nameLength + 4;
    if (place->size > size - place->dataAt) {
        *reason = describe("entry %d at byte %zu: size %u is larger than the %zu bytes left", index, pos,
                           place->size, size - place->dataAt);
        return false;
    }
    return true;
}
}  // namespace

bool PakArchive::loadBytes(const uint8_t* data, size_t size, std::string* error) {
    clear();
    if (size < 4) {
        if (error) *error = describe("file of %zu bytes is too short for the entry count", size);
        return false;
    }
    int32_t count = (int32_t)readLe32(data);  // 0 or less: an empty archive
    size_t pos = 4;
    for (int32_t i = 0; i < count; i++) {
        RecordPlace place;
        std::string reason;
        if (!placeRecord(data, size, pos, i, &place, &reason)) {
            clear();
            if (error) *error = reason;
            return false;
        }
        addEntry(std::string((const char*)data + place.nameAt, place.nameLength), data + place.dataAt,
                 place.size);
        pos = place.dataAt + place.size;
    }
    return true;
}

namespace {
int entryIndex(const std::vector<std::string>& names, const char* name) {
    size_t length = strlen(name);
    for (size_t i = 0; i < names.size(); i++) {
        if (names[i].size() == length && memcmp(names[i].data(), name, length) == 0) return (int)i;
    }
    return -1;
}

// The first entry named `name` in the file at `path`, walked record by record with the same checks
// as a whole load: no size is trusted beyond what the file holds, and only the one entry is read.
uint8_t* readNamedEntry(const std::string& path, const char* name, uint32_t* size) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    uint8_t* found = nullptr;
    long fileSize = -1;
    uint8_t word[4];
    if (fseek(f, 0, SEEK_END) == 0) fileSize = ftell(f);
    if (fileSize >= 4 && fseek(f, 0, SEEK_SET) == 0 && fread(word, 1, 4, f) == 4) {
        const int32_t count = (int32_t)readLe32(word);
        const size_t length = strlen(name);
        long pos = 4;
        char stored[PakArchive::kMaxNameLength];
        for (int32_t i = 0; i < count; i++) {
            int nameLength = fgetc(f);
            if (nameLength < 0 || (size_t)nameLength > PakArchive::kMaxNameLength) break;
            if (fread(stored, 1, (size_t)nameLength, f) != (size_t)nameLength || fread(word, 1, 4, f) != 4)
                break;
            pos += 1 + nameLength + 4;
            const uint32_t entrySize = readLe32(word);
            if (entrySize > (uint64_t)(fileSize - pos)) break;
            if ((size_t)nameLength == length && memcmp(stored, name, length) == 0) {
                uint8_t* bytes = new uint8_t[entrySize];
                if (fread(bytes, 1, entrySize, f) == entrySize) {
                    found = bytes;
                    *size = entrySize;
                } else {
                    delete[] bytes;
                }
                break;
            }
            if (fseek(f, (long)entrySize, SEEK_CUR) != 0) break;
            pos += (long)entrySize;
        }
    }
    fclose(f);
    return found;
}
}  // namespace

PakEntry PakArchive::findEntry(const char* name) const {
    int i = entryIndex(names, name);
    return i >= 0 && entries[(size_t)i].bytes ? entries[(size_t)i] : PakEntry{nullptr, 0};
}

PakEntry PakArchive::loadEntry(const char* name) {
    int i = entryIndex(names, name);
    if (i < 0) return PakEntry{nullptr, 0};
    PakEntry& entry = entries[(size_t)i];
    if (!entry.bytes) {
        uint32_t size = 0;
        entry.bytes = readNamedEntry(path, name, &size);
        entry.size = entry.bytes ? size : 0;
    }
    return entry.bytes ? entry : PakEntry{nullptr, 0};
}

void PakArchive::releaseEntry(const char* name) {
    int i = entryIndex(names, name);
    if (i < 0 || path.empty()) return;
    delete[] entries[(size_t)i].bytes;
    entries[(size_t)i].bytes = nullptr;
}

bool PakArchive::addEntry(const std::string& name, const void* bytes, uint32_t size) {
    if (name.size() > kMaxNameLength) return false;
    uint8_t* copy = new uint8_t[size];
    if (size) memcpy(copy, bytes, size);
    entries.push_back(PakEntry{copy, size});
    names.push_back(name);
    return true;
}

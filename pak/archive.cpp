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

namespace {
// An archive's bytes, in memory or in a file read a piece at a time. `size` is all there is.
struct ArchiveSource {
    const uint8_t* data;  // null: read from `file`
    FILE* file;
    size_t size;
};

// n bytes at pos, which the caller has checked lie inside the source.
bool fetch(const ArchiveSource& source, size_t pos, size_t n, uint8_t* out) {
    if (source.data) {
        memcpy(out, source.data + pos, n);
        return true;
    }
    return fseek(source.file, (long)pos, SEEK_SET) == 0 && fread(out, 1, n, source.file) == n;
}

// Where one entry record lies, and its name.
struct RecordPlace {
    std::string name;
    size_t dataAt;
    uint32_t size;
};

// Every size is checked against what is left before anything is read or allocated, so a damaged
// file can neither make us read past its end nor allocate more than it holds.
bool placeRecord(const ArchiveSource& source, size_t pos, int32_t index, RecordPlace* place,
                 std::string* reason) {
    const size_t size = source.size;
    uint8_t head[1 + PakArchive::kMaxNameLength + 4];
    if (size - pos < 1) {
        *reason = describe("entry %d: file ends at byte %zu, before its name length", index, pos);
        return false;
    }
    if (!fetch(source, pos, 1, head)) {
        *reason = describe("entry %d at byte %zu: %s", index, pos, strerror(errno));
        return false;
    }
    if (head[0] > PakArchive::kMaxNameLength) {
        *reason = describe("entry %d at byte %zu: name length %d is over 127", index, pos, head[0]);
        return false;
    }
    const size_t nameLength = head[0];
    if (size - (pos + 1) < nameLength + 4) {
        *reason = describe("entry %d at byte %zu: file ends inside its name or size", index, pos);
        return false;
    }
    if (!fetch(source, pos + 1, nameLength + 4, head + 1)) {
        *reason = describe("entry %d at byte %zu: %s", index, pos, strerror(errno));
        return false;
    }
    place->name.assign((const char*)head + 1, nameLength);
    place->size = readLe32(head + 1 + nameLength);
    place->dataAt = pos + 1 + nameLength + 4;
    if (place->size > size - place->dataAt) {
        *reason = describe("entry %d at byte %zu: size %u is larger than the %zu bytes left", index, pos,
                           place->size, size - place->dataAt);
        return false;
    }
    return true;
}

// Calls visit(place) for each record in order until it returns false; false with a one-line
// reason when the archive is damaged before that.
template <typename Visit>
bool walkRecords(const ArchiveSource& source, std::string* reason, Visit visit) {
    uint8_t word[4];
    if (source.size < 4) {
        *reason = describe("file of %zu bytes is too short for the entry count", source.size);
        return false;
    }
    if (!fetch(source, 0, 4, word)) {
        *reason = strerror(errno);
        return false;
    }
    const int32_t count = (int32_t)readLe32(word);  // 0 or less: an empty archive
    size_t pos = 4;
    for (int32_t i = 0; i < count; i++) {
        RecordPlace place;
        if (!placeRecord(source, pos, i, &place, reason)) return false;
        if (!visit(place)) return true;
        pos = place.dataAt + place.size;
    }
    return true;
}

// A regular file's size (fseek cannot tell a pipe's): -1 when unknown.
long fileSize(FILE* f) {
    if (fseek(f, 0, SEEK_END) != 0) return -1;
    long size = ftell(f);
    return fseek(f, 0, SEEK_SET) == 0 ? size : -1;
}
}  // namespace

bool PakArchive::load(const char* file, std::string* error, bool holdBytes) {
    clear();
    FILE* f = holdBytes ? nullptr : fopen(file, "rb");
    const long size = f ? fileSize(f) : -1;
    if (size >= 0) {
        // Only the records' heads are read: the entries are read when asked for.
        std::string reason;
        bool whole =
            walkRecords(ArchiveSource{nullptr, f, (size_t)size}, &reason, [this](const RecordPlace& p) {
                entries.push_back(PakEntry{nullptr, p.size});
                names.push_back(p.name);
                return true;
            });
        fclose(f);
        if (!whole) {
            clear();
            if (error) *error = reason;
            return false;
        }
        path = file;
        return true;
    }
    if (f) fclose(f);
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

bool PakArchive::loadBytes(const uint8_t* data, size_t size, std::string* error) {
    clear();
    std::string reason;
    bool whole = walkRecords(ArchiveSource{data, nullptr, size}, &reason, [this, data](const RecordPlace& p) {
        addEntry(p.name, data + p.dataAt, p.size);
        return true;
    });
    if (!whole) {
        clear();
        if (error) *error = reason;
    }
    return whole;
}

namespace {
int entryIndex(const std::vector<std::string>& names, const char* name) {
    size_t length = strlen(name);
    for (size_t i = 0; i < names.size(); i++) {
        if (names[i].size() == length && memcmp(names[i].data(), name, length) == 0) return (int)i;
    }
    return -1;
}

// The first entry named `name` in the file at `path` as it is now, walked with the same checks as
// a whole load; only that one entry is read. Null when it is not there or the file is damaged
// before it.
uint8_t* readNamedEntry(const std::string& path, const char* name, uint32_t* size) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    const long bytes = fileSize(f);
    uint8_t* found = nullptr;
    std::string reason;
    if (bytes >= 0) {
        const ArchiveSource source = {nullptr, f, (size_t)bytes};
        walkRecords(source, &reason, [&](const RecordPlace& p) {
            if (p.name != name) return true;
            found = new uint8_t[p.size];
            if (p.size > 0 && !fetch(source, p.dataAt, p.size, found)) {
                delete[] found;
                found = nullptr;
            }
            *size = p.size;
            return false;
        });
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

#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bytes of one archive entry; owned by the archive, valid while it lives and until the entry is
// released (releaseEntry).
struct PakEntry {
    const uint8_t* bytes;
    uint32_t size;
};

// A .pak file in memory: count, then (nameLength, name, size, data) records.
struct PakArchive {
    static constexpr size_t kMaxNameLength = 127;  // the length byte is signed on disk

    std::vector<PakEntry> entries;  // bytes null while released
    std::vector<std::string> names;
    std::string path;  // the file it was loaded from; empty when made in memory

    PakArchive();  // empty, for authoring
    ~PakArchive();
    PakArchive(const PakArchive&) = delete;
    PakArchive& operator=(const PakArchive&) = delete;

    // Reads the whole file. A missing or damaged file returns false with a one-line
    // reason in *error and leaves the archive empty; nothing is read beyond the file. Without
    // `holdBytes` every entry starts released: only the ones asked for are read back.
    bool load(const char* path, std::string* error, bool holdBytes = true);
    // The same from bytes already in memory (the file's whole contents); the bytes are copied.
    bool loadBytes(const uint8_t* data, size_t size, std::string* error);
    PakEntry findEntry(
        const char* name) const;  // first exact match as held; {nullptr, 0} when absent or released
    // The same, reading a released entry's bytes again from the file. What the file holds now
    // counts: it is looked up by name and checked again, so a file replaced meanwhile yields its
    // new entry, and a damaged or vanished one yields {nullptr, 0}.
    PakEntry loadEntry(const char* name);
    // Frees the bytes of the first entry of that name until they are loaded again. Archives made in
    // memory keep theirs: there is nothing to read them back from.
    void releaseEntry(const char* name);
    bool addEntry(const std::string& name, const void* bytes,
                  uint32_t size);  // false for names over 127 bytes
    // Authoring only (archive_writer.cpp):
    bool addFile(const char* path);  // entry named by path as given; false when unreadable or name too long
    bool save(const char* path) const;
    // prefix + name, no separator inserted. Writes every entry it can; false when one failed,
    // naming the first file that could not be written in *failedPath when given.
    bool extractAll(const char* prefix, std::string* failedPath = nullptr) const;
    void clear();  // frees every entry: the archive is empty again
};

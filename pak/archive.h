#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Bytes of one archive entry; owned by the archive, valid while it lives.
struct PakEntry {
    const uint8_t* bytes;
    uint32_t size;
};

// A .pak file in memory: count, then (nameLength, name, size, data) records.
struct PakArchive {
    static constexpr size_t kMaxNameLength = 127;  // the length byte is signed on disk

    std::vector<PakEntry> entries;
    std::vector<std::string> names;

    PakArchive();  // empty, for authoring
    ~PakArchive();
    PakArchive(const PakArchive&) = delete;
    PakArchive& operator=(const PakArchive&) = delete;

    // Reads the whole file. A missing or damaged file returns false with a one-line
    // reason in *error and leaves the archive empty; nothing is read beyond the file.
    bool load(const char* path, std::string* error);
    // The same from bytes already in memory (the file's whole contents); the bytes are copied.
    bool loadBytes(const uint8_t* data, size_t size, std::string* error);
    PakEntry findEntry(const char* name) const;  // first exact match; {nullptr, 0} when absent
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

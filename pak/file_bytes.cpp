#include "pak/file_bytes.h"

#include <cerrno>
#include <cstdio>

bool readFileBytes(const char* path, std::vector<uint8_t>* bytes) {
    bytes->clear();
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) bytes->insert(bytes->end(), chunk, chunk + got);
    int readError = ferror(f) ? errno : 0;
    fclose(f);
    if (readError) errno = readError;
    return readError == 0;
}

bool writeFileBytes(const char* path, const void* bytes, size_t size) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(bytes, 1, size, f) == size;
    int writeError = errno;
    if (fclose(f) != 0) return false;
    errno = writeError;
    return ok;
}

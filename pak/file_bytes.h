#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Whole-file reads and writes in binary mode. The read grows with what the file really holds
// (no trusted length), so it works on pipes too. errno tells why when they return false.
bool readFileBytes(const char* path, std::vector<uint8_t>* bytes);
bool writeFileBytes(const char* path, const void* bytes, size_t size);

// Little-endian 32-bit word at any alignment.
inline uint32_t readLe32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

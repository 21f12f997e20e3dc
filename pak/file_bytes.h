#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Whole-file reads and writes in binary mode. The read grows with what the file really holds
// (no trusted length), so it works on pipes too. errno tells why when they return false.
bool readFileBytes(const char* path, std::vector<uint8_t>* bytes);
bool writeFileBytes(const char* path, const void* bytes, size_t size);

#pragma once
#include <cstdint>
#include <vector>

// Little-endian words, byte by byte at any alignment, so the bytes are the same whatever the
// host's byte order.
inline uint32_t readLe32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

inline void putLe16(std::vector<uint8_t>* out, uint32_t value) {
    out->push_back((uint8_t)value);
    out->push_back((uint8_t)(value >> 8));
}

inline void putLe32(std::vector<uint8_t>* out, uint32_t value) {
    putLe16(out, value & 0xffff);
    putLe16(out, value >> 16);
}

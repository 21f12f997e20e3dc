#pragma once
#include <cstdint>
#include <vector>

// Encodes width x height RGBA pixels (row 0 first, 4 bytes a pixel) as a 32-bit RGBA PNG. The
// output depends on the pixels alone (no time or text chunks), so rebuilt archives stay identical.
bool encodePng(const uint8_t* rgba, int32_t width, int32_t height, std::vector<uint8_t>* out);

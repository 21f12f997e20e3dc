#pragma once
#include <cstddef>
#include <string>

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so readers see
// either the old file or the whole new one. False (the old file untouched) on any failure.
bool replaceFile(const std::string& path, const void* bytes, size_t size);

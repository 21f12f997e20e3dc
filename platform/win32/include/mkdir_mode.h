#pragma once
// POSIX's two-argument mkdir for tools written against it; Windows folders have no mode bits.
#include <direct.h>

inline int mkdir(const char* path, unsigned /*mode*/) {
    return _mkdir(path);
}

#pragma once
#include <unistd.h>

#include <cerrno>
#include <cstddef>

// Writes all of `bytes` to `fd`, through short writes and signals; false on an error (errno says).
static inline bool writeAll(int fd, const void* bytes, size_t size) {
    const char* at = (const char*)bytes;
    while (size > 0) {
        ssize_t done = write(fd, at, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        at += done;
        size -= (size_t)done;
    }
    return true;
}

#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

static bool writeAll(int fd, const char* bytes, size_t size) {
    while (size > 0) {
        ssize_t done = write(fd, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes += done;
        size -= (size_t)done;
    }
    return true;
}

bool replaceFile(const std::string& path, const void* bytes, size_t size) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');
    int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    // mkstemp makes the file private; the settings are meant for every user to read.
    fchmod(fd, 0644);
    bool ok = writeAll(fd, (const char*)bytes, size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temp.data(), path.c_str()) == 0) return true;
    unlink(temp.data());
    return false;
}

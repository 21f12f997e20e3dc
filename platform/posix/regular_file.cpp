#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool readRegularFile(const std::string& path, size_t limit, std::vector<uint8_t>* bytes,
                     std::string* problem) {
    bytes->clear();
    problem->clear();
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT) *problem = strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *problem = "not a regular file";
        return false;
    }
    // Non-blocking and checked again on the descriptor: a FIFO put there since the look above
    // opens at once and is refused here.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *problem = strerror(errno);
        return false;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *problem = "not a regular file";
        return false;
    }
    bytes->resize(limit);
    size_t got = 0;
    while (got < limit) {
        ssize_t done = read(fd, bytes->data() + got, limit - got);
        if (done < 0 && errno == EINTR) continue;
        if (done < 0) {
            *problem = strerror(errno);
            close(fd);
            bytes->clear();
            return false;
        }
        if (done == 0) break;
        got += (size_t)done;
    }
    close(fd);
    bytes->resize(got);
    return true;
}

#include "platform/file_beneath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/write_all.h"

static const char kLinkInTheWay[] = "a symbolic link is in the way (not followed)";

// Why `part` of `folder` could not be opened as a folder or a file: a link or something else
// standing there says so plainly; otherwise the system's reason.
static std::string whyNot(int folder, const std::string& part, int error, bool asFolder) {
    struct stat info;
    if (fstatat(folder, part.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(info.st_mode)) return kLinkInTheWay;
        if (asFolder && !S_ISDIR(info.st_mode)) return "not a folder on the way";
        if (!asFolder && !S_ISREG(info.st_mode)) return "not a regular file";
    }
    return strerror(error);
}

// Every step is taken from the folder already open, with O_NOFOLLOW: a link put there by someone
// else, before or during the walk, stops it.
bool writeFileBeneath(const std::string& folder, const std::string& name, const void* bytes, size_t size,
                      std::string* problem) {
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        *problem = strerror(errno);
        return false;
    }
    size_t start = 0;
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/', start)) {
        std::string part = name.substr(start, slash - start);
        start = slash + 1;
        if (part.empty() || part == ".") continue;
        mkdirat(dir, part.c_str(), 0777);
        int next = openat(dir, part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) {
            *problem = whyNot(dir, part, errno, true);
            close(dir);
            return false;
        }
        close(dir);
        dir = next;
    }
    std::string last = name.substr(start);
    // No O_TRUNC before the look at what was opened: a FIFO or device there is left alone.
    int fd =
        openat(dir, last.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        *problem = whyNot(dir, last, errno, false);
        close(dir);
        return false;
    }
    close(dir);
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        *problem = "not a regular file";
        return false;
    }
    bool ok = ftruncate(fd, 0) == 0 && writeAll(fd, bytes, size);
    int error = errno;
    ok = close(fd) == 0 && ok;
    if (!ok) *problem = strerror(error);
    return ok;
}

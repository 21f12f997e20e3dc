#include "platform/file_replace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/posix/write_all.h"

// mkstemp's six characters after `base` and a dot.
static bool isTemporaryOf(const char* name, const std::string& base) {
    if (strncmp(name, base.c_str(), base.size()) != 0 || name[base.size()] != '.') return false;
    const char* tail = name + base.size() + 1;
    for (int i = 0; i < 6; i++)
        if (!isalnum((unsigned char)tail[i])) return false;
    return tail[6] == '\0';
}

// A writer holds a lock on its temporary until the rename, and a lock dies with its process: a
// temporary nobody holds was left by an interrupted write. Only this user's regular files go;
// a link is never followed.
static void removeStaleTemporary(int folder, const char* name) {
    int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat held, named;
    if (fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == geteuid() &&
        flock(fd, LOCK_EX | LOCK_NB) == 0 && fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_ino == held.st_ino && named.st_dev == held.st_dev)
        unlinkat(folder, name, 0);
    close(fd);
}

static void removeStaleTemporaries(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string folderPath = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* folder = opendir(folderPath.c_str());
    if (!folder) return;
    while (struct dirent* entry = readdir(folder))
        if (isTemporaryOf(entry->d_name, base)) removeStaleTemporary(dirfd(folder), entry->d_name);
    closedir(folder);
}

// A new temporary beside `path`, locked; -1 when none can be made. A sweep that took the name
// before the lock did leaves it unlinked: then another is made.
static int lockedTemporary(const std::string& path, std::vector<char>* temp) {
    for (int attempt = 0; attempt < 4; attempt++) {
        std::string pattern = path + ".XXXXXX";
        temp->assign(pattern.begin(), pattern.end());
        temp->push_back('\0');
        int fd = mkstemp(temp->data());
        if (fd < 0) return -1;
        struct stat held, named;
        if (flock(fd, LOCK_EX) == 0 && fstat(fd, &held) == 0 && lstat(temp->data(), &named) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            return fd;
        close(fd);
    }
    return -1;
}

bool replaceFile(const std::string& path, const void* bytes, size_t size) {
    std::vector<char> temp;
    int fd = lockedTemporary(path, &temp);
    if (fd < 0) return false;
    // mkstemp makes the file private; the settings are meant for every user to read.
    fchmod(fd, 0644);
    bool ok = writeAll(fd, bytes, size) && fsync(fd) == 0;
    ok = ok && rename(temp.data(), path.c_str()) == 0;
    if (!ok) unlink(temp.data());
    close(fd);
    // What an interrupted write left behind goes with the next one that succeeds.
    if (ok) removeStaleTemporaries(path);
    return ok;
}

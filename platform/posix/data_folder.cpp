#include "platform/data_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

// Makes one folder. Folders made for everyone get their mode set outright: under root's umask
// (often 077) mkdir alone would hide the administrator's settings from every other user.
static int makeOneFolder(const std::string& path, bool forEveryone) {
    if (mkdir(path.c_str(), 0755) != 0) return -1;
    if (!forEveryone) return 0;
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        fchmod(fd, 0755);
        close(fd);
    }
    return 0;
}

// Creates `folder` and its missing parents; true when it is a directory afterwards.
static bool makeFolder(const std::string& folder, bool forEveryone) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        makeOneFolder(folder.substr(0, slash), forEveryone);
    if (makeOneFolder(folder, forEveryone) != 0 && errno != EEXIST) return false;
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Whether this user could write in `folder` once it is made: the folder, or the nearest of its
// parents that exists, is a directory they may write in.
static bool mayWriteIn(std::string folder) {
    struct stat info;
    while (stat(folder.c_str(), &info) != 0) {
        if (errno != ENOENT) return false;
        size_t slash = folder.find_last_of('/');
        if (slash == std::string::npos) return access(".", W_OK) == 0;
        if (slash == 0) return access("/", W_OK) == 0;
        folder.erase(slash);
    }
    return S_ISDIR(info.st_mode) && access(folder.c_str(), W_OK) == 0;
}

static std::string userDataFolder() {
    const char* xdg = getenv("XDG_DATA_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/lumivane";
    const char* home = getenv("HOME");
    if (home && *home == '/') return std::string(home) + "/.local/share/lumivane";
    return "";
}

static const char* overrideFolder() {
    const char* env = getenv("LUMIVANE_DATA");
    return env && *env ? env : nullptr;
}

// The administrator's folder; LUMIVANE_SYSTEM_DATA stands in for it where /var/lib is not ours.
static std::string systemFolder() {
    const char* env = getenv("LUMIVANE_SYSTEM_DATA");
    return env && *env ? env : "/var/lib/lumivane";
}

// LUMIVANE_DATA when set; else the system-wide folder when this user may write there (root
// creates it; an administrator may open it to a group); else the user's own data folder, so the
// programs work without root. Without `create`, the folder that would be used, nothing made.
static std::string dataFolder(bool create) {
    if (const char* env = overrideFolder()) return !create || makeFolder(env, false) ? env : "";
    std::string shared = systemFolder();
    if (create ? makeFolder(shared, true) && access(shared.c_str(), W_OK) == 0 : mayWriteIn(shared))
        return shared;
    std::string own = userDataFolder();
    return !own.empty() && (!create || makeFolder(own, false)) ? own : "";
}

static std::string fileInFolder(std::string folder, const char* fileName) {
    if (folder.empty()) return "";
    if (folder.back() != '/') folder += '/';
    return folder + fileName;
}

std::string commonDataFile(const char* fileName, bool create) {
    return fileInFolder(dataFolder(create), fileName);
}

std::string userDataFile(const char* fileName) {
    if (const char* env = overrideFolder()) return fileInFolder(env, fileName);
    return fileInFolder(userDataFolder(), fileName);
}

// A folder named by LUMIVANE_DATA is the whole story: a private setup sees no shared settings.
std::string systemDataFile(const char* fileName) {
    if (overrideFolder()) return "";
    return fileInFolder(systemFolder(), fileName);
}

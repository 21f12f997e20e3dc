#include "platform/data_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

// Creates `folder` and its missing parents; true when it is a directory afterwards.
static bool makeFolder(const std::string& folder) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0755);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
    struct stat info;
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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
// programs work without root.
static std::string dataFolder() {
    if (const char* env = overrideFolder()) return makeFolder(env) ? env : "";
    std::string shared = systemFolder();
    if (makeFolder(shared) && access(shared.c_str(), W_OK) == 0) return shared;
    std::string own = userDataFolder();
    return !own.empty() && makeFolder(own) ? own : "";
}

static std::string fileInFolder(std::string folder, const char* fileName) {
    if (folder.empty()) return "";
    if (folder.back() != '/') folder += '/';
    return folder + fileName;
}

std::string commonDataFile(const char* fileName) {
    return fileInFolder(dataFolder(), fileName);
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

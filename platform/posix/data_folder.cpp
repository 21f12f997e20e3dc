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

// LUMIVANE_DATA when set; else the shared /var/lib/lumivane when this user may write there
// (root creates it); else the user's own data folder, so the programs work without root.
static std::string dataFolder() {
    const char* env = getenv("LUMIVANE_DATA");
    if (env && *env) return makeFolder(env) ? env : "";
    const char* shared = "/var/lib/lumivane";
    if (makeFolder(shared) && access(shared, W_OK) == 0) return shared;
    std::string own = userDataFolder();
    return !own.empty() && makeFolder(own) ? own : "";
}

std::string commonDataFile(const char* fileName) {
    std::string folder = dataFolder();
    if (folder.empty()) return "";
    if (folder.back() != '/') folder += '/';
    return folder + fileName;
}

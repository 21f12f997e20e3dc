#include "platform/install_path.h"

// The lookup and process start are the platform's (posix/, win32/); these are the same everywhere.

std::string InstallPath::installDirectory() const {
    return data;
}

std::string InstallPath::pathInInstall(const char* fileName) {
    scratch = data + fileName;
    return scratch;
}

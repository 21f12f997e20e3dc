#include "platform/install_path.h"

#include <cstdlib>

void InstallPath::loadInstallPath() {
    found = false;
    const char* env = getenv("LUMIVANE_PATH");
    if (env && *env) {
        data = env;
        if (data.back() != '/') data += '/';
        found = true;
    }
}

std::string InstallPath::installDirectory() const { return data; }

std::string InstallPath::pathInInstall(const char* fileName) {
    scratch = data + fileName;
    return scratch;
}

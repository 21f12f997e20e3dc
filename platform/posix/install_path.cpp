#include "platform/install_path.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

// LUMIVANE_PATH, else the folder of the running program: a build folder and an installed copy
// both hold their programs and archives side by side.
void InstallPath::loadInstallPath() {
    found = false;
    data.clear();
    const char* env = getenv("LUMIVANE_PATH");
    if (env && *env) {
        data = env;
    } else {
        char exe[4096];
        ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (length <= 0) return;
        exe[length] = '\0';
        char* slash = strrchr(exe, '/');
        if (!slash) return;
        slash[1] = '\0';
        data = exe;
    }
    // File names are appended directly, so the folder must end with the separator.
    if (data.back() != '/') data += '/';
    found = true;
}

// "X.exe" is the Windows name of this platform's program X.
static std::string programFileName(const char* fileName) {
    std::string name = fileName;
    if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
    return name;
}

bool InstallPath::launchProgram(const char* fileName, bool waitForExit) {
    std::string path = pathInInstall(programFileName(fileName).c_str());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The program's own folder, without the trailing separator; a bare name keeps ours.
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    if (slash == 0) folder = "/";
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    // The child changes folder before it starts, so a relative program path must not be.
    std::string program = path;
    char cwd[4096];
    if (program[0] != '/' && !folder.empty() && getcwd(cwd, sizeof cwd))
        program = std::string(cwd) + "/" + path;
    char* argv[] = {(char*)program.c_str(), nullptr};  // no arguments: the child does the full-screen run
    pid_t child = 0;
    int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) return false;
    if (waitForExit) {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return true;
}

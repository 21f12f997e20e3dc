// Shows and changes the screensaver's settings file. It writes the system-wide file when the user
// may (the administrator), else the user's own; it shows what a run of this user would read.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/setting_pairs.h"
#include "app/settings.h"

enum { EXIT_WRITE_FAILED = 1, EXIT_BAD_USAGE = 2 };

// The settings a run would use now: the user's own file, else the system-wide one, else the defaults.
static SaverSettings loadSettings() {
    std::string skipped;
    std::string path = settingsReadPath(&skipped);
    if (!skipped.empty())
        fprintf(stderr, "config: %s: not a regular file; using %s\n", skipped.c_str(),
                path.empty() ? "the defaults" : path.c_str());
    std::string problem;
    SaverSettings s = loadSettingsFile(path, &problem);
    if (!problem.empty())
        fprintf(stderr, "config: %s: %s; using the defaults\n", path.c_str(), problem.c_str());
    return s;
}

static int saveSettings(const std::string& path, const SaverSettings& s) {
    if (!writeSettingsFile(path, s)) {
        fprintf(stderr, "config: cannot write %s: %s\n", path.c_str(), strerror(errno));
        return EXIT_WRITE_FAILED;
    }
    fputs(describeSettings(s).c_str(), stdout);
    printf("file=%s\n", path.c_str());
    // The administrator writing the system-wide file may have a file of their own that wins for them.
    std::string read = settingsReadPath();
    if (read != path)
        fprintf(stderr, "config: note: your runs read %s, which comes first for you\n", read.c_str());
    return 0;
}

static int usage() {
    fprintf(stderr, "usage: config [--show | --reset | --set name=value ...]\n");
    return EXIT_BAD_USAGE;
}

// Only a write may create the data folder: showing and help look, and make nothing.
static std::string writePath() {
    std::string path = settingsFilePath();
    if (path.empty()) fprintf(stderr, "config: no data folder for the settings file\n");
    return path;
}

int main(int argc, char** argv) {
    const char* command = argc > 1 ? argv[1] : "--show";
    if (strcmp(command, "--show") == 0 && argc <= 2) {
        fputs(describeSettings(loadSettings()).c_str(), stdout);
        std::string read = settingsReadPath();
        printf("file=%s\n", read.empty() ? "none (the defaults)" : read.c_str());
        return 0;
    }
    if (strcmp(command, "--reset") == 0 && argc == 2) {
        std::string path = writePath();
        return path.empty() ? EXIT_WRITE_FAILED : saveSettings(path, defaultSettings());
    }
    if (strcmp(command, "--set") == 0 && argc > 2) {
        SaverSettings s = loadSettings();
        std::string problem;
        for (int i = 2; i < argc; i++) {
            if (applySetting(&s, argv[i], &problem)) continue;
            fprintf(stderr, "config: %s\n", problem.c_str());
            return EXIT_BAD_USAGE;
        }
        std::string path = writePath();
        return path.empty() ? EXIT_WRITE_FAILED : saveSettings(path, s);
    }
    if (strcmp(command, "--help") == 0) {
        std::string path = settingsFilePath(false);
        printf("usage: config [--show | --reset | --set name=value ...]\n");
        printf("Settings file: %s (written by --set and --reset)\n", path.empty() ? "none" : path.c_str());
        printf("A run reads your own settings file if you have one, else the system-wide one.\n");
        return 0;
    }
    return usage();
}

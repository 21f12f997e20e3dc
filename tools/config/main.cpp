// Shows and changes the screensaver's settings file, the one the saver reads at start-up.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/setting_pairs.h"
#include "app/settings.h"

enum { EXIT_WRITE_FAILED = 1, EXIT_BAD_USAGE = 2 };

static SaverSettings loadSettings(const std::string& path) {
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
    return 0;
}

static int usage() {
    fprintf(stderr, "usage: config [--show | --reset | --set name=value ...]\n");
    return EXIT_BAD_USAGE;
}

int main(int argc, char** argv) {
    std::string path = settingsFilePath();
    if (path.empty()) {
        fprintf(stderr, "config: no data folder for the settings file\n");
        return EXIT_WRITE_FAILED;
    }
    const char* command = argc > 1 ? argv[1] : "--show";
    if (strcmp(command, "--show") == 0 && argc <= 2) {
        fputs(describeSettings(loadSettings(path)).c_str(), stdout);
        return 0;
    }
    if (strcmp(command, "--reset") == 0 && argc == 2) return saveSettings(path, defaultSettings());
    if (strcmp(command, "--set") == 0 && argc > 2) {
        SaverSettings s = loadSettings(path);
        std::string problem;
        for (int i = 2; i < argc; i++) {
            if (applySetting(&s, argv[i], &problem)) continue;
            fprintf(stderr, "config: %s\n", problem.c_str());
            return EXIT_BAD_USAGE;
        }
        return saveSettings(path, s);
    }
    if (strcmp(command, "--help") == 0) {
        printf("usage: config [--show | --reset | --set name=value ...]\n");
        printf("Settings file: %s\n", path.c_str());
        return 0;
    }
    return usage();
}

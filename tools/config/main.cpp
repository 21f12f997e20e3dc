// Shows and changes the screensaver's settings file, the one the saver reads at start-up.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/settings.h"

struct BoolField {
    const char* name;
    bool SaverSettings::*field;
};

static const BoolField boolFields[] = {
    {"showFrameRate", &SaverSettings::showFrameRate},     {"showClock", &SaverSettings::showClock},
    {"analogClock", &SaverSettings::analogClock},         {"clock24Hours", &SaverSettings::clock24Hours},
    {"largeClock", &SaverSettings::largeClock},           {"showCalendar", &SaverSettings::showCalendar},
    {"russianCalendar", &SaverSettings::russianCalendar}, {"mouseMoveEnds", &SaverSettings::mouseMoveEnds},
};
static const int boolFieldCount = sizeof boolFields / sizeof boolFields[0];

enum { EXIT_WRITE_FAILED = 1, EXIT_BAD_USAGE = 2 };

static void printSettings(const SaverSettings& s) {
    for (int i = 0; i < boolFieldCount; i++)
        printf("%s=%s\n", boolFields[i].name, s.*boolFields[i].field ? "true" : "false");
    printf("reservedValue=%u\n", s.reservedValue);
    printf("resolutionIndex=%u\n", s.resolutionIndex);
    if (s.resolutionWidth() == 0)
        printf("resolution=desktop\n");
    else
        printf("resolution=%dx%d\n", s.resolutionWidth(), s.resolutionHeight());
}

static bool parseBool(const char* text, bool* value) {
    if (strcmp(text, "true") == 0 || strcmp(text, "1") == 0) {
        *value = true;
        return true;
    }
    if (strcmp(text, "false") == 0 || strcmp(text, "0") == 0) {
        *value = false;
        return true;
    }
    return false;
}

// Plain decimal only: no sign, no spaces, no trailing text, nothing past 32 bits.
static bool parseUint32(const char* text, uint32_t* value) {
    if (*text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long number = strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || number > 0xFFFFFFFFull) return false;
    *value = (uint32_t)number;
    return true;
}

// Applies one name=value pair; prints the reason and returns false when it is not acceptable.
static bool applySetting(SaverSettings* s, const char* pair) {
    const char* equals = strchr(pair, '=');
    if (!equals) {
        fprintf(stderr, "config: expected name=value, got \"%s\"\n", pair);
        return false;
    }
    std::string name(pair, equals - pair);
    const char* value = equals + 1;
    for (int i = 0; i < boolFieldCount; i++) {
        if (name != boolFields[i].name) continue;
        if (parseBool(value, &(s->*boolFields[i].field))) return true;
        fprintf(stderr, "config: %s must be true, false, 1 or 0, not \"%s\"\n", name.c_str(), value);
        return false;
    }
    uint32_t number = 0;
    if (name == "resolutionIndex") {
        if (parseUint32(value, &number) && number < RESOLUTION_COUNT) {
            s->resolutionIndex = number;
            return true;
        }
        fprintf(stderr, "config: resolutionIndex must be 0 to %d, not \"%s\"\n", RESOLUTION_COUNT - 1, value);
        return false;
    }
    if (name == "reservedValue") {
        if (parseUint32(value, &number)) {
            s->reservedValue = number;
            return true;
        }
        fprintf(stderr, "config: reservedValue must be 0 to 4294967295, not \"%s\"\n", value);
        return false;
    }
    fprintf(stderr, "config: unknown setting \"%s\"\n", name.c_str());
    return false;
}

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
    printSettings(s);
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
        printSettings(loadSettings(path));
        return 0;
    }
    if (strcmp(command, "--reset") == 0 && argc == 2) return saveSettings(path, defaultSettings());
    if (strcmp(command, "--set") == 0 && argc > 2) {
        SaverSettings s = loadSettings(path);
        for (int i = 2; i < argc; i++)
            if (!applySetting(&s, argv[i])) return EXIT_BAD_USAGE;
        return saveSettings(path, s);
    }
    if (strcmp(command, "--help") == 0) {
        printf("usage: config [--show | --reset | --set name=value ...]\n");
        printf("Settings file: %s\n", path.c_str());
        return 0;
    }
    return usage();
}

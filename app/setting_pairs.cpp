#include "app/setting_pairs.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
struct BoolField {
    const char* name;
    bool SaverSettings::*field;
};

const BoolField boolFields[] = {
    {"showFrameRate", &SaverSettings::showFrameRate},     {"showClock", &SaverSettings::showClock},
    {"analogClock", &SaverSettings::analogClock},         {"clock24Hours", &SaverSettings::clock24Hours},
    {"largeClock", &SaverSettings::largeClock},           {"showCalendar", &SaverSettings::showCalendar},
    {"russianCalendar", &SaverSettings::russianCalendar}, {"mouseMoveEnds", &SaverSettings::mouseMoveEnds},
};
const int boolFieldCount = sizeof boolFields / sizeof boolFields[0];

bool parseBool(const char* text, bool* value) {
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
bool parseUint32(const char* text, uint32_t* value) {
    if (*text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long number = strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || number > 0xFFFFFFFFull) return false;
    *value = (uint32_t)number;
    return true;
}
}  // namespace

std::string describeSettings(const SaverSettings& s) {
    std::string text;
    char line[64];
    for (int i = 0; i < boolFieldCount; i++) {
        snprintf(line, sizeof line, "%s=%s\n", boolFields[i].name, s.*boolFields[i].field ? "true" : "false");
        text += line;
    }
    snprintf(line, sizeof line, "reservedValue=%u\nresolutionIndex=%u\n", s.reservedValue, s.resolutionIndex);
    text += line;
    if (s.resolutionWidth() == 0)
        snprintf(line, sizeof line, "resolution=desktop\n");
    else
        snprintf(line, sizeof line, "resolution=%dx%d\n", s.resolutionWidth(), s.resolutionHeight());
    return text + line;
}

bool applySetting(SaverSettings* s, const char* pair, std::string* problem) {
    const char* equals = strchr(pair, '=');
    if (!equals) {
        *problem = std::string("expected name=value, got \"") + pair + "\"";
        return false;
    }
    std::string name(pair, equals - pair);
    const char* value = equals + 1;
    for (int i = 0; i < boolFieldCount; i++) {
        if (name != boolFields[i].name) continue;
        if (parseBool(value, &(s->*boolFields[i].field))) return true;
        *problem = name + " must be true, false, 1 or 0, not \"" + value + "\"";
        return false;
    }
    uint32_t number = 0;
    if (name == "resolutionIndex") {
        if (parseUint32(value, &number) && number < RESOLUTION_COUNT) {
            s->resolutionIndex = number;
            return true;
        }
        *problem = "resolutionIndex must be 0 to " + std::to_string(RESOLUTION_COUNT - 1) + ", not \"" +
                   value + "\"";
        return false;
    }
    if (name == "reservedValue") {
        if (parseUint32(value, &number)) {
            s->reservedValue = number;
            return true;
        }
        *problem = std::string("reservedValue must be 0 to 4294967295, not \"") + value + "\"";
        return false;
    }
    *problem = "unknown setting \"" + name + "\"";
    return false;
}

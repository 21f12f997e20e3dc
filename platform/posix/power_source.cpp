#include "platform/power_source.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// The first word of a small sysfs file ("Battery", "Discharging", "1"); empty when unreadable.
static std::string firstWord(const std::string& path) {
    FILE* file = fopen(path.c_str(), "r");
    if (!file) return "";
    char text[64] = {};
    size_t got = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[got] = '\0';
    text[strcspn(text, " \t\r\n")] = '\0';
    return text;
}

bool batteryInSupplyFolder(const char* folder) {
    DIR* dir = opendir(folder);
    if (!dir) return false;
    bool mainsOnline = false;
    bool discharging = false;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::string supply = std::string(folder) + "/" + entry->d_name + "/";
        std::string type = firstWord(supply + "type");
        if (type.empty()) continue;
        if (type == "Battery") {
            if (firstWord(supply + "status") == "Discharging") discharging = true;
        } else if (firstWord(supply + "online") == "1") {
            mainsOnline = true;
        }
    }
    closedir(dir);
    return discharging && !mainsOnline;
}

bool onBatteryPower() {
    // Tests and curious users point it at a folder of their own.
    const char* folder = getenv("LUMIVANE_POWER_SUPPLY");
    return batteryInSupplyFolder(folder && *folder ? folder : "/sys/class/power_supply");
}

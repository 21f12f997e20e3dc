#include "app/settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "content/scene.h"
#include "platform/data_folder.h"
#include "platform/file_replace.h"
#include "platform/regular_file.h"

const char* const settingsFileName = "nobrell_Lumivane_cfg";

struct ResolutionRow {
    int32_t width;
    int32_t height;
    int32_t bits;
};

static const ResolutionRow resolutionTable[RESOLUTION_COUNT] = {
    {0, 0, 0},       {640, 480, 32},  {800, 600, 32},   {1024, 768, 32},  {1152, 864, 32},
    {1280, 800, 32}, {1280, 960, 32}, {1280, 1024, 32}, {1400, 1050, 32}, {1600, 1200, 32},
};

static const ResolutionRow& resolutionRow(uint32_t index) {
    return resolutionTable[index < RESOLUTION_COUNT ? index : 0];
}

int32_t SaverSettings::resolutionWidth() const {
    return resolutionRow(resolutionIndex).width;
}
int32_t SaverSettings::resolutionHeight() const {
    return resolutionRow(resolutionIndex).height;
}
int32_t SaverSettings::resolutionBits() const {
    return resolutionRow(resolutionIndex).bits;
}

SaverSettings defaultSettings() {
    SaverSettings s;
    s.showFrameRate = false;
    s.showClock = true;
    s.analogClock = false;
    s.clock24Hours = false;
    s.largeClock = true;
    s.showCalendar = true;
    s.russianCalendar = false;
    s.mouseMoveEnds = false;
    s.reservedValue = 0;
    s.resolutionIndex = 0;
    return s;
}

SceneChoices sceneChoices(const SaverSettings& settings) {
    SceneChoices choices;
    choices.showClock = settings.showClock;
    choices.analogClock = settings.analogClock;
    choices.largeClock = settings.largeClock;
    choices.clock24Hours = settings.clock24Hours;
    choices.showCalendar = settings.showCalendar;
    choices.russianCalendar = settings.russianCalendar;
    choices.showFrameRate = settings.showFrameRate;
    return choices;
}

static uint32_t readUint32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static void writeUint32(uint8_t* p, uint32_t value) {
    p[0] = (uint8_t)value;
    p[1] = (uint8_t)(value >> 8);
    p[2] = (uint8_t)(value >> 16);
    p[3] = (uint8_t)(value >> 24);
}

SaverSettings readSettingsBytes(const uint8_t* bytes, size_t size) {
    SaverSettings s = defaultSettings();
    // Earlier layouts carry nothing this version keeps; a short file is not trusted at all.
    if (size < SETTINGS_FILE_SIZE || readUint32(bytes) != SETTINGS_VERSION) return s;
    s.mouseMoveEnds = bytes[4] != 0;
    s.reservedValue = readUint32(bytes + 5);
    s.resolutionIndex = readUint32(bytes + 9);
    s.showFrameRate = bytes[13] != 0;
    s.showClock = bytes[14] != 0;
    s.analogClock = bytes[15] != 0;
    s.clock24Hours = bytes[16] != 0;
    s.largeClock = bytes[17] != 0;
    s.showCalendar = bytes[18] != 0;
    s.russianCalendar = bytes[19] != 0;
    if (s.resolutionIndex >= RESOLUTION_COUNT) s.resolutionIndex = 0;
    return s;
}

SaverSettings readSettings(std::istream& in) {
    uint8_t bytes[SETTINGS_FILE_SIZE];
    in.read((char*)bytes, sizeof bytes);
    return readSettingsBytes(bytes, (size_t)in.gcount());
}

void encodeSettings(const SaverSettings& s, uint8_t* bytes) {
    writeUint32(bytes, SETTINGS_VERSION);
    bytes[4] = s.mouseMoveEnds;
    writeUint32(bytes + 5, s.reservedValue);
    writeUint32(bytes + 9, s.resolutionIndex);
    bytes[13] = s.showFrameRate;
    bytes[14] = s.showClock;
    bytes[15] = s.analogClock;
    bytes[16] = s.clock24Hours;
    bytes[17] = s.largeClock;
    bytes[18] = s.showCalendar;
    bytes[19] = s.russianCalendar;
}

bool writeSettingsFile(const std::string& path, const SaverSettings& settings) {
    uint8_t bytes[SETTINGS_FILE_SIZE];
    encodeSettings(settings, bytes);
    return replaceFile(path, bytes, sizeof bytes);
}

std::string settingsFilePath(bool createFolder) {
    return commonDataFile(settingsFileName, createFolder);
}

// A regular file, or one this user cannot look at: an administrator's file behind a folder others
// may not search must not pass for no file.
static bool shouldRead(const std::string& path, std::string* skipped) {
    struct stat info;
    if (path.empty()) return false;
    if (stat(path.c_str(), &info) != 0) return errno != ENOENT && errno != ENOTDIR;
    if (S_ISREG(info.st_mode)) return true;
    if (skipped && skipped->empty()) *skipped = path;
    return false;
}

// A user's own settings win; without them an administrator's system-wide file applies.
std::string settingsReadPath(std::string* skipped) {
    if (skipped) skipped->clear();
    std::string own = userDataFile(settingsFileName);
    if (shouldRead(own, skipped)) return own;
    std::string shared = systemDataFile(settingsFileName);
    return shouldRead(shared, skipped) ? shared : "";
}

SaverSettings loadSettingsFile(const std::string& path, std::string* problem) {
    problem->clear();
    std::vector<uint8_t> bytes;
    if (path.empty() || !readRegularFile(path, SETTINGS_FILE_SIZE, &bytes, problem)) return defaultSettings();
    return readSettingsBytes(bytes.data(), bytes.size());
}

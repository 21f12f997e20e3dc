// Feeds arbitrary bytes to the settings reader, as a damaged settings file would.
#include "app/settings.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string((const char*)data, size));
    SaverSettings s = readSettings(in);
    if (s.resolutionIndex >= RESOLUTION_COUNT) __builtin_trap();
    volatile int32_t sink = s.resolutionWidth() + s.resolutionHeight() + s.resolutionBits();
    (void)sink;
    SaverSettings direct = readSettingsBytes(data, size);
    uint8_t bytes[SETTINGS_FILE_SIZE];
    encodeSettings(direct, bytes);
    return 0;
}

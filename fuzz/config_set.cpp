// Any text as the values of "config --set", one name=value pair a line, applied to a settings file
// given by the first 20 bytes: whatever the program accepts must survive the file and read back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/setting_pairs.h"
#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    size_t head = size < (size_t)SETTINGS_FILE_SIZE ? size : (size_t)SETTINGS_FILE_SIZE;
    SaverSettings settings = readSettingsBytes(data, head);
    std::string text((const char*)data + head, size - head);
    std::string problem;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string pair = text.substr(start, end - start);  // argv stops at a NUL, so does this
        SaverSettings before = settings;
        problem.clear();
        if (applySetting(&settings, pair.c_str(), &problem)) {
            if (!problem.empty()) __builtin_trap();
        } else if (problem.empty() || problem.find('\n') != std::string::npos ||
                   memcmp(&before, &settings, sizeof settings) != 0) {
            __builtin_trap();  // a refusal is one line and changes nothing
        }
        start = end + 1;
    }
    uint8_t bytes[SETTINGS_FILE_SIZE];
    encodeSettings(settings, bytes);
    SaverSettings back = readSettingsBytes(bytes, sizeof bytes);
    if (describeSettings(back) != describeSettings(settings)) __builtin_trap();
    return 0;
}

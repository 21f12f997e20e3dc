// Feeds arbitrary text to the host-window lookup, as a command line and an environment value.
#include "platform/host_window.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text((const char*)data, size);
    size_t split = text.find('\n');
    std::string words = text.substr(0, split);
    std::string environment = split == std::string::npos ? "" : text.substr(split + 1);
    volatile unsigned long id = hostWindowId(words, environment.c_str(), 1);
    (void)id;
    return 0;
}

// Any text as the saver's command line: the first word picks one of the four modes, and a window
// handle comes only from a number that follows it. The embedding window's id is read from the
// same words, and the long options of the full-screen run: a bad one must come back as one line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/modes.h"
#include "app/options.h"
#include "platform/host_window.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string commandLine((const char*)data, size);
    ModeChoice choice = chooseMode(commandLine);
    if (choice.mode != MODE_FULL_SCREEN && choice.mode != MODE_SAVER && choice.mode != MODE_CONFIG &&
        choice.mode != MODE_PREVIEW)
        __builtin_trap();
    if (!choice.hasParent && choice.parent != 0) __builtin_trap();
    if (choice.mode == MODE_PREVIEW && commandLine.find_first_of("pP") == std::string::npos) __builtin_trap();
    volatile unsigned long window = hostWindowId(commandLine, "", 1);
    (void)window;
    RunOptions options = parseRunOptions(commandLine);
    if (options.action == OPTIONS_BAD &&
        (options.error.empty() || options.error.find('\n') != std::string::npos))
        __builtin_trap();
    if (options.window && (options.windowWidth < 1 || options.windowHeight < 1)) __builtin_trap();
    SaverSettings settings = defaultSettings();
    applyRunOptions(options, &settings);
    return 0;
}

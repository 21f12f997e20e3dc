#include "platform/host_window.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

// A whole word that is a window number; 0 for anything else.
static unsigned long parseWindowId(const char* text) {
    if (!text || !*text || *text == '-') return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long id = strtoul(text, &end, 0);
    if (errno || *end) return 0;
    return id;
}

unsigned long hostWindowId(const std::string& commandLine, const char* environmentWindow,
                           unsigned long rootWindow) {
    std::istringstream in(commandLine);
    std::string word;
    bool root = false;
    while (in >> word) {
        if (word == "-window-id" || word == "--window-id") {
            std::string number;
            if (in >> number) {
                unsigned long id = parseWindowId(number.c_str());
                if (id) return id;
            }
        } else if (word == "-root" || word == "--root") {
            root = true;
        }
    }
    unsigned long fromEnvironment = parseWindowId(environmentWindow);
    if (fromEnvironment) return fromEnvironment;
    return root ? rootWindow : 0;
}

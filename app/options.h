#pragma once
#include <cstdint>
#include <string>

#include "app/settings.h"

// The long options of the full-screen run ("--clock=analog", "--fps", "--window=800x600"). They
// never collide with the first-word modes: a word that starts with "--" has '-' as its second
// character. Words without "--" (-root, -window-id N, the mode word) are left to their readers.

enum OptionsAction { OPTIONS_RUN, OPTIONS_HELP, OPTIONS_VERSION, OPTIONS_BAD };

enum { OPTION_ROWS_MAX = 24 };

struct RunOptions {
    OptionsAction action;
    std::string error;  // OPTIONS_BAD: one line naming the option and what it accepts
    // Per row of the option table: the value given for a settings option, -1 when not given.
    int32_t settingValue[OPTION_ROWS_MAX];
    bool window;  // an ordinary, resizable window instead of the full screen
    int32_t windowWidth;
    int32_t windowHeight;
    int32_t maxFramesPerSecond;  // 0: no cap beyond the display's own (where the swap waits for it)
    double cpuBudget;            // share of one processor core the run may use on average; 0: no budget
    std::string outputName;      // the output the scene goes on; empty: the first
    double idleMinutes;          // > 0: watch for the desk to be idle this long, and run then
};

// How long the desk is idle before an idle watcher given no time starts the run, in minutes.
const double defaultIdleMinutes = 5;

// Reads the words of `commandLine`; the last of repeated options wins. Pure: no output.
RunOptions parseRunOptions(const std::string& commandLine);
// Puts the settings options of `options` over `settings` (read from the file) for this run.
void applyRunOptions(const RunOptions& options, SaverSettings* settings);
// The text of --help and of --version, each ending with a newline.
std::string optionsHelpText();
std::string versionText();

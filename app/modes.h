#pragma once
#include <cstdint>
#include <string>

#include "app/main_loop.h"

// What the first word of the command line asks for.
enum RunMode { MODE_FULL_SCREEN, MODE_SAVER, MODE_CONFIG, MODE_PREVIEW };

struct ModeChoice {
    RunMode mode;
    bool hasParent;        // a decimal window handle followed the word
    unsigned long parent;  // valid when hasParent
};

// Only the word's second character picks /s and /c (so -s, xs and /c:123 count); the preview
// needs the whole word /p or /P; anything else, no word included, is the full-screen run.
ModeChoice chooseMode(const std::string& commandLine);
// The arguments after the program name, joined with spaces into one command-line text.
std::string joinArguments(int argc, char** argv);
struct RunOptions;

enum { EXIT_BAD_OPTION = 2 };

// Runs the chosen mode; returns the process exit status. The full-screen run takes the long
// options first: --help and --version print and return 0, a bad one prints one line and returns 2.
int runCommandLine(const std::string& commandLine);
int runFullScreen(const RunOptions& options);

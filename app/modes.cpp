#include "app/modes.h"

#include <cstdio>
#include <sstream>

#include "app/app_state.h"
#include "app/main_loop.h"
#include "app/options.h"
#include "app/settings.h"
#include "app/video.h"
#include "content/scene.h"
#include "pak/library.h"
#include "platform/heap_trim.h"
#include "platform/host_window.h"
#include "platform/idle_watch.h"
#include "platform/install_path.h"
#include "platform/preview.h"
#include "platform/renderer_threads.h"

ModeChoice chooseMode(const std::string& commandLine) {
    std::istringstream in(commandLine);
    std::string word;
    long long number = -1;
    in >> word;
    bool haveNumber = static_cast<bool>(in >> number);
    ModeChoice choice = {MODE_FULL_SCREEN, false, 0};
    if (haveNumber && number >= 0) {
        choice.hasParent = true;
        choice.parent = (unsigned long)number;
    }
    char second = word.size() > 1 ? word[1] : '\0';
    if (second == 's' || second == 'S') {
        choice.mode = MODE_SAVER;
    } else if (second == 'c' || second == 'C') {
        choice.mode = MODE_CONFIG;
    } else if (word == "/p" || word == "/P") {
        choice.mode = MODE_PREVIEW;
    }
    return choice;
}

std::string joinArguments(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; i++) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

// The words of the run an idle watcher starts: its own, less the watching.
static std::vector<std::string> runWords(const std::string& commandLine) {
    std::istringstream in(commandLine);
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        if (word != "--idle" && word.compare(0, 7, "--idle=") != 0) words.push_back(word);
    return words;
}

// The child inherits it: the desktop's own screensaver may run while the saver does.
static char allowScreensaver[] = "SDL_VIDEO_ALLOW_SCREENSAVER=1";

int runCommandLine(const std::string& commandLine) {
    ModeChoice choice = chooseMode(commandLine);
    switch (choice.mode) {
        case MODE_SAVER:
            putenv(allowScreensaver);
            installPath.launchProgram("Lumivane.exe", true);
            return 0;
        case MODE_CONFIG:
            installPath.launchProgram("config.exe", false);
            return 0;
        case MODE_PREVIEW:
            // Without a window to paint into there is no preview to show.
            if (!choice.hasParent) return 0;
            previewParent = choice.parent;
            return runPreview(previewParent);
        case MODE_FULL_SCREEN:
            break;
    }
    RunOptions options = parseRunOptions(commandLine);
    switch (options.action) {
        case OPTIONS_HELP:
            fputs(optionsHelpText().c_str(), stdout);
            return 0;
        case OPTIONS_VERSION:
            fputs(versionText().c_str(), stdout);
            return 0;
        case OPTIONS_BAD:
            fprintf(stderr, "lumivane: %s\n", options.error.c_str());
            return EXIT_BAD_OPTION;
        case OPTIONS_RUN:
            break;
    }
    if (options.idleMinutes > 0)
        return runIdleWatcher((uint32_t)(options.idleMinutes * 60000), runWords(commandLine));
    // An ordinary window is asked for in person; a host window xscreensaver names does not apply.
    if (!options.window) chooseHostWindow(commandLine);
    return runFullScreen(options);
}

int runFullScreen(const RunOptions& options) {
    std::string problem;  // the saver reports nothing: a settings file it cannot use gives the defaults
    SaverSettings chosen = loadSettingsFile(settingsReadPath(), &problem);
    // Without a folder the archives are looked up in the working directory.
    if (installPath.found) pakLibrary.setBasePath(installPath.installDirectory());
    settings = new SaverSettings(chosen);
    applyRunOptions(options, settings);

    installStopSignals();
    chooseRendererThreads(options.cpuBudget > 0);
    viewport = new Viewport();
    viewport->outputName = options.outputName;
    if (options.window) {
        viewport->windowed = true;
        viewport->openVideo(options.windowWidth, options.windowHeight, 32);
    } else {
        viewport->openVideo(settings->resolutionWidth(), settings->resolutionHeight(),
                            settings->resolutionBits());
    }
    buildScene(sceneChoices(*settings), viewport->edges());
    runMainLoop(options.maxFramesPerSecond, options.cpuBudget);
    return 0;
}

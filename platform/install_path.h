#pragma once
#include <string>

// The installation folder (on Windows the registry value "Path"), read once at static start-up.
// `data` always ends with the path separator when found, so file names can be appended to it.
struct InstallPath {
    std::string scratch;  // the last path built by pathInInstall
    std::string data;     // empty when no folder was found
    bool found;

    void loadInstallPath();
    std::string installDirectory() const;
    std::string pathInInstall(const char* fileName);
    // Starts the installation's program `fileName` ("X.exe" names the platform's program X) with an
    // empty command line and the installation folder as working directory.
    bool launchProgram(const char* fileName, bool waitForExit);
};

extern InstallPath installPath;

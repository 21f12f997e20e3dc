#include "platform/install_path.h"

#include <windows.h>

#include <cstring>
#include <vector>

static const char* const settingsKey = "Software\\Nobrell\\Lumivane\\Settings";

// HKEY_LOCAL_MACHINE\Software\Nobrell\Lumivane\Settings, value "Path": asked once for its size,
// then read into a buffer of that size.
void InstallPath::loadInstallPath() {
    found = false;
    data.clear();
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, settingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    DWORD type = REG_SZ;
    DWORD size = 0;
    if (RegQueryValueExA(key, "Path", nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0) {
        std::vector<char> bytes(size + 1, '\0');
        if (RegQueryValueExA(key, "Path", nullptr, &type, (BYTE*)bytes.data(), &size) == ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            // The registry does not promise a terminating NUL.
            data.assign(bytes.data(), strnlen(bytes.data(), size));
        }
    }
    RegCloseKey(key);
    if (data.empty()) return;
    // File names are appended directly, so the folder must end with the separator.
    if (data.back() != '\\' && data.back() != '/') data += '\\';
    found = true;
}

bool InstallPath::launchProgram(const char* fileName, bool waitForExit) {
    std::string path = pathInInstall(fileName);
    // The program's folder without its trailing backslash; a bare name keeps our own folder.
    size_t slash = path.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? "" : path.substr(0, slash);
    if (folder.size() == 2 && folder[1] == ':') folder += '\\';  // "C:" alone is not the root
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    // Only the quoted program name: without quotes a folder with spaces ("Program Files") would
    // reach the child as arguments, and its first word could pick another mode.
    std::string commandLine = "\"" + path + "\"";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    PROCESS_INFORMATION process;
    if (!CreateProcessA(path.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    if (waitForExit) WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

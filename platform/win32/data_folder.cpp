#include "platform/data_folder.h"

#include <shlobj.h>
#include <windows.h>

// The all-users application-data folder (C:\ProgramData), created if missing and asked to.
std::string commonDataFile(const char* fileName, bool create) {
    char folder[MAX_PATH];
    int which = CSIDL_COMMON_APPDATA | (create ? CSIDL_FLAG_CREATE : 0);
    if (SHGetFolderPathA(nullptr, which, nullptr, 0, folder) != S_OK) return "";
    std::string path = folder;
    if (path.empty()) return "";
    if (path.back() != '\\') path += '\\';
    return path + fileName;
}

// The all-users folder is already the one place every user reads.
std::string userDataFile(const char* fileName) {
    return commonDataFile(fileName, false);
}

std::string systemDataFile(const char*) {
    return "";
}

#include "platform/data_folder.h"

#include <shlobj.h>
#include <windows.h>

// The all-users application-data folder (C:\ProgramData), created if missing.
std::string commonDataFile(const char* fileName) {
    char folder[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder) != S_OK)
        return "";
    std::string path = folder;
    if (path.empty()) return "";
    if (path.back() != '\\') path += '\\';
    return path + fileName;
}

// The all-users folder is already the one place every user reads.
std::string userDataFile(const char* fileName) {
    return commonDataFile(fileName);
}

std::string systemDataFile(const char*) {
    return "";
}

#include "platform/file_beneath.h"

#include <windows.h>

static const char kLinkInTheWay[] = "a link or junction is in the way (not followed)";

static bool isLink(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Both separators part folders here; a reparse point (link, junction) below `folder` is refused.
bool writeFileBeneath(const std::string& folder, const std::string& name, const void* bytes, size_t size,
                      std::string* problem) {
    std::string path = folder;
    if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '\\';
    size_t start = 0;
    for (size_t slash = name.find_first_of("/\\"); slash != std::string::npos;
         slash = name.find_first_of("/\\", start)) {
        std::string part = name.substr(start, slash - start);
        start = slash + 1;
        if (part.empty() || part == ".") continue;
        path += part;
        CreateDirectoryA(path.c_str(), nullptr);
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (isLink(attributes)) {
            *problem = kLinkInTheWay;
            return false;
        }
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            *problem = "cannot make the folder";
            return false;
        }
        path += '\\';
    }
    path += name.substr(start);
    if (isLink(GetFileAttributesA(path.c_str()))) {
        *problem = kLinkInTheWay;
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = "cannot be opened";
        return false;
    }
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        *problem = "not a regular file";
        return false;
    }
    bool ok = SetEndOfFile(file) != 0;
    const char* at = (const char*)bytes;
    while (ok && size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : (DWORD)size, done = 0;
        ok = WriteFile(file, at, chunk, &done, nullptr) && done > 0;
        at += done;
        size -= done;
    }
    ok = CloseHandle(file) && ok;
    if (!ok) *problem = "cannot be written";
    return ok;
}

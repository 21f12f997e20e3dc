#include "platform/file_replace.h"

#include <windows.h>

#include <cstdio>

static bool writeAll(HANDLE file, const char* bytes, size_t size) {
    while (size > 0) {
        DWORD chunk = size > 0x10000000 ? 0x10000000 : (DWORD)size;
        DWORD done = 0;
        if (!WriteFile(file, bytes, chunk, &done, nullptr) || done == 0) return false;
        bytes += done;
        size -= done;
    }
    return true;
}

// Rewrites the file where it is, in one write. Only for when a reader holds it open (the saver
// keeps its settings file open while it runs), which forbids renaming over it but not writing.
static bool rewriteInPlace(const std::string& path, const void* bytes, size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = writeAll(file, (const char*)bytes, size) && FlushFileBuffers(file);
    return CloseHandle(file) && ok;
}

bool replaceFile(const std::string& path, const void* bytes, size_t size) {
    char suffix[32];
    snprintf(suffix, sizeof suffix, ".%lu.tmp", (unsigned long)GetCurrentProcessId());
    std::string temp = path + suffix;
    HANDLE file =
        CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = writeAll(file, (const char*)bytes, size) && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (ok && MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DWORD error = GetLastError();
    DeleteFileA(temp.c_str());
    if (!ok || (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) return false;
    return rewriteInPlace(path, bytes, size);
}

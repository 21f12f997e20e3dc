#include "platform/file_replace.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

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

// "<file>.<digits>.tmp": what an interrupted write of this file left behind.
static bool isTemporaryOf(const char* name, const std::string& base) {
    size_t length = strlen(name);
    if (length < base.size() + 6 || _strnicmp(name, base.c_str(), base.size()) != 0) return false;
    const char* rest = name + base.size();
    if (rest[0] != '.' || _stricmp(name + length - 4, ".tmp") != 0) return false;
    for (const char* c = rest + 1; c < name + length - 4; c++)
        if (*c < '0' || *c > '9') return false;
    return true;
}

// Removes leftover temporaries beside `path`. One that another writer still has open cannot be
// deleted (it was opened without sharing), so a write in progress is never disturbed.
static void removeStaleTemporaries(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string base = path.substr(folder.size());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + ".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if (!(found.dwFileAttributes & skip) && isTemporaryOf(found.cFileName, base))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

static bool writeThrough(const std::string& path, const void* bytes, size_t size) {
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

bool replaceFile(const std::string& path, const void* bytes, size_t size) {
    if (!writeThrough(path, bytes, size)) return false;
    removeStaleTemporaries(path);
    return true;
}

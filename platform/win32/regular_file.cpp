#include "platform/regular_file.h"

#include <windows.h>

bool readRegularFile(const std::string& path, size_t limit, std::vector<uint8_t>* bytes,
                     std::string* problem) {
    bytes->clear();
    problem->clear();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) *problem = "cannot be read";
        return false;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        *problem = "not a regular file";
        return false;
    }
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = "cannot be opened";
        return false;
    }
    // Pipes and character devices answer to names too; only a file on disk is read.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        *problem = "not a regular file";
        return false;
    }
    bytes->resize(limit);
    size_t got = 0;
    while (got < limit) {
        DWORD done = 0;
        DWORD chunk = limit - got > 0x10000000 ? 0x10000000 : (DWORD)(limit - got);
        if (!ReadFile(file, bytes->data() + got, chunk, &done, nullptr)) {
            CloseHandle(file);
            bytes->clear();
            *problem = "cannot be read";
            return false;
        }
        if (done == 0) break;
        got += done;
    }
    CloseHandle(file);
    bytes->resize(got);
    return true;
}

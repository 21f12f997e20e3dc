#pragma once
// A fresh folder under the Windows temporary folder, removed with its files when the test ends.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

struct ScratchFolder {
    std::string path;  // ends with a backslash

    // `prefix` may hold spaces, as installation folders under "Program Files" do.
    explicit ScratchFolder(const char* prefix = "lumivane") {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%s%s-%lu-%lu", temp, prefix, GetCurrentProcessId(), GetTickCount());
        CreateDirectoryA(name, nullptr);
        path = std::string(name) + "\\";
    }
    ~ScratchFolder() {
        for (const std::string& name : files()) DeleteFileA((path + name).c_str());
        RemoveDirectoryA(path.c_str());
    }
    std::string file(const char* name) const { return path + name; }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path + "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }
};

inline bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    size_t written = fwrite(bytes.data(), 1, bytes.size(), f);
    return fclose(f) == 0 && written == bytes.size();
}

inline std::string readFileText(const std::string& path) {
    std::string text;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return text;
    int c;
    while ((c = fgetc(f)) != EOF) text += (char)c;
    fclose(f);
    return text;
}

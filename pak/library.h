#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pak/archive.h"

// Archives opened once by file name and shared by reference count, plus the picture texture cache.
struct PakLibrary {
    std::string basePath;  // "0" means no prefix (working directory)
    std::vector<PakArchive*> archives;
    std::vector<std::string> archiveNames;
    std::vector<int32_t> archiveRefs;
    std::vector<std::string> mipmappedNames;  // archives whose pictures get mipmaps when opened

    PakLibrary();
    ~PakLibrary();
    void setBasePath(const std::string& path);
    PakArchive* openArchive(const char* name);  // a missing or damaged archive ends the process with status 1
    PakEntry getEntry(const char* pakName, const char* entryName);
    uint32_t getTexture(const char* pakName, const char* entryName);
    void releaseTexture(const char* pakName, uint32_t textureId);
    void releaseArchive(const char* pakName);
    void mipmapPictures(const char* pakName);  // before its first texture is made
};

extern PakLibrary pakLibrary;

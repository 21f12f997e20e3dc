#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pak/archive.h"
#include "platform/ref_table.h"

// One open archive and the GL textures made from its pictures.
struct LibraryArchive {
    PakArchive* archive;
    bool mipmapped;               // its pictures are drawn small too: their textures get mipmaps
    int32_t unseenLevels;         // of those, the finest levels the screen never samples: not uploaded
    RefTable<uint32_t> textures;  // pictures in use by entry name: their GL textures
    std::vector<std::string> undecodable;  // pictures that did not decode: not tried again while open

    // The texture cache (texture_cache.cpp).
    uint32_t acquireTexture(const char* entryName);
    void dropTexture(uint32_t textureId);
};

// Archives opened once by file name and shared by reference count, plus the picture texture cache.
struct PakLibrary {
    std::string basePath;                     // "0" means no prefix (working directory)
    RefTable<LibraryArchive> archives;        // by file name
    std::vector<std::string> mipmappedNames;  // archives whose pictures get mipmaps when opened
    int32_t unseenLevels;                     // what mipmapPictures said last

    PakLibrary();
    ~PakLibrary();
    void setBasePath(const std::string& path);
    PakArchive* openArchive(const char* name);  // a missing or damaged archive ends the process with status 1
    PakEntry getEntry(const char* pakName, const char* entryName);
    uint32_t getTexture(const char* pakName, const char* entryName);
    void releaseTexture(const char* pakName, uint32_t textureId);
    void releaseArchive(const char* pakName);
    // Before its first texture is made; the finest `unseenLevels` mipmap levels are left out.
    void mipmapPictures(const char* pakName, int32_t unseenLevels);
};

extern PakLibrary pakLibrary;

#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "pak/archive.h"
#include "pak/picture.h"
#include "platform/ref_table.h"

// A picture's GL texture and how it was made. Fitted pictures are uploaded at the size they are
// drawn at, made anew when that changes: `source` holds the decoded picture until the first fit.
struct PictureTexture {
    uint32_t id;
    int32_t width, height;              // as uploaded; 0 before a fitted picture's first fit
    int32_t sourceWidth, sourceHeight;  // as decoded
    uint32_t fittedFor;                 // the screen (PakLibrary::screen) it was last fitted for
    PicturePixels source;
};

// One open archive and the GL textures made from its pictures.
struct LibraryArchive {
    PakArchive* archive;
    bool fitted;                           // its pictures are drawn at the pixels they cover
    RefTable<PictureTexture> textures;     // pictures in use by entry name
    std::vector<std::string> undecodable;  // pictures that did not decode: not tried again while open

    // The texture cache (texture_cache.cpp).
    uint32_t acquireTexture(const char* entryName);
    void dropTexture(uint32_t textureId);
    void fitTexture(uint32_t textureId, int32_t width, int32_t height, uint32_t screen);
};

// Archives opened once by file name and shared by reference count, plus the picture texture cache.
// Entry bytes are read again from the file when they are needed after being released: pictures
// once uploaded, models once compiled.
struct PakLibrary {
    std::string basePath;                  // "0" means no prefix (working directory)
    RefTable<LibraryArchive> archives;     // by file name
    std::vector<std::string> fittedNames;  // archives whose pictures are fitted when opened
    uint32_t screen;                       // counts the screen sizes seen: a new one refits pictures
    int32_t screenWidth, screenHeight;     // its pixels; 0 x 0: the GL viewport's
    bool keepsEntryBytes;                  // for tools that read loaded meshes' arrays: never release

    PakLibrary();
    ~PakLibrary();
    void setBasePath(const std::string& path);
    PakArchive* openArchive(const char* name);  // a missing or damaged archive ends the process with status 1
    PakEntry getEntry(const char* pakName, const char* entryName);
    uint32_t getTexture(const char* pakName, const char* entryName);
    void releaseTexture(const char* pakName, uint32_t textureId);
    void releaseArchive(const char* pakName);
    // The entry's bytes are not needed for now (they are read again at the next getEntry).
    void releaseEntryBytes(const char* pakName, const char* entryName);

    // Pictures drawn flat and facing the viewer (the overlay's): each is uploaded at the pixels it
    // covers on the screen, once it is drawn, and again after newScreen.
    void fitPictures(const char* pakName);
    bool fitsPictures(const char* pakName) const;
    // The picture of `textureId` is drawn `width` x `height` pixels large now (0: its own size).
    void fitTexture(const char* pakName, uint32_t textureId, int32_t width, int32_t height);
    void newScreen(int32_t width, int32_t height);  // the screen's size changed
};

extern PakLibrary pakLibrary;

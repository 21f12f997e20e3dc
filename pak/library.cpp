#include "pak/library.h"

#include <algorithm>
#include <cstdlib>

PakLibrary::PakLibrary() : basePath("0"), unseenLevels(0) {}

// GL textures are left alone: the context is gone by the time static destruction runs.
PakLibrary::~PakLibrary() {
    for (size_t i = 0; i < archives.size(); i++) delete archives.items[i].archive;
}

void PakLibrary::setBasePath(const std::string& path) {
    basePath = path;
}

namespace {
bool listed(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Where archive `name` stands among the open ones, opening it first when it is not; takes one
// reference on it.
int openIndex(PakLibrary* library, const char* name) {
    int i = library->archives.find(name);
    if (i >= 0) {
        library->archives.acquire(i);
        return i;
    }
    // "0" stands for the working directory; any other base is glued on without a separator.
    const std::string& base = library->basePath;
    std::string path = base == "0" ? std::string(name) : base + name;
    PakArchive* archive = new PakArchive();
    if (!archive->load(path.c_str(), nullptr)) exit(1);  // the scene cannot go on without its assets
    bool mipmapped = listed(library->mipmappedNames, name);
    return library->archives.add(
        name, LibraryArchive{archive, mipmapped, mipmapped ? library->unseenLevels : 0, {}, {}});
}
}  // namespace

PakArchive* PakLibrary::openArchive(const char* name) {
    return archives.items[openIndex(this, name)].archive;
}

PakEntry PakLibrary::getEntry(const char* pakName, const char* entryName) {
    return openArchive(pakName)->findEntry(entryName);
}

uint32_t PakLibrary::getTexture(const char* pakName, const char* entryName) {
    return archives.items[openIndex(this, pakName)].acquireTexture(entryName);
}

void PakLibrary::releaseTexture(const char* pakName, uint32_t textureId) {
    int i = archives.find(pakName);
    if (i < 0) return;
    archives.items[i].dropTexture(textureId);
    releaseArchive(pakName);
}

void PakLibrary::releaseArchive(const char* pakName) {
    int i = archives.find(pakName);
    if (i < 0 || !archives.release(i)) return;
    delete archives.items[i].archive;
    archives.remove(i);
}

void PakLibrary::mipmapPictures(const char* pakName, int32_t levels) {
    if (!listed(mipmappedNames, pakName)) mipmappedNames.push_back(pakName);
    unseenLevels = levels;
    int i = archives.find(pakName);
    if (i < 0) return;
    archives.items[i].mipmapped = true;
    archives.items[i].unseenLevels = levels;
}

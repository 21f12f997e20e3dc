#include "pak/library.h"

#include <algorithm>
#include <cstdlib>

PakLibrary::PakLibrary()
    : basePath("0"), screen(1), screenWidth(0), screenHeight(0), keepsEntryBytes(false) {}

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
    // The scene cannot go on without its assets. Entries are read when first asked for: most of an
    // archive (other levels of detail, other digits) is never drawn at one time.
    if (!archive->load(path.c_str(), nullptr, library->keepsEntryBytes)) exit(1);
    return library->archives.add(name, LibraryArchive{archive, listed(library->fittedNames, name), {}, {}});
}
}  // namespace

PakArchive* PakLibrary::openArchive(const char* name) {
    return archives.items[openIndex(this, name)].archive;
}

PakEntry PakLibrary::getEntry(const char* pakName, const char* entryName) {
    return openArchive(pakName)->loadEntry(entryName);
}

void PakLibrary::releaseEntryBytes(const char* pakName, const char* entryName) {
    int i = archives.find(pakName);
    if (i >= 0 && !keepsEntryBytes) archives.items[i].archive->releaseEntry(entryName);
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

void PakLibrary::fitPictures(const char* pakName) {
    if (!listed(fittedNames, pakName)) fittedNames.push_back(pakName);
    int i = archives.find(pakName);
    if (i >= 0) archives.items[i].fitted = true;
}

bool PakLibrary::fitsPictures(const char* pakName) const {
    return listed(fittedNames, pakName);
}

void PakLibrary::fitTexture(const char* pakName, uint32_t textureId, int32_t width, int32_t height) {
    int i = archives.find(pakName);
    if (i >= 0) archives.items[i].fitTexture(textureId, width, height, screen);
}

void PakLibrary::newScreen(int32_t width, int32_t height) {
    screen++;
    screenWidth = width;
    screenHeight = height;
}

#include "pak/library.h"

#include <cstdlib>
#include <cstring>

PakLibrary::PakLibrary() : basePath("0") {}

// GL textures are left alone: the context is gone by the time static destruction runs.
PakLibrary::~PakLibrary() {
    for (size_t i = 0; i < archives.size(); i++) delete archives[i];
}

void PakLibrary::setBasePath(const std::string& path) {
    basePath = path;
}

namespace {
int findName(const std::vector<std::string>& names, const char* name) {
    for (size_t i = 0; i < names.size(); i++) {
        if (names[i] == name) return (int)i;
    }
    return -1;
}
}  // namespace

PakArchive* PakLibrary::openArchive(const char* name) {
    int i = findName(archiveNames, name);
    if (i >= 0) {
        archiveRefs[i]++;
        return archives[i];
    }
    // "0" stands for the working directory; any other base is glued on without a separator.
    std::string path = basePath == "0" ? std::string(name) : basePath + name;
    PakArchive* archive = new PakArchive();
    if (!archive->load(path.c_str(), nullptr)) exit(1);  // the scene cannot go on without its assets
    archive->mipmapped = findName(mipmappedNames, name) >= 0;
    archives.push_back(archive);
    archiveNames.push_back(name);
    archiveRefs.push_back(1);
    return archive;
}

PakEntry PakLibrary::getEntry(const char* pakName, const char* entryName) {
    return openArchive(pakName)->findEntry(entryName);
}

uint32_t PakLibrary::getTexture(const char* pakName, const char* entryName) {
    return openArchive(pakName)->acquireTexture(entryName);
}

void PakLibrary::releaseTexture(const char* pakName, uint32_t textureId) {
    int i = findName(archiveNames, pakName);
    if (i < 0) return;
    archives[i]->dropTexture(textureId);
    releaseArchive(pakName);
}

void PakLibrary::releaseArchive(const char* pakName) {
    int i = findName(archiveNames, pakName);
    if (i < 0) return;
    archiveRefs[i]--;
    if (archiveRefs[i] > 0) return;
    delete archives[i];
    archives.erase(archives.begin() + i);
    archiveNames.erase(archiveNames.begin() + i);
    archiveRefs.erase(archiveRefs.begin() + i);
}

void PakLibrary::mipmapPictures(const char* pakName) {
    if (findName(mipmappedNames, pakName) < 0) mipmappedNames.push_back(pakName);
    int i = findName(archiveNames, pakName);
    if (i >= 0) archives[i]->mipmapped = true;
}

#include "pak/library.h"

PakLibrary::PakLibrary() : basePath("0") {}

PakLibrary::~PakLibrary() {
    for (size_t i = 0; i < archives.size(); i++) delete archives[i];
}

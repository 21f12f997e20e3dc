// Builds the five archives of the screensaver from the art code: lumivane_assets <output folder>.
#include <cstdio>
#include <string>

#include "pak/archive.h"
#include "tools/assets/art_geometry.h"
#include "tools/assets/assets.h"

bool addModel(PakArchive* archive, const std::string& name, const std::vector<MeshBuild>& meshes) {
    std::vector<uint8_t> bytes;
    writeModel(&bytes, meshes);
    return archive->addEntry(name, bytes.data(), (uint32_t)bytes.size());
}

bool addWhitePicture(PakArchive* archive, const std::string& name) {
    ArtImage white;
    white.initImage(8, 8, 0.0, 0.0, 1.0, 1.0);
    const float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const RoundedRect all = {-1.0, -1.0, 2.0, 2.0, 0.0};
    fillShape(&white, roundedRectDistance, &all, colour);
    return addPicture(archive, name, white);
}

MeshMaterial overlayMaterial() {
    MeshMaterial m = plainMaterial(1.0f, 1.0f, 1.0f, 1.0f);
    m.transparent = true;
    return m;
}

bool addOverlayTile(PakArchive* archive, const std::string& model, const std::string& picture,
                    const ArtImage& image) {
    std::vector<MeshBuild> meshes(1);
    meshes[0].initMeshBuild(picture.c_str(), overlayMaterial());
    addQuadXY(&meshes[0], image.unitLeft, image.unitTop - image.unitHeight, image.unitLeft + image.unitWidth,
              image.unitTop, 0.0);
    return addPicture(archive, picture, image) && addModel(archive, model, meshes);
}

typedef bool (*ArchiveBuilder)(PakArchive* archive);

static bool writeArchive(const std::string& folder, const char* name, ArchiveBuilder build) {
    PakArchive archive;
    const std::string path = folder + "/" + name;
    if (!build(&archive)) {
        std::fprintf(stderr, "lumivane_assets: could not build %s\n", name);
        return false;
    }
    if (!archive.save(path.c_str())) {
        std::fprintf(stderr, "lumivane_assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumivane_assets <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    // Every text is drawn from these; without them the pictures would silently lack their words.
    const char* const fonts[3] = {FONT_THIN, FONT_BOOK, FONT_CONDENSED};
    for (int i = 0; i < 3; i++) {
        if (textWidth(fonts[i], "0", 1.0) <= 0.0) {
            std::fprintf(stderr,
                         "lumivane_assets: the DejaVu fonts are missing (package fonts-dejavu-core)\n");
            closeFonts();
            return 1;
        }
    }
    const bool ok = writeArchive(folder, "main.pak", buildMainArchive) &&
                    writeArchive(folder, "clock.pak", buildClockArchive) &&
                    writeArchive(folder, "calendar.pak", buildCalendarArchive) &&
                    writeArchive(folder, "utils.pak", buildUtilsArchive) &&
                    writeArchive(folder, "debug.pak", buildDebugArchive);
    closeFonts();
    return ok ? 0 : 1;
}
